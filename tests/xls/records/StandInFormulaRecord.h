#pragma once

#include "xls/records/RecordFactory.h"
#include "xls/records/RowColRecord.h"

#include <QIODevice>

namespace recordtest {

// The formula classes live in a library above this one and register
// themselves with the factory. These stand-ins do the same, so the record
// layer can be tested with files that hold formulas: a formula takes a
// following TABLE or ARRAY record and writes it after itself, and formula-like
// records may be followed by STRING.
class TStandInFormula : public TCellRecord
{
public:
    using TCellRecord::TCellRecord;
    bool AllowsStringAfter() const override { return true; }
    bool AttachFollowing(std::unique_ptr<TBaseRecord> &next) override
    {
        if (next->RecordId() != 0x0221 && next->RecordId() != 0x0236)
            return false;
        FFollowing = std::move(next);
        return true;
    }
    void SaveTo(TGatheringDevice &out) const override
    {
        PutPlain(out);
        if (FFollowing)
            FFollowing->SaveTo(out);
    }
    qint64 TotalSize() const override { return TCellRecord::TotalSize() + (FFollowing ? FFollowing->TotalSize() : 0); }
    const TBaseRecord *Following() const { return FFollowing.get(); }

private:
    std::unique_ptr<TBaseRecord> FFollowing;
};

class TStandInFormulaLike : public TBaseRecord
{
public:
    using TBaseRecord::TBaseRecord;
    bool AllowsStringAfter() const override { return true; }
};

inline void RegisterStandInFormulaClasses()
{
    RegisterRecordClass(0x0006, ConstructRecord<TStandInFormula>);
    for (quint16 id : {quint16(0x04BC), quint16(0x0221), quint16(0x0236)})
        RegisterRecordClass(id, ConstructRecord<TStandInFormulaLike>);
}

} // namespace recordtest
