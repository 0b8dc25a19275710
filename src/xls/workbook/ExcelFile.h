#pragma once

#include "xls/workbook/XlsCellAccess.h"
#include "xls/workbook/XlsCellRange.h"
#include "xls/workbook/XlsDateParser.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

class QIODevice;

// The formats a save can write, in the order a save walks them.
enum class TXlsSaveFormat { snXLS, snCSVComma, snCSVSemiColon, snTabDelimited };

// Bit set of TXlsSaveFormat values.
class TXlsSaveFormats
{
public:
    TXlsSaveFormats() = default;
    TXlsSaveFormats(std::initializer_list<TXlsSaveFormat> formats)
    {
        for (auto f : formats)
            Include(f);
    }
    void Include(TXlsSaveFormat f) { FBits |= Bit(f); }
    void Exclude(TXlsSaveFormat f) { FBits &= ~Bit(f); }
    bool Contains(TXlsSaveFormat f) const { return (FBits & Bit(f)) != 0; }
    bool operator==(const TXlsSaveFormats &) const = default;

private:
    static unsigned Bit(TXlsSaveFormat f) { return 1u << static_cast<unsigned>(f); }
    unsigned FBits = 0;
};

enum class TXlsSheetVisible { sv_Visible, sv_Hidden, sv_VeryHidden };

// A hyperlink of a sheet: what it points at and how it is shown.
enum class THyperLinkType { hl_URL, hl_LocalFile, hl_CurrentWorkbook };
struct THyperLink
{
    THyperLinkType LinkType = THyperLinkType::hl_URL;
    QString Description;  // the text the cell shows in the tip; may be empty
    QString Target;       // URL or file name; empty for a place in this workbook
    QString TextMark;     // the place after "#" ("Sheet2!A1"); may be empty
    bool operator==(const THyperLink &) const = default;
};

// A font as the FONT record holds it (height in twips, weight 400 or 700).
struct TXlsFont
{
    QString Name = QStringLiteral("Arial");
    int Size20 = 200;
    int ColorIndex = 0x7FFF;
    int Style = 0;        // 0x02 italic, 0x08 strike-out
    int Weight = 400;
    int Underline = 0;
    int Family = 0;
    int CharSet = 0;
    bool operator==(const TXlsFont &) const = default;
};

// One rich-text run of a cell's text: from character FirstChar on (1-based)
// the text is written in font FontIndex (an index as GetFont takes it).
struct TXlsRichRun
{
    int FirstChar = 0;
    int FontIndex = 0;
    bool operator==(const TXlsRichRun &) const = default;
};
using TXlsRichRuns = QList<TXlsRichRun>;

// How a drawing object (a picture, a comment's box) follows the cells under it.
enum class TXlsAnchorType { at_MoveAndResize, at_MoveAndDontResize, at_DontMoveAndDontResize };

// The box of a drawing object: its top left corner in cell (Row1, Col1) and
// its bottom right corner in cell (Row2, Col2), rows and columns 1-based; the
// offsets inside the cells in 1/1024 of the column's width (Dx) and 1/256 of
// the row's height (Dy).
struct TXlsImageProperties
{
    int Col1 = 1, Dx1 = 0, Row1 = 1, Dy1 = 0, Col2 = 1, Dx2 = 0, Row2 = 1, Dy2 = 0;
    bool operator==(const TXlsImageProperties &) const = default;
};

// A cell format: the font it uses, its number-format text and the rest of
// the XF record (alignment, borders, fill) as stored.
struct TXlsFormat
{
    int FontIndex = 0;
    QString Format;  // "General", "dd.mm.yyyy", ...
    QByteArray Rest; // XF bytes after the number-format index (16 bytes)
    bool operator==(const TXlsFormat &) const = default;
};

// The four page margins of a sheet, in inches.
struct TXlsMargins
{
    double Left = 0.75, Right = 0.75, Top = 1.0, Bottom = 1.0;
    bool operator==(const TXlsMargins &) const = default;
};

// The print settings of a worksheet. Paper, scale, resolutions and copies
// read as these defaults while the sheet has no printer data.
struct TXlsPageSetup
{
    int PaperSize = 1;  // 1 letter, 9 A4
    int Scale = 100;    // percent, 10..400
    bool Landscape = false;
    bool FitToPage = false;
    int FitWidth = 1, FitHeight = 1;  // pages, when fitting
    int HResolution = 600, VResolution = 600;
    int Copies = 1;
    double HeaderMargin = 0.5, FooterMargin = 0.5;  // inches
    QString Header, Footer;
    bool PrintGridLines = false;
    bool operator==(const TXlsPageSetup &) const = default;
};

