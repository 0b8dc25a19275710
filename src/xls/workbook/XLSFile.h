#pragma once

#include "xls/workbook/ExcelFile.h"
#include "xls/workbook/RowComments.h"

#include <QByteArray>

#include <memory>

class TXLSAdapter;
class TXlsStorageList;
class TWorkbook;
class TWorkSheet;
class TBaseRecordList;

// The file object over one TWorkbook: opens compound documents (or the
// adapter's in-memory templates), starts new files from the empty workbook,
// and saves as BIFF8 or delimited text. Rows, columns and sheets are 1-based.
class TXLSFile : public TExcelFile
{
public:
    TXLSFile(TXLSAdapter *adapter, bool allowOverwritingFiles);
    ~TXLSFile() override;

    void Connect() override;
    void Disconnect() override;

    void OpenFile(const QString &fileName) override;
    void OpenStream(QIODevice &stream) override;
    void NewFile(int sheetCount) override;
    void CloseFile() override;

    void InsertAndCopySheets(int copyFrom, int insertBefore, int count) override;
    void DeleteSheets(int count) override;
    int SheetCount() const override;
    void SelectSheet(int sheet) override;
    int GetActiveSheet() const override { return FActiveSheet; }
    void SetActiveSheet(int sheet) override;
    QString GetActiveSheetName() const override;
    void SetActiveSheetName(const QString &name) override;
    QString GetActiveSheetCodeName() const override;
    void SetActiveSheetCodeName(const QString &name) override;
    TXlsSheetVisible GetActiveSheetVisible() const override;
    void SetActiveSheetVisible(TXlsSheetVisible value) override;

    // Refuses an existing target when overwriting is off, before writing a
    // byte; each file is written under a temporary name and renamed when whole.
    void Save(const QString &fileName, const TGetFileNameEvent &onGetFileName = {},
              const TOnSaveFormatEvent &onSaveFormat = {}) override;
    void Save(QIODevice &stream) override;

    void InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count,
                           bool onlyFormulas) override;
    void InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count,
                           bool onlyFormulas) override;
    void DeleteRows(int row, int count) override;
    void DeleteCols(int col, int count) override;

    QVariant GetCellValue(int row, int col) const override;
    void SetCellValue(int row, int col, const QVariant &value) override;
    void SetRowValues(int row, const TRowValues &values) override;
    int MaxRow() const override;
    int MaxCol() const override;

    QVariant GetCellValueX(int row, int col, int &xf) const override;
    void SetCellValueX(int row, int col, const QVariant &value, int xf) override;
    int GetCellFormat(int row, int col) const override;
    QVariant GetCellValueRichText(int row, int col, int &xf, TXlsRichRuns &runs) const override;
    void SetCellValueRichText(int row, int col, const QString &text, int xf, const TXlsRichRuns &runs) override;
    void SetCellFormat(int row, int col, int xf) override;
    void AssignCellDataFromText(int row, int col, const QString &text, int xf = -1,
                                TXlsDateOrder order = TXlsDateOrder::doDMY) override;

    int CommentsCount(int row) const override;
    QString GetCommentText(int row, int position) const override;
    void SetCommentText(int row, int position, const QString &text) override;
    void RestoreCommentIndex() override;
    void SetCommentTextAndSize(int row, int position, const QString &text, const TXlsImageProperties &box) override;
    void SetCommentAnchor(int row, int position, TXlsAnchorType anchor, const TXlsImageProperties &box) override;
    void SetCommentAnchorAndText(int row, int position, TXlsAnchorType anchor, const TXlsImageProperties &box,
                                 const QString &text) override;
    void GetCommentAnchor(int row, int position, TXlsAnchorType &anchor, TXlsImageProperties &box) const override;

    int CellCommentCount(int row) const override;
    QString GetCellCommentText(int row, int position) const override;
    int GetCellCommentCol(int row, int position) const override;
    QString GetCellComment(int row, int col) const override;
    void SetCellComment(int row, int col, const QString &text) override;

    int NamedRangeCount() const override;
    QString NamedRangeName(int index) const override;
    TXlsCellRange NamedRangeRange(int index, int &sheet) const override;
    void SetNamedRangeRange(int index, const TXlsCellRange &range) override;
    void SetWorkingRange(int index) override;
    int WorkingFirstColumn() const override { return FFirstColumn + 1; }
    int WorkingRangeWidth(int row) const override;

    int FontCount() const override;
    TXlsFont GetFont(int index) const override;
    void SetFont(int index, const TXlsFont &font) override;
    int FormatCount() const override;
    TXlsFormat GetFormat(int index) const override;
    void SetFormat(int index, const TXlsFormat &format) override;
    int AddFormat(const TXlsFormat &format) override;
    QString FormatString(int index) const override;
    quint32 GetColorPalette(int index) const override;
    void SetColorPalette(int index, quint32 rgb) override;

    int GetRowHeight(int row) const override;
    void SetRowHeight(int row, int height) override;
    int GetColumnWidth(int col) const override;
    void SetColumnWidth(int col, int width) override;
    bool GetRowHidden(int row) const override;
    void SetRowHidden(int row, bool hidden) override;
    bool GetColumnHidden(int col) const override;
    void SetColumnHidden(int col, bool hidden) override;
    int GetRowOptions(int row) const override;
    void SetRowOptions(int row, int options) override;
    int GetRowFormat(int row) const override;
    void SetRowFormat(int row, int xf) override;
    int GetColumnFormat(int col) const override;
    void SetColumnFormat(int col, int xf) override;

    void FreezePanes(int row, int col) override;
    void GetFrozenPanes(int &row, int &col) const override;
    void SplitWindow(int row, int col) override;
    void GetSplitWindow(int &row, int &col) const override;

    TXlsMargins GetMargins() const override;
    void SetMargins(const TXlsMargins &margins) override;

    TXlsPageSetup GetPageSetup() const override;
    void SetPageSetup(const TXlsPageSetup &setup) override;
    bool GetShowGridLines() const override;
    void SetShowGridLines(bool show) override;
    int GetZoom() const override;
    void SetZoom(int zoom) override;

    TXlsCellRange CellMergedBounds(int row, int col) const override;
    int MergedCellCount() const override;
    TXlsCellRange MergedCells(int index) const override;
    void MergeCells(int firstRow, int firstCol, int lastRow, int lastCol) override;
    void UnMergeCells(int firstRow, int firstCol, int lastRow, int lastCol) override;

    int HyperLinkCount() const override;
    THyperLink GetHyperLink(int index) const override;
    void SetHyperLink(int index, const THyperLink &link) override;
    TXlsCellRange GetHyperLinkCellRange(int index) const override;
    void SetHyperLinkCellRange(int index, const TXlsCellRange &range) override;
    void AddHyperLink(const TXlsCellRange &range, const THyperLink &link) override;
    void DeleteHyperLink(int index) override;

    int ImageCount() const override;
    QByteArray GetImage(int index, TXlsAnchorType &anchor, TXlsImageProperties &box) const override;
    void DeleteImage(int index) override;
    void AddImage(const QByteArray &picture, const TXlsImageProperties &box) override;

    void CopyToClipboard() override;
    void CopyToClipboard(const TXlsCellRange &range) override;
    void PasteFromClipboard(int row, int col) override;

    bool IsWorkSheet(int sheet) const override;

    bool IsEmptyRow(int row) const override;
    int ColCountInRow(int row) const override;
    int ColByIndex(int row, int index) const override;
    int ColIndex(int row, int col) const override;

    int GetRowOutlineLevel(int row) const override;
    void SetRowOutlineLevel(int firstRow, int lastRow, int level) override;
    int GetColOutlineLevel(int col) const override;
    void SetColOutlineLevel(int firstCol, int lastCol, int level) override;
    void DeleteMarkedRows(const QString &marker) override;
    void MakePageBreaks(const QString &marker) override;

    TWorkbook &Workbook() const;

