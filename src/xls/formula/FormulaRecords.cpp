#include "xls/formula/FormulaRecords.h"

#include "xls/formula/ArrayRecord.h"
#include "xls/formula/FormulaRecord.h"
#include "xls/formula/NameRecord.h"
#include "xls/formula/ShrFmlaRecord.h"
#include "xls/formula/TableRecord.h"
#include "xls/formula/TokenArray.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/TokenShifter.h"

namespace {

class TFormulaTokenShifter : public TTokenShifter
{
public:
    void ShiftForInsert(QByteArray &data, int tokenStart, int tokenEnd, int rowPos, int rowCount, int colPos,
                        int colCount, const TSheetInfo &sheetInfo) const override
    {
        ShiftTokensForInsert(data, tokenStart, tokenEnd, sheetInfo, rowPos, rowCount, colPos, colCount);
    }

    void OffsetForCopy(QByteArray &data, int tokenStart, int tokenEnd, int rowOffset, int colOffset) const override
    {
        ShiftTokensForCopy(data, tokenStart, tokenEnd, rowOffset, colOffset);
    }
};

} // namespace

void RegisterFormulaRecords()
{
    static const bool done = [] {
        static const TFormulaTokenShifter shifter;
        RegisterRecordClass(TFormulaRecord::Id, &ConstructRecord<TFormulaRecord>);
        RegisterRecordClass(TFormulaRecord::OldId, [](quint16, QByteArray data) -> std::unique_ptr<TBaseRecord> {
            return ConstructRecord<TFormulaRecord>(TFormulaRecord::Id, std::move(data));
        });
        RegisterRecordClass(TShrFmlaRecord::Id, &ConstructRecord<TShrFmlaRecord>);
        RegisterRecordClass(TArrayRecord::Id, &ConstructRecord<TArrayRecord>);
        RegisterRecordClass(TTableRecord::Id, &ConstructRecord<TTableRecord>);
        RegisterRecordClass(TNameRecord::Id, &ConstructRecord<TNameRecord>);
        SetTokenShifter(&shifter);
        return true;
    }();
    Q_UNUSED(done);
}