// Lets a caller choose the file name for each format of a multi-format save.
using TGetFileNameEvent = std::function<void(TXlsSaveFormat format, QString &fileName)>;
// Tells a caller which format is being written.
using TOnSaveFormatEvent = std::function<void(TXlsSaveFormat format)>;

// The file interface the facade drives. Rows, columns and sheets are 1-based here.
class TExcelFile
{
public:
    virtual ~TExcelFile() = default;

    virtual void Connect() = 0;
    virtual void Disconnect() = 0;

    virtual void OpenFile(const QString &fileName) = 0;
    virtual void OpenStream(QIODevice &stream) = 0;
    virtual void NewFile(int sheetCount) = 0;
    virtual void CloseFile() = 0;

    virtual void InsertAndCopySheets(int copyFrom, int insertBefore, int count) = 0;
    virtual void DeleteSheets(int count) = 0;
    virtual int SheetCount() const = 0;
    virtual void SelectSheet(int sheet) = 0;
    virtual int GetActiveSheet() const = 0;
    virtual void SetActiveSheet(int sheet) = 0;
    virtual QString GetActiveSheetName() const = 0;
    virtual void SetActiveSheetName(const QString &name) = 0;
    virtual QString GetActiveSheetCodeName() const = 0;
    virtual void SetActiveSheetCodeName(const QString &name) = 0;
    virtual TXlsSheetVisible GetActiveSheetVisible() const = 0;
    virtual void SetActiveSheetVisible(TXlsSheetVisible value) = 0;

    virtual void Save(const QString &fileName, const TGetFileNameEvent &onGetFileName = {},
                      const TOnSaveFormatEvent &onSaveFormat = {}) = 0;
    virtual void Save(QIODevice &stream) = 0;

