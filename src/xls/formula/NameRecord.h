#pragma once

#include "xls/records/BaseRecord.h"

#include <QString>

#include <functional>

class TFormulaNames;
class TFormulaReferences;

// What a new defined name is made from.
struct TNameDefinition
{
    QString Name;
    QString Reference; // formula text without "=", or empty
    quint16 Options = 0;
    int SheetIndex = -1; // -1: workbook-level
};

// NAME (0x0018): a defined name and its reference.
//   0  u16  options
//   2  u8   keyboard shortcut
//   3  u8   name length in characters
//   4  u16  token bytes of the reference
//   6  u16  sheet index + 1 (copy)
//   8  u16  sheet index + 1; 0 = workbook-level
//  10  u8 x4  lengths of menu, description, help and status texts
//  14  u8   option byte of the name (bit 0: two bytes per character)
//  15  ...  the name, then the tokens, then the four texts
class TNameRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0018;
    TNameRecord(quint16 id, QByteArray data);

    // A new name; the reference is parsed as absolute 3-D references to the
    // name's sheet (the first sheet for a workbook-level name). Parse errors
    // pass through.
    static std::unique_ptr<TNameRecord> NewName(const TNameDefinition &definition, const TFormulaNames *names,
                                                TFormulaReferences *references);

    QString Name() const;
    int NameSheetIndex() const; // -1 for a workbook-level name
    int TokenStart() const;
    int TokenBytes() const;

    // The range of a reference that is one 3-D cell or area token; -1 each
    // when it is anything else. Columns without their flag bits.
    int FirstRow() const;
    int LastRow() const;
    int FirstColumn() const;
    int LastColumn() const;
    int RangeSheet(const std::function<int(int)> &getSheet) const;
    // A 3-D cell reference first becomes an area of that cell (the record
    // grows by 4 bytes: these return the growth, for the list's total).
    int SetFirstRow(int value);
    int SetLastRow(int value);
    int SetFirstColumn(int value);
    int SetLastColumn(int value);

    // A sheet-level name at or after first moves by delta.
    void MoveSheetIndex(int first, int delta);
    void ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                        int colPos = 0) override;
    void OffsetForCopy(int, int) override {}
    std::unique_ptr<TBaseRecord> Clone() const override;
    // A copy for the sheet info.FormulaSheet, references to info.InsSheet
    // redirected to it.
    std::unique_ptr<TNameRecord> CloneForSheet(const TSheetInfo &info) const;

private:
    enum class RangeKind { None, Cell, Area };
    RangeKind Kind() const;
    int RangeField(int cellOffset, int areaOffset, bool column) const;
    int SetRangeField(int areaOffset, int value, bool column);
};
