// The file object's operations on the parts of the active sheet: comments,
// margins, print settings, the view, merged cells, links and the clipboard.
#include "xls/workbook/XLSFile.h"

#include "xls/records/LinkRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/HLinkData.h"
#include "xls/workbook/MergedCells.h"
#include "xls/workbook/PageMargins.h"
#include "xls/workbook/PageSetup.h"
#include "xls/workbook/SheetComments.h"
#include "xls/workbook/SheetPanes.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsClipboard.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <cmath>

// ---- comments

void TXLSFile::RestoreCommentIndex()
{
    FRowComments = std::make_unique<TRowComments>();
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    const QList<int> rows = TSheetComments::Rows(sheet->Records());
    for (int i = 0; i < rows.size(); ++i)
        FRowComments->Add(rows[i] + 1, i);
}

int TXLSFile::CommentsCount(int row) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return 0;
    if (row >= 1)
        return (*FRowComments)[row].Comments.size();
    return TSheetComments::Rows(sheet->Records()).size();
}

int TXLSFile::CommentIndex(int row, int position) const
{
    if (row < 1)
        return position;
    const QList<int> &onRow = (*FRowComments)[row].Comments;
    if (position < 0 || position >= onRow.size())
        XlsRaise(XlsMsg::IndexOutOfRange(position, QStringLiteral("CommentIndex"), 0, onRow.size() - 1));
    return onRow[position];
}

QString TXLSFile::GetCommentText(int row, int position) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return {};
    return TSheetComments::Text(sheet->Records(), CommentIndex(row, position));
}

void TXLSFile::SetCommentText(int row, int position, const QString &text)
{
    if (TWorkSheet *sheet = ActiveWorkSheet())
        TSheetComments::SetText(sheet->Records(), CommentIndex(row, position), text);
}

// ---- sheet parts

TBaseRecordList &TXLSFile::SheetRecords() const
{
    return Workbook().Sheets(ActiveIndex())->Records();
}

TXlsCellRange TXLSFile::ZeroBased(const TXlsCellRange &range)
{
    const TXlsCellRange r{range.Left - 1, range.Top - 1, range.Right - 1, range.Bottom - 1};
    for (int row : {r.Top, r.Bottom})
        if (row < 0 || row > 65535)
            XlsRaise(XlsMsg::InvalidRow(row + 1));
    for (int col : {r.Left, r.Right})
        if (col < 0 || col > 255)
            XlsRaise(XlsMsg::InvalidColumn(col + 1));
    if (r.Left > r.Right || r.Top > r.Bottom)
        XlsRaise(QStringLiteral("Invalid cell range"));
    return r;
}

namespace {

TXlsCellRange OneBased(const TXlsCellRange &r)
{
    return {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
}

}  // namespace

TXlsMargins TXLSFile::GetMargins() const
{
    return TPageMargins::Read(SheetRecords());
}

void TXLSFile::SetMargins(const TXlsMargins &margins)
{
    for (double m : {margins.Left, margins.Right, margins.Top, margins.Bottom})
        if (!std::isfinite(m) || m < 0)
            XlsRaise(QStringLiteral("Invalid page margin"));
    TPageMargins::Write(SheetRecords(), margins);
}

TXlsCellRange TXLSFile::CellMergedBounds(int row, int col) const
{
    if (!ActiveWorkSheet())
        return {col, row, col, row};
    const TXlsCellRange cell = ZeroBased({col, row, col, row});
    return OneBased(TMergedCells::BoundsOf(TMergedCells::Read(SheetRecords()), cell.Top, cell.Left));
}

int TXLSFile::MergedCellCount() const
{
    return ActiveWorkSheet() ? TMergedCells::Read(SheetRecords()).size() : 0;
}

TXlsCellRange TXLSFile::MergedCells(int index) const
{
    const QList<TXlsCellRange> ranges = ActiveWorkSheet() ? TMergedCells::Read(SheetRecords()) : QList<TXlsCellRange>();
    if (index < 1 || index > ranges.size())
        XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("MergedCellIndex"), 1, ranges.size()));
    return OneBased(ranges[index - 1]);
}

void TXLSFile::MergeCells(int firstRow, int firstCol, int lastRow, int lastCol)
{
    if (!ActiveWorkSheet())
        return;
    QList<TXlsCellRange> ranges = TMergedCells::Read(SheetRecords());
    TMergedCells::Merge(ranges, ZeroBased({firstCol, firstRow, lastCol, lastRow}));
    TMergedCells::Write(SheetRecords(), ranges);
}

