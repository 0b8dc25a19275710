#pragma once

#include "xls/formula/FormulaReferences.h"

class TWorkbookGlobals;
class TCellList;

// The extern-sheet table (EXTERNSHEET over the SUPBOOK records) as formulas
// see it, and the ARRAY and TABLE records kept with the formulas of one
// sheet's cells.
class TReferences : public TFormulaReferences
{
public:
    explicit TReferences(TWorkbookGlobals &globals, const TCellList *cells = nullptr);

    QString GetSheetPrefix(int externSheet) const override;
    int GetSheetIndex(QStringView sheetName) const override;
    // Raises the sheet-number message for a sheet the workbook does not have.
    QString GetSheetName(int sheet) const override;
    int AddExternSheet(int firstSheet, int lastSheet) override;
    QString GetExternName(int externSheet, int nameIndex) const override;
    // The sheet an extern-sheet index points at in this workbook; -1 for
    // another workbook, a deleted sheet or an index the table does not have.
    int SheetOfExternSheet(int externSheet) const;

    QByteArray GetArrayRecordData(int row, int col) const override;
    QByteArray GetTableRecordData(int row, int col) const override;

private:
    TWorkbookGlobals &FGlobals;
    const TCellList *FCells;
};