private:
    void Open(const QString &fileName, QIODevice *stream, const QByteArray *bytes);
    TWorkSheet *ActiveWorkSheet() const;
    // The active sheet, 0-based; raises when the stored index names no sheet.
    int ActiveIndex() const;
    // The active sheet's records, whatever its kind.
    TBaseRecordList &SheetRecords() const;
    // The HLINK record of a 1-based index; raises the range message.
    int HyperLinkRecord(int index) const;
    class THLinkRecord *HyperLinkAt(int index) const;
    // Puts a link record of the data at the index, with the old one's tip.
    void ReplaceHyperLink(int at, const QByteArray &data);
    // A 1-based cell range checked and made 0-based.
    static TXlsCellRange ZeroBased(const TXlsCellRange &range);
    // The row's record (made when missing) and the column's own COLINFO,
    // after checking the 1-based number.
    class TRowRecord *RowFor(int row) const;
    class TColInfoRecord *ColumnFor(int col) const;
    // Raises the engine's index message for an XF the workbook does not have.
    void CheckFormat(int xf) const;
    // Rows 1..65536 and columns 1..256, else the engine's row or column message.
    static void CheckRow(int row);
    static void CheckColumn(int col);
    class TXlsFormatTable FormatTable() const;
    const class TCellRecordList *RowCellsOf(int row) const;
    // Gives the GUTS record the deepest row and column levels.
    void UpdateOutlineGutters();
    // The sheet-wide index of a comment given as row and position.
    int CommentIndex(int row, int position) const;
    // The sheet-wide indexes of the comments of a row, by column.
    QList<int> RowCommentIndexes(int row) const;
    // Raises the "ImageIndex" message for a picture the sheet does not have.
    void CheckImageIndex(int index) const;
    // The first cell (1-based) of the lower right pane as read gives it (0-based);
    // 1, 1 on a sheet that is no worksheet.
    void PaneCell(void (*read)(const TBaseRecordList &, int &, int &), int &row, int &col) const;
    // Rows from the last to the first whose first cell holds the marker.
    QList<int> MarkedRows(const QString &marker) const;
    TXlsSaveFormats Formats() const;
    // The file in the format, written into device.
    void WriteFormat(TXlsSaveFormat format, QIODevice &device);

    TXLSAdapter *FAdapter;
    int FActiveSheet = 1;
    std::unique_ptr<TWorkbook> FWorkbook;
    // XF records an open workbook is known to hold. They are only ever added
    // (never removed) while it is open, so a count once taken stays a floor;
    // counting walks the globals, too slow for every cell of a fill.
    mutable int FFormatsSeen = 0;
    // The other streams of the document read, written back on save.
    std::unique_ptr<TXlsStorageList> FStorage;
    bool FAllowOverwritingFiles;
    // The working column range, 0-based offsets; cell operations add the first.
    int FFirstColumn = 0;
    int FLastColumn = 0;
    std::unique_ptr<TRowComments> FRowComments = std::make_unique<TRowComments>();
};
