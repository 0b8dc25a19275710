#pragma once

#include "xls/records/BaseRecordList.h"
#include "xls/records/OtherRecords.h"

// The BOUNDSHEET records of the workbook, one per sheet in sheet order.
class TBoundSheetRecordList : public TBaseRecordList
{
public:
    static constexpr int Visible = 0;
    static constexpr int Hidden = 1;
    static constexpr int VeryHidden = 2;

    TBoundSheetRecord *Items(int index) const
    {
        return static_cast<TBoundSheetRecord *>(TBaseRecordList::Items(index));
    }
    TBoundSheetRecord *operator[](int index) const { return Items(index); }
    int Add(std::unique_ptr<TBoundSheetRecord> record) { return TBaseRecordList::Add(std::move(record)); }
    void Insert(int index, std::unique_ptr<TBoundSheetRecord> record)
    {
        TBaseRecordList::Insert(index, std::move(record));
    }

    QString SheetName(int sheet) const;
    // Visible, Hidden or VeryHidden from options bits 0-1 (3 reads as visible).
    int SheetVisible(int sheet) const;
    void SetSheetVisible(int sheet, int visibility);
    // Rebuilds the record and adjusts the total by the change of its size.
    void Rename(int sheet, const QString &name);
};