    virtual void InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count,
                                   bool onlyFormulas) = 0;
    virtual void InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count,
                                   bool onlyFormulas) = 0;
    virtual void DeleteRows(int row, int count) = 0;
    virtual void DeleteCols(int col, int count) = 0;

    // Empty QVariant, double, QString or bool.
    virtual QVariant GetCellValue(int row, int col) const = 0;
    virtual void SetCellValue(int row, int col, const QVariant &value) = 0;
    // Values for cells of one row (columns ascending), each as SetCellValue puts it.
    virtual void SetRowValues(int row, const TRowValues &values) = 0;
    virtual int MaxRow() const = 0;
    virtual int MaxCol() const = 0;

    // ---- cells with their format (XF index; -1 when the sheet is no worksheet)
    virtual QVariant GetCellValueX(int row, int col, int &xf) const = 0;
    // An xf of -1 keeps the cell's format.
    virtual void SetCellValueX(int row, int col, const QVariant &value, int xf) = 0;
    virtual int GetCellFormat(int row, int col) const = 0;
    // A text with its rich-text runs (positions from 1); an xf of -1 keeps
    // the cell's format. Runs must start inside the text, in order.
    virtual void SetCellValueRichText(int row, int col, const QString &text, int xf,
                                      const TXlsRichRuns &runs) = 0;
    // The value and format with the text's rich-text runs; no runs for a text
    // in one font or a cell that holds no text. On a sheet that is no
    // worksheet: empty, xf -1 and one empty run.
    virtual QVariant GetCellValueRichText(int row, int col, int &xf, TXlsRichRuns &runs) const = 0;
    virtual void SetCellFormat(int row, int col, int xf) = 0;
    // Text as a user types it: a number ("." decimal separator, "," between
    // thousands), TRUE/FALSE, a date (stored with a date format), or text.
    // With xf >= 0 that format is used (for a date, with the date's number
    // format); without, the cell keeps its own.
    virtual void AssignCellDataFromText(int row, int col, const QString &text, int xf = -1,
                                        TXlsDateOrder order = TXlsDateOrder::doDMY) = 0;

    // ---- comments (notes) of the active sheet
    // With row >= 1 the comments of that row, otherwise all of the sheet.
    virtual int CommentsCount(int row) const = 0;
    // With row >= 1 the position-th comment of that row (from 0), otherwise
    // comment number position of the sheet.
    virtual QString GetCommentText(int row, int position) const = 0;
    // Same addressing as GetCommentText; the comment keeps its box and font.
    virtual void SetCommentText(int row, int position, const QString &text) = 0;
    // Rebuilds the row index after the active sheet changed.
    virtual void RestoreCommentIndex() = 0;
    // Same addressing as GetCommentText: the text and the comment's box.
    virtual void SetCommentTextAndSize(int row, int position, const QString &text,
                                       const TXlsImageProperties &box) = 0;
    // How the comment's box follows the cells, and where it stands.
    virtual void SetCommentAnchor(int row, int position, TXlsAnchorType anchor,
                                  const TXlsImageProperties &box) = 0;
    virtual void SetCommentAnchorAndText(int row, int position, TXlsAnchorType anchor,
                                         const TXlsImageProperties &box, const QString &text) = 0;
    virtual void GetCommentAnchor(int row, int position, TXlsAnchorType &anchor,
                                  TXlsImageProperties &box) const = 0;

    // ---- the comments of one row of the active sheet, by column; positions
    // from 0. A row or position without a comment gives 0, an empty text and
    // column 1.
    virtual int CellCommentCount(int row) const = 0;
    virtual QString GetCellCommentText(int row, int position) const = 0;
    virtual int GetCellCommentCol(int row, int position) const = 0;
    // The comment of a cell; empty when it has none.
    virtual QString GetCellComment(int row, int col) const = 0;
    // Gives the cell a comment with the text, or changes the one it has; an
    // empty text deletes the cell's comment.
    virtual void SetCellComment(int row, int col, const QString &text) = 0;

    // ---- named ranges (1-based)
    virtual int NamedRangeCount() const = 0;
    virtual QString NamedRangeName(int index) const = 0;
    // The corners 1-based; sheet gets the 1-based sheet, 0 for a name that
    // is no single range.
    virtual TXlsCellRange NamedRangeRange(int index, int &sheet) const = 0;
    virtual void SetNamedRangeRange(int index, const TXlsCellRange &range) = 0;
    // Cell operations then add the range's first column - 1 to their column.
    virtual void SetWorkingRange(int index) = 0;
    virtual int WorkingFirstColumn() const = 0;  // 1-based
    // Width of the working range for a row the sheet holds, 0 for others.
    virtual int WorkingRangeWidth(int row) const = 0;

    // ---- fonts, formats, palette of the workbook
    virtual int FontCount() const = 0;  // the highest font index + 1
    virtual TXlsFont GetFont(int index) const = 0;
    virtual void SetFont(int index, const TXlsFont &font) = 0;
    virtual int FormatCount() const = 0;
    virtual TXlsFormat GetFormat(int index) const = 0;
    virtual void SetFormat(int index, const TXlsFormat &format) = 0;
    // The XF index of an equal format, added when there is none.
    virtual int AddFormat(const TXlsFormat &format) = 0;
    virtual QString FormatString(int index) const = 0;
    // Colours 1..56 as 0xRRGGBB.
    virtual quint32 GetColorPalette(int index) const = 0;
    virtual void SetColorPalette(int index, quint32 rgb) = 0;

    // ---- rows (1..65536) and columns (1..256) of the active sheet
    // Heights in twips, widths in 1/256 of a character; formats are XF indexes.
    virtual int GetRowHeight(int row) const = 0;
    virtual void SetRowHeight(int row, int height) = 0;
    virtual int GetColumnWidth(int col) const = 0;
    virtual void SetColumnWidth(int col, int width) = 0;
    virtual bool GetRowHidden(int row) const = 0;
    virtual void SetRowHidden(int row, bool hidden) = 0;
    virtual bool GetColumnHidden(int col) const = 0;
    virtual void SetColumnHidden(int col, bool hidden) = 0;
    // The ROW record's option flags (outline level, hidden, custom height,
    // own format); those of a new row for a row the sheet does not hold.
    virtual int GetRowOptions(int row) const = 0;
    virtual void SetRowOptions(int row, int options) = 0;
    // -1 for a row or column without a format of its own.
    virtual int GetRowFormat(int row) const = 0;
    virtual void SetRowFormat(int row, int xf) = 0;
    virtual int GetColumnFormat(int col) const = 0;
    virtual void SetColumnFormat(int col, int xf) = 0;

    // ---- the view of the active sheet: the first cell that scrolls (1-based);
    // (1, 1) unfreezes
    virtual void FreezePanes(int row, int col) = 0;
    virtual void GetFrozenPanes(int &row, int &col) const = 0;
    // Splits the view (without freezing) so that the lower right pane starts
    // at the cell; (1, 1) removes the split.
    virtual void SplitWindow(int row, int col) = 0;
    virtual void GetSplitWindow(int &row, int &col) const = 0;

    // ---- page margins of the active sheet
    virtual TXlsMargins GetMargins() const = 0;
    virtual void SetMargins(const TXlsMargins &margins) = 0;

    // ---- print settings of the active worksheet (defaults for other sheets)
    virtual TXlsPageSetup GetPageSetup() const = 0;
    virtual void SetPageSetup(const TXlsPageSetup &setup) = 0;
    // Grid lines shown on screen and the zoom in percent (10..400).
    virtual bool GetShowGridLines() const = 0;
    virtual void SetShowGridLines(bool show) = 0;
    virtual int GetZoom() const = 0;
    virtual void SetZoom(int zoom) = 0;

    // ---- merged cells of the active sheet (1-based corners)
    // The merged range holding the cell, or the cell itself.
    virtual TXlsCellRange CellMergedBounds(int row, int col) const = 0;
    virtual int MergedCellCount() const = 0;
    virtual TXlsCellRange MergedCells(int index) const = 0;
    virtual void MergeCells(int firstRow, int firstCol, int lastRow, int lastCol) = 0;
    // Takes apart every merged range inside the given one.
    virtual void UnMergeCells(int firstRow, int firstCol, int lastRow, int lastCol) = 0;

    // ---- hyperlinks of the active sheet (1-based)
    virtual int HyperLinkCount() const = 0;
    virtual THyperLink GetHyperLink(int index) const = 0;
    virtual void SetHyperLink(int index, const THyperLink &link) = 0;
    virtual TXlsCellRange GetHyperLinkCellRange(int index) const = 0;
    virtual void SetHyperLinkCellRange(int index, const TXlsCellRange &range) = 0;
    virtual void AddHyperLink(const TXlsCellRange &range, const THyperLink &link) = 0;
    virtual void DeleteHyperLink(int index) = 0;

    // ---- pictures of the active sheet (0-based)
    virtual int ImageCount() const = 0;
    // The picture's bytes (PNG, JPEG or bitmap; empty for a metafile) and
    // where it stands.
    virtual QByteArray GetImage(int index, TXlsAnchorType &anchor, TXlsImageProperties &box) const = 0;
    virtual void DeleteImage(int index) = 0;
    // A PNG or JPEG picture over the box; moves with the cells, keeps its size.
    virtual void AddImage(const QByteArray &picture, const TXlsImageProperties &box) = 0;

    // ---- clipboard: the cells as tab-separated text and as a workbook
    virtual void CopyToClipboard() = 0;
    virtual void CopyToClipboard(const TXlsCellRange &range) = 0;
    virtual void PasteFromClipboard(int row, int col) = 0;

    virtual bool IsWorkSheet(int sheet) const = 0;

    // ---- the cells of one row of the active sheet, in column order
    // True for a row without cells, outside the sheet, or on a non-worksheet.
    virtual bool IsEmptyRow(int row) const = 0;
    virtual int ColCountInRow(int row) const = 0;
    // The 1-based column of the row's index-th cell (from 1); 0 when none.
    virtual int ColByIndex(int row, int index) const = 0;
    // The position (from 1) of the column's cell in the row; 0 when empty.
    virtual int ColIndex(int row, int col) const = 0;

    // ---- outline levels (0..7) of rows and columns; the band forms give
    // one level to rows first..last or columns first..last
    virtual int GetRowOutlineLevel(int row) const = 0;
    virtual void SetRowOutlineLevel(int firstRow, int lastRow, int level) = 0;
    virtual int GetColOutlineLevel(int col) const = 0;
    virtual void SetColOutlineLevel(int firstCol, int lastCol, int level) = 0;

    // Deletes every row of the active sheet whose first cell holds the text
    // (the marker a template leaves on rows it does not want), last first.
    virtual void DeleteMarkedRows(const QString &marker) = 0;
    // Empties the first cell of every row that holds the text and breaks the
    // page after that row, last first.
    virtual void MakePageBreaks(const QString &marker) = 0;
};