void TXLSFile::UnMergeCells(int firstRow, int firstCol, int lastRow, int lastCol)
{
    if (!ActiveWorkSheet())
        return;
    QList<TXlsCellRange> ranges = TMergedCells::Read(SheetRecords());
    TMergedCells::UnMerge(ranges, ZeroBased({firstCol, firstRow, lastCol, lastRow}));
    TMergedCells::Write(SheetRecords(), ranges);
}

// ---- hyperlinks

namespace {

QList<int> HyperLinkRecords(const TBaseRecordList &records)
{
    QList<int> at;
    for (int i = 0; i < records.Count(); ++i)
        if (records.Items(i) && records.Items(i)->RecordId() == THLinkRecord::Id)
            at.append(i);
    return at;
}

// The record data of a link; the record may not outgrow the format's limit.
QByteArray CheckedLinkData(const TXlsCellRange &range, const THyperLink &link)
{
    QByteArray data = THLinkData::Build(range, link);
    if (data.size() > 8224)
        XlsRaise(QStringLiteral("The hyperlink is too long"));
    return data;
}

}  // namespace

int TXLSFile::HyperLinkCount() const
{
    return ActiveWorkSheet() ? HyperLinkRecords(SheetRecords()).size() : 0;
}

int TXLSFile::HyperLinkRecord(int index) const
{
    const QList<int> links = ActiveWorkSheet() ? HyperLinkRecords(SheetRecords()) : QList<int>();
    if (index < 1 || index > links.size())
        XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("HyperLinkIndex"), 1, links.size()));
    return links[index - 1];
}

THLinkRecord *TXLSFile::HyperLinkAt(int index) const
{
    return static_cast<THLinkRecord *>(SheetRecords().Items(HyperLinkRecord(index)));
}

THyperLink TXLSFile::GetHyperLink(int index) const
{
    return THLinkData::Read(HyperLinkAt(index)->Data());
}

TXlsCellRange TXLSFile::GetHyperLinkCellRange(int index) const
{
    const THLinkRecord *link = HyperLinkAt(index);
    return {link->FirstColumn() + 1, link->FirstRow() + 1, link->LastColumn() + 1, link->LastRow() + 1};
}

void TXLSFile::SetHyperLink(int index, const THyperLink &link)
{
    const int at = HyperLinkRecord(index);
    ReplaceHyperLink(at, CheckedLinkData(ZeroBased(GetHyperLinkCellRange(index)), link));
}

void TXLSFile::SetHyperLinkCellRange(int index, const TXlsCellRange &range)
{
    const int at = HyperLinkRecord(index);
    QByteArray data = SheetRecords().Items(at)->Data();
    XlsDetail::WriteRange(data, 0, ZeroBased(range));
    ReplaceHyperLink(at, data);
}

void TXLSFile::ReplaceHyperLink(int at, const QByteArray &data)
{
    TBaseRecordList &records = SheetRecords();
    const auto *old = static_cast<const THLinkRecord *>(records.Items(at));
    auto fresh = XlsDetail::Downcast<THLinkRecord>(CreateRecord(THLinkRecord::Id, data));
    // The screen tip stays with the link, over the link's cells. Its range
    // follows the record id it repeats, at 2, and its text comes at 10.
    if (const TScreenTipRecord *tip = old->ScreenTip(); tip && tip->DataSize() >= 10) {
        QByteArray tipData = tip->Data();
        XlsDetail::WriteRange(tipData, 2, {fresh->FirstColumn(), fresh->FirstRow(), fresh->LastColumn(), fresh->LastRow()});
        fresh->AddScreenTip(XlsDetail::Downcast<TScreenTipRecord>(CreateRecord(TScreenTipRecord::Id, tipData)));
    }
    records.SetItem(at, std::move(fresh));
}

void TXLSFile::AddHyperLink(const TXlsCellRange &range, const THyperLink &link)
{
    if (!ActiveWorkSheet())
        return;
    TBaseRecordList &records = SheetRecords();
    auto record = CreateRecord(THLinkRecord::Id, CheckedLinkData(ZeroBased(range), link));
    // After the last link, or else before the sheet's EOF.
    const QList<int> links = HyperLinkRecords(records);
    records.Insert(links.isEmpty() ? records.Count() - 1 : links.last() + 1, std::move(record));
}

