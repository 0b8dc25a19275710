// The file object's operations on the drawing objects of the active sheet:
// the boxes of comments, comments by cell, and pictures.
#include "xls/workbook/XLSFile.h"

#include "xls/workbook/DrawingGroup.h"
#include "xls/workbook/SheetComments.h"
#include "xls/workbook/DrawingAnchor.h"
#include "xls/workbook/SheetPictures.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <algorithm>

namespace {

// The anchor's flags: 0 moves and sizes with the cells, 2 moves only, 3 neither.
int AnchorFlags(TXlsAnchorType anchor)
{
    switch (anchor) {
    case TXlsAnchorType::at_MoveAndResize: return 0;
    case TXlsAnchorType::at_DontMoveAndDontResize: return 3;
    default: return 2;
    }
}

TXlsAnchorType AnchorType(int flags)
{
    switch (flags & 0x03) {
    case 0: return TXlsAnchorType::at_MoveAndResize;
    case 3: return TXlsAnchorType::at_DontMoveAndDontResize;
    default: return TXlsAnchorType::at_MoveAndDontResize;
    }
}

// The box made 0-based, after checking it lies on the sheet, its corners in order.
TDrawingAnchor ToDrawing(int flags, const TXlsImageProperties &b)
{
    for (int row : {b.Row1, b.Row2})
        if (row < 1 || row > 65536)
            XlsRaise(XlsMsg::InvalidRow(row));
    for (int col : {b.Col1, b.Col2})
        if (col < 1 || col > 256)
            XlsRaise(XlsMsg::InvalidColumn(col));
    const bool offsetsFit = std::min({b.Dx1, b.Dx2, b.Dy1, b.Dy2}) >= 0 && std::max(b.Dx1, b.Dx2) <= 1023
                         && std::max(b.Dy1, b.Dy2) <= 255;
    if (!offsetsFit || std::pair(b.Row2, b.Dy2) < std::pair(b.Row1, b.Dy1)
        || std::pair(b.Col2, b.Dx2) < std::pair(b.Col1, b.Dx1))
        XlsRaise(QStringLiteral("Invalid drawing object box"));
    return {flags, b.Col1 - 1, b.Dx1, b.Row1 - 1, b.Dy1, b.Col2 - 1, b.Dx2, b.Row2 - 1, b.Dy2};
}

TXlsImageProperties FromDrawing(const TDrawingAnchor &a)
{
    return {a.Col1 + 1, a.Dx1, a.Row1 + 1, a.Dy1, a.Col2 + 1, a.Dx2, a.Row2 + 1, a.Dy2};
}

// The text first: a text refused leaves the box as it was.
void SetTextAndAnchor(TBaseRecordList &records, int index, const QString &text, const TDrawingAnchor &anchor)
{
    TSheetComments::SetText(records, index, text);
    TSheetComments::SetAnchor(records, index, anchor);
}

// The index of the first comment on the cell (1-based), -1 for none.
int CommentOfCell(const TBaseRecordList &records, int row, int col)
{
    const QList<TSheetComments::TCell> cells = TSheetComments::Cells(records);
    const auto it = std::find_if(cells.begin(), cells.end(),
                                 [&](const TSheetComments::TCell &c) { return c.Row == row - 1 && c.Col == col - 1; });
    return it == cells.end() ? -1 : int(it - cells.begin());
}

}  // namespace

// ---- the boxes of comments

void TXLSFile::SetCommentTextAndSize(int row, int position, const QString &text, const TXlsImageProperties &box)
{
    TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    const int index = CommentIndex(row, position);
    // The box keeps how it follows the cells.
    const int flags = TSheetComments::Anchor(sheet->Records(), index).Flags;
    SetTextAndAnchor(sheet->Records(), index, text, ToDrawing(flags, box));
}

void TXLSFile::SetCommentAnchor(int row, int position, TXlsAnchorType anchor, const TXlsImageProperties &box)
{
    if (TWorkSheet *sheet = ActiveWorkSheet())
        TSheetComments::SetAnchor(sheet->Records(), CommentIndex(row, position), ToDrawing(AnchorFlags(anchor), box));
}

