#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// What the formula decoder and encoder ask of the workbook: its extern-sheet
// table (3-D references) and, for array and table formulas, the records kept
// with a cell. The workbook implements this over its references and cell list.
class TFormulaReferences
{
public:
    virtual ~TFormulaReferences() = default;

    // The text before a 3-D reference for an extern-sheet index, "!" included:
    // "Sheet1!" or "Sheet1:Sheet3!", quoted where the name needs it.
    virtual QString GetSheetPrefix(int externSheet) const = 0;
    // The sheet of a name, compared without regard to case; -1 when absent.
    virtual int GetSheetIndex(QStringView sheetName) const = 0;
    // The name of a sheet (0-based): the default sheet of a new name's
    // references. Workbooks that make names override it; the default raises.
    virtual QString GetSheetName(int sheet) const;
    // The name a NAMEX token stands for: the add-in function or the other
    // workbook's name (nameIndex 1-based) of the extern sheet's SUPBOOK; a
    // null string when that is this workbook, whose names the name table gives.
    virtual QString GetExternName(int externSheet, int nameIndex) const;
    // The extern-sheet index of a first and last sheet, added when missing.
    virtual int AddExternSheet(int firstSheet, int lastSheet) = 0;

    // The data of the ARRAY or TABLE record kept with the formula at (row,
    // col), both 0-based. They raise the cell list's errors: "Invalid Row (%d)",
    // "Invalid Column (%d)", "Formula at Row %d, column %d is not supported.
    // Token Id: 0x%2x" when that formula has no such record, and "Can't find
    // Shared Formula" when the cell holds no formula.
    virtual QByteArray GetArrayRecordData(int row, int col) const = 0;
    virtual QByteArray GetTableRecordData(int row, int col) const = 0;
};