void TXLSFile::DeleteHyperLink(int index)
{
    SheetRecords().Delete(HyperLinkRecord(index));
}

// ---- clipboard

void TXLSFile::CopyToClipboard()
{
    CopyToClipboard({1, 1, std::max(MaxCol(), 1), std::max(MaxRow(), 1)});
}

void TXLSFile::CopyToClipboard(const TXlsCellRange &range)
{
    if (!ActiveWorkSheet())
        return;
    const TXlsCellRange r{range.Left - 1, range.Top - 1, range.Right - 1, range.Bottom - 1};
    TXlsClipboard::CopyToClipboard(Workbook(), ActiveIndex(), r);
}

void TXLSFile::PasteFromClipboard(int row, int col)
{
    if (!ActiveWorkSheet())
        return;
    TXlsClipboard::PasteFromClipboard(Workbook(), ActiveIndex(), row - 1, col - 1 + FFirstColumn);
}

// ---- view

void TXLSFile::FreezePanes(int row, int col)
{
    CheckRow(row);
    CheckColumn(col);
    if (ActiveWorkSheet())
        TSheetPanes::Freeze(SheetRecords(), row - 1, col - 1);
}

void TXLSFile::GetFrozenPanes(int &row, int &col) const
{
    PaneCell(TSheetPanes::Frozen, row, col);
}

void TXLSFile::PaneCell(void (*read)(const TBaseRecordList &, int &, int &), int &row, int &col) const
{
    row = col = 1;
    if (!ActiveWorkSheet())
        return;
    read(SheetRecords(), row, col);
    ++row;
    ++col;
}

void TXLSFile::SplitWindow(int row, int col)
{
    CheckRow(row);
    CheckColumn(col);
    if (!ActiveWorkSheet())
        return;
    // The split stands where the cell begins: below the rows above it (their
    // heights are in twips) and right of the columns before it (widths in
    // 1/256 of a 7-pixel character, 15 twips a pixel).
    qint64 y = 0, x = 0;
    for (int r = 1; r < row; ++r)
        y += GetRowHeight(r);
    for (int c = 1; c < col; ++c)
        x += qint64(GetColumnWidth(c)) * 7 * 15 / 256;
    TSheetPanes::Split(SheetRecords(), int(std::min<qint64>(x, 0xFFFF)), int(std::min<qint64>(y, 0xFFFF)), row - 1,
                       col - 1);
}

void TXLSFile::GetSplitWindow(int &row, int &col) const
{
    PaneCell(TSheetPanes::SplitAt, row, col);
}

// ---- print settings and view

TXlsPageSetup TXLSFile::GetPageSetup() const
{
    return ActiveWorkSheet() ? TPageSetup::Read(SheetRecords()) : TXlsPageSetup();
}

void TXLSFile::SetPageSetup(const TXlsPageSetup &setup)
{
    if (ActiveWorkSheet())
        TPageSetup::Write(SheetRecords(), setup);
}

bool TXLSFile::GetShowGridLines() const
{
    const auto *window = ActiveWorkSheet() ? XlsDetail::FindRecordOf<TWindow2Record>(SheetRecords()) : nullptr;
    return window ? window->ShowGridLines() : true;
}

void TXLSFile::SetShowGridLines(bool show)
{
    if (auto *window = ActiveWorkSheet() ? XlsDetail::FindRecordOf<TWindow2Record>(SheetRecords()) : nullptr)
        window->SetShowGridLines(show);
}

int TXLSFile::GetZoom() const
{
    const auto *zoom = XlsDetail::FindRecordOf<TSCLRecord>(SheetRecords());
    return zoom ? zoom->Zoom() : 100;
}

void TXLSFile::SetZoom(int zoom)
{
    if (zoom < 10 || zoom > 400)
        XlsRaise(QStringLiteral("Invalid zoom (%1)").arg(zoom));
    TBaseRecordList &records = SheetRecords();
    if (auto *scl = XlsDetail::FindRecordOf<TSCLRecord>(records)) {
        scl->SetZoom(zoom);
        return;
    }
    // The zoom follows the sheet's WINDOW2; a sheet without a view has none.
    const int window = XlsDetail::FindRecord(records, TWindow2Record::Id);
    if (window >= 0)
        records.Insert(window + 1, TSCLRecord::NewSCL(zoom));
}
