#pragma once

#include "xls/records/BaseList.h"
#include "xls/workbook/Sheet.h"
#include "xls/workbook/WorkbookGlobals.h"

#include <QByteArray>

class TByteSource;
class TWorkSheet;
struct TSheetInfo;

// The sheets of a workbook in file order.
class TSheetList : public TBaseList<TSheet>
{
public:
    // Frees and removes up to count sheets from index, stopping at the end.
    void DeleteSheets(int index, int count);
};

// One whole BIFF8 workbook: the globals and the sheets. Sheet indexes are 0-based.
class TWorkbook
{
public:
    TWorkbook();
    ~TWorkbook();
    TWorkbook(const TWorkbook &) = delete;
    TWorkbook &operator=(const TWorkbook &) = delete;

    // Reads a whole "Workbook" stream. Raises EExcelException for a bad one.
    void LoadFromStream(QByteArrayView stream);
    // The same, the stream read a piece at a time.
    void LoadFromSource(TByteSource &stream);
    QByteArray SaveToBytes();
    // Readies the workbook for writing and returns the size of its stream;
    // SaveToStream then writes exactly that, front to back, without
    // holding the stream in memory.
    qint64 PrepareSave();
    void SaveToStream(QIODevice &stream) const;

    TWorkbookGlobals &Globals() { return FGlobals; }
    const TWorkbookGlobals &Globals() const { return FGlobals; }

    int SheetCount() const { return FSheets.Count(); }
    bool IsWorkSheet(int sheet) const;
    // Null when the sheet is not a worksheet or does not exist.
    TWorkSheet *WorkSheets(int sheet) const;
    TSheet *Sheets(int sheet) const { return FSheets.Items(sheet); }

    // Every sheet is unselected, then sheet i becomes the active, selected one.
    void SetActiveSheet(int sheet);

    void InsertSheets(int copyFrom, int insertBefore, int count);
    void DeleteSheets(int sheet, int count);
    void InsertAndCopyRowsAndCols(int sheet, int firstRow, int lastRow, int destRow, int rowCount,
                                  int firstCol, int lastCol, int destCol, int colCount,
                                  bool onlyFormulas);
    void DeleteRowsAndCols(int sheet, int row, int rowCount, int col, int colCount);
    // A drawing id above those of every sheet's drawing.
    int NewDrawingId() const;

private:
    void Load(ByteCursor &cursor);
    static int RecordIdAt(ByteCursor &cursor, qsizetype at);
    void LoadSubstreams(ByteCursor &cursor);
    // "globals" or the sheet being loaded, for a load error's message.
    QString LoadingPart() const;
    void CheckSheet(int sheet, int high) const;
    void PrepareGlobals();
    void SetSheetPosition(int sheet, qint64 position);
    void AssignCodeNames();
    void CompactStrings();
    std::unique_ptr<TWorkSheet> NewEmptySheet();
    int StreamPartCount() const;
    TSheet *StreamPart(int i) const;
    TSheetInfo InfoFor(int sheet, int formulaSheet);
    void RenumberDrawings(int first, int count);
    void ShiftReferences(int sheet, int rowPos, int rowCount, int colCount, int colPos);

    TWorkbookGlobals FGlobals;
    TSheetList FSheets;
    // Substreams after the last sheet that no sheet entry names: kept, never
    // shown, written back after the sheets.
    TSheetList FUnlistedSheets;
    // Where each sheet starts in the stream being saved, and where it ends.
    std::vector<qint64> FSavePositions;
    int FLoadingSheet = -1;  // -1 while the globals load
};
