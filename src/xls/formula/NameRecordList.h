#pragma once

#include "xls/formula/FormulaNames.h"
#include "xls/formula/NameRecord.h"
#include "xls/records/BaseRecordList.h"

// The workbook's NAME records in file order. Name tokens hold the 1-based
// position of a name here, so names are only appended or removed as a whole
// when sheets go.
class TNameRecordList : public TBaseRecordList, public TFormulaNames
{
public:
    TNameRecord *Items(int index) const { return static_cast<TNameRecord *>(TBaseRecordList::Items(index)); }
    TNameRecord *operator[](int index) const { return Items(index); }

    int NameCount() const override { return Count(); }
    QString NameText(int index) const override;
    int NameSheet(int index) const override;

    // Names of the deleted sheets go; later sheet-level names move down.
    void DeleteSheets(int first, int count);
    // count sheets inserted before insertBefore; with copyFrom >= 0 they are
    // copies of that sheet, and its names (and workbook-level names whose
    // reference points to it) are copied for each new sheet.
    void InsertSheets(int copyFrom, int insertBefore, int count, const TSheetInfo &sheetInfo);
};