void TXLSFile::SetCommentAnchorAndText(int row, int position, TXlsAnchorType anchor, const TXlsImageProperties &box,
                                       const QString &text)
{
    if (TWorkSheet *sheet = ActiveWorkSheet())
        SetTextAndAnchor(sheet->Records(), CommentIndex(row, position), text, ToDrawing(AnchorFlags(anchor), box));
}

void TXLSFile::GetCommentAnchor(int row, int position, TXlsAnchorType &anchor, TXlsImageProperties &box) const
{
    anchor = TXlsAnchorType::at_MoveAndResize;
    box = {};
    TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    const TDrawingAnchor read = TSheetComments::Anchor(sheet->Records(), CommentIndex(row, position));
    anchor = AnchorType(read.Flags);
    box = FromDrawing(read);
}

// ---- comments by cell

QList<int> TXLSFile::RowCommentIndexes(int row) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return {};
    const QList<TSheetComments::TCell> cells = TSheetComments::Cells(sheet->Records());
    QList<int> onRow;
    for (int i = 0; i < cells.size(); ++i)
        if (cells[i].Row == row - 1)
            onRow.append(i);
    std::stable_sort(onRow.begin(), onRow.end(), [&](int a, int b) { return cells[a].Col < cells[b].Col; });
    return onRow;
}

int TXLSFile::CellCommentCount(int row) const
{
    return int(RowCommentIndexes(row).size());
}

QString TXLSFile::GetCellCommentText(int row, int position) const
{
    const QList<int> onRow = RowCommentIndexes(row);
    if (position < 0 || position >= onRow.size())
        return {};
    return TSheetComments::Text(ActiveWorkSheet()->Records(), onRow[position]);
}

int TXLSFile::GetCellCommentCol(int row, int position) const
{
    const QList<int> onRow = RowCommentIndexes(row);
    if (position < 0 || position >= onRow.size())
        return 1;
    return TSheetComments::Cells(ActiveWorkSheet()->Records())[onRow[position]].Col + 1;
}

QString TXLSFile::GetCellComment(int row, int col) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return {};
    const int index = CommentOfCell(sheet->Records(), row, col);
    return index < 0 ? QString() : TSheetComments::Text(sheet->Records(), index);
}

void TXLSFile::SetCellComment(int row, int col, const QString &text)
{
    CheckRow(row);
    CheckColumn(col);
    TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    TBaseRecordList &records = sheet->Records();
    const int index = CommentOfCell(records, row, col);
    if (index >= 0 && text.isEmpty()) {
        TSheetComments::Delete(records, index);
    } else if (index >= 0) {
        TSheetComments::SetText(records, index, text);
    } else if (!text.isEmpty()) {
        TDrawingGroup group(Workbook().Globals().Records());
        TSheetComments::Add(records, group, Workbook().NewDrawingId(), row - 1, col - 1, text);
    }
    RestoreCommentIndex();
}

// ---- pictures

int TXLSFile::ImageCount() const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    return sheet ? int(TSheetPictures::Objects(sheet->Records()).size()) : 0;
}

void TXLSFile::CheckImageIndex(int index) const
{
    const int count = ImageCount();
    if (index < 0 || index >= count)
        XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("ImageIndex"), 0, count - 1));
}

QByteArray TXLSFile::GetImage(int index, TXlsAnchorType &anchor, TXlsImageProperties &box) const
{
    CheckImageIndex(index);
    TDrawingAnchor read;
    const QByteArray picture = TSheetPictures::Picture(ActiveWorkSheet()->Records(),
                                                       TDrawingGroup(Workbook().Globals().Records()), index, read);
    anchor = AnchorType(read.Flags);
    box = FromDrawing(read);
    return picture;
}

void TXLSFile::DeleteImage(int index)
{
    CheckImageIndex(index);
    TDrawingGroup group(Workbook().Globals().Records());
    TSheetPictures::Delete(ActiveWorkSheet()->Records(), group, index);
}

void TXLSFile::AddImage(const QByteArray &picture, const TXlsImageProperties &box)
{
    TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    const TDrawingAnchor anchor = ToDrawing(AnchorFlags(TXlsAnchorType::at_MoveAndDontResize), box);
    TDrawingGroup group(Workbook().Globals().Records());
    TSheetPictures::Add(sheet->Records(), group, Workbook().NewDrawingId(), picture, anchor);
}
