#pragma once

#include "xls/records/BaseRecordList.h"
#include "xls/records/CellRecordList.h"
#include "xls/records/RowRecordList.h"
#include "xls/workbook/XlsCellAccess.h"

#include <memory>
#include <vector>

class TGatheringDevice;
class TExcelString;
class TSST;
class TShrFmlaRecordList;
class TFormulaNames;
class TFormulaReferences;

// The cells of a worksheet: the ROW records and, per row, the cell records
// sorted by column. It stands in the sheet's record list through a
// placeholder and writes itself in blocks of 32 rows, each block's ROW
// records first and then its cells, as the format lays them out.
class TCellList : public TBaseRecordList, public TXlsCellAccess
{
public:
    explicit TCellList(TSST *sst);
    ~TCellList() override;

    // Takes a cell record read from the file (MULRK and MULBLANK come split).
    void AddCellRecord(std::unique_ptr<TCellRecord> cell);
    // The same for cells read one after another (those of a row in column
    // order, as the file has them); cells is left empty.
    void AddCellRecords(std::vector<std::unique_ptr<TCellRecord>> &cells);
    void AddRowRecord(std::unique_ptr<TBaseRecord> row);
    void AddRowRecord(std::unique_ptr<TRowRecord> row);
    // Sorts every row by column after loading; of a cell read twice the
    // later record stays.
    void SortAll();

    const TRowRecordList &Rows() const { return FRows; }
    // For row heights, formats and options; records change in place.
    TRowRecordList &Rows() { return FRows; }
    // Number of rows held: the highest row with a ROW record or a cell, + 1.
    // Both answer at once: callers put them in loop conditions.
    int RowCount() const override;
    // The highest used column + 1 over all rows.
    int ColCount() const override;
    // The cells of a row sorted by column, or null for a row without cells.
    const TCellRecordList *RowCells(int row) const;
    TCellRecord *Cell(int row, int col) const;

    // Empty QVariant, double, QString or bool; text cells read through the
    // shared-string table.
    QVariant CellValue(int row, int col) const override;
    // Replaces the cell, keeping its format (or the row's); an empty value
    // leaves a blank cell when the old one had a format other than the default.
    void SetCellValue(int row, int col, const QVariant &value) override;
    // Each value as SetCellValue puts it (onto a cell of format Xf where one
    // is given), in a row looked up once; columns are values[i].Col +
    // colOffset and must ascend. Every position is checked before any cell
    // changes.
    void SetRowValues(int row, const TRowValues &values, int colOffset);
    // A value with a format; xf -1 keeps the cell's format.
    void SetCellValue(int row, int col, const QVariant &value, int xf);
    // A text cell with rich-text runs; xf -1 keeps the cell's format.
    void SetCellRichText(int row, int col, const TExcelString &text, int xf);
    // A cell that does not exist becomes a blank cell with the format.
    void SetCellFormat(int row, int col, int xf);

    // A formula cell from its text ("=" first), in place of the cell there,
    // with that cell's format; value is the result shown until the
    // spreadsheet application recalculates.
    void SetFormula(int row, int col, const QString &formula, const QVariant &value,
                    TFormulaReferences &references, const TFormulaNames *names);

    // After this sheet was made as a copy of info.InsSheet: formulas that
    // point at that sheet point at this one (info.FormulaSheet). A formula
    // whose tokens cannot be walked keeps its references.
    void RedirectForSheetCopy(const TSheetInfo &info);

    // Moves every cell's references for rows or columns inserted in the
    // sheet that info names (formulas of other sheets follow 3-D references).
    void ShiftAllCells(int rowPos, int rowCount, const TSheetInfo &info, int colCount, int colPos);

    // Shared-string indexes in use, and moving them to the compacted table.
    void MarkStrings(std::vector<bool> &used, quint32 &refs) const;
    void RemapStrings(const std::vector<quint32> &newIndex);

    // Rows firstRow..lastRow copied count times at destRow (rows below move down);
    // a negative count deletes -count rows at destRow.
    void InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count, const TSheetInfo &info);
    void DeleteRows(int row, int count, const TSheetInfo &info);
    void InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count, const TSheetInfo &info);
    void DeleteCols(int col, int count, const TSheetInfo &info);

    // A ROW record's columns are only a hint (files exist whose rows say
    // 0-0 while holding ten cells): before saving, each is widened to cover
    // the cells of its row, as the format requires.
    void CoverCellsWithRows();

    // The used range as a DIMENSIONS record wants it: first row, last row + 1,
    // first column, last column + 1.
    void UsedRange(int &firstRow, int &lastRowPlus1, int &firstCol, int &lastColPlus1) const;

    qint64 TotalSize() const override;
    void SaveToStream(QIODevice &stream) const override;
    void CopyCellsFrom(const TCellList &other);

    bool Modified() const { return FModified; }

    // Gives each formula that only points at a shared formula of the list the
    // shared tokens, made absolute for its cell.
    void ExpandSharedFormulas(TShrFmlaRecordList &sharedFormulas);

private:
    TCellRecordList &RowCells(int row);
    static void DropOverwrittenCells(TCellRecordList &row);
    // Writes the row blocks to out; without it, gives the bytes they take.
    qint64 WriteBlocks(TGatheringDevice *out) const;
    void RemoveCell(int row, int col);
    void RemoveAt(TCellRecordList &cells, int index, int row, int col);
    // The rows and columns the cells reach, kept as cells come and go: a cell
    // added can only widen it; anything else has it measured again when asked.
    void Widen(int row, int col)
    {
        FCellRows = std::max(FCellRows, row + 1);
        FCellCols = std::max(FCellCols, col + 1);
    }
    void ForgetExtent() { FExtentKnown = false; }
    void MeasureExtent() const;
    void PutCell(std::unique_ptr<TCellRecord> cell);
    // The record for a value with that format; null where the cell goes.
    std::unique_ptr<TCellRecord> ValueCell(int row, int col, int xf, const QVariant &value);
    static void CheckPosition(int row, int col);

    TSST *FSST;
    TRowRecordList FRows;
    std::vector<std::unique_ptr<TCellRecordList>> FCells;
    bool FModified = false;
    mutable bool FExtentKnown = true;
    mutable int FCellRows = 0, FCellCols = 0;
};
