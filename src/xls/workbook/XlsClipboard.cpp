#include "xls/workbook/XlsClipboard.h"

#include "platform/codepage/Cp1250.h"
#include "xls/storage/Ole2Storage.h"
#include "xls/storage/Ole2Stream.h"
#include "xls/storage/XlsStorageList.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/XlsFormatTable.h"
#include "xls/workbook/XlsTextReader.h"
#include "xls/workbook/XlsTextWriter.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include "xls/workbook/XlsClipboardAccess.h"

#include <QMimeData>

const char *const TXlsClipboard::Biff8Mime = "application/x-kestrun-biff8";
const char *const TXlsClipboard::RangeMime = "application/x-kestrun-biff8-range";

namespace {

bool WithinSheet(const TXlsCellRange &r)
{
    return r.Left >= 0 && r.Top >= 0 && r.Left <= r.Right && r.Top <= r.Bottom && r.Right <= 255
           && r.Bottom <= 65535;
}

TWorkSheet &SheetOf(TWorkbook &workbook, int sheet)
{
    TWorkSheet *work = workbook.WorkSheets(sheet);
    if (!work)
        XlsRaise(XlsMsg::InvalidSheetNumber(sheet, 0, workbook.SheetCount() - 1));
    return *work;
}

QByteArray RangeText(const TXlsCellRange &r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom).toLatin1();
}

bool ParseRange(const QByteArray &text, TXlsCellRange &r)
{
    const QList<QByteArray> parts = text.split(',');
    if (parts.size() != 4)
        return false;
    bool ok[4] = {};
    r = {parts[0].toInt(&ok[0]), parts[1].toInt(&ok[1]), parts[2].toInt(&ok[2]), parts[3].toInt(&ok[3])};
    return ok[0] && ok[1] && ok[2] && ok[3] && WithinSheet(r);
}

void CheckRoom(int row, int col, int height, int width)
{
    if (row < 0 || row + height - 1 > 65535)
        XlsRaise(XlsMsg::InvalidRow(row + height - 1));
    if (col < 0 || col + width - 1 > 255)
        XlsRaise(XlsMsg::InvalidColumn(col + width - 1));
}

void PasteDocument(const QByteArray &document, const QByteArray &rangeText, TWorkbook &target,
                   TWorkSheet &to, int row, int col)
{
    TXlsStorageList storage;
    storage.LoadFromBytes(document);
    const TOle2Stream *stream = storage.FindStream(u"Workbook");
    if (!stream)
        XlsRaise(XlsMsg::FileInvalid);
    TWorkbook source;
    source.LoadFromStream(stream->Data());
    TWorkSheet &from = SheetOf(source, source.Globals().ActiveSheet());
    const TCellList &cells = from.Cells();
    TXlsCellRange r;
    if (!ParseRange(rangeText, r))
        r = {0, 0, cells.ColCount() - 1, cells.RowCount() - 1};
    if (r.Right < r.Left || r.Bottom < r.Top)
        return;
    CheckRoom(row, col, r.Bottom - r.Top + 1, r.Right - r.Left + 1);
    TXlsFormatTable sourceFormats(source.Globals().Records());
    TXlsFormatTable targetFormats(target.Globals().Records());
    const int fonts = targetFormats.FontCount();
    const int lastRow = std::min(r.Bottom, cells.RowCount() - 1);
    for (int y = r.Top; y <= lastRow; ++y)
        for (int x = r.Left; x <= r.Right; ++x) {
            const TCellRecord *cell = cells.Cell(y, x);
            if (!cell)
                continue;
            // The source's formats are found or added in the target's table.
            TXlsFormat format = sourceFormats.GetFormat(cell->XF());
            if (format.FontIndex >= fonts)
                format.FontIndex = 0;
            to.Cells().SetCellValue(row + y - r.Top, col + x - r.Left, cells.CellValue(y, x),
                                    targetFormats.AddFormat(format));
        }
    to.UpdateDimensions();
}

// The workbook saved with sheet active; the workbook's own window settings
// are put back whatever happens.
QByteArray DocumentWithActive(TWorkbook &workbook, int sheet)
{
    const int active = workbook.Globals().ActiveSheet();
    struct TRestore
    {
        TWorkbook &Book;
        int Active;
        ~TRestore()
        {
            if (Active >= 0 && Active < Book.SheetCount())
                Book.SetActiveSheet(Active);
        }
    } restore{workbook, active};
    workbook.SetActiveSheet(sheet);
    TOle2Storage document;
    document.CreateStream(QStringLiteral("Workbook")).SetData(workbook.SaveToBytes());
    return document.ToBytes();
}

}  // namespace

std::unique_ptr<QMimeData> TXlsClipboard::Copy(TWorkbook &workbook, int sheet, const TXlsCellRange &range)
{
    TWorkSheet &work = SheetOf(workbook, sheet);
    auto data = std::make_unique<QMimeData>();
    data->setText(Cp1250::decode(TXlsTextWriter::ToBytes(work.Cells(), range, u'\t')));
    // A hidden sheet cannot be the active one of a saved workbook: its cells
    // go as text only.
    if (WithinSheet(range) && workbook.Globals().SheetVisible(sheet) == TXlsSheetVisible::sv_Visible) {
        data->setData(QString::fromLatin1(Biff8Mime), DocumentWithActive(workbook, sheet));
        data->setData(QString::fromLatin1(RangeMime), RangeText(range));
    }
    return data;
}

void TXlsClipboard::Paste(const QMimeData &data, TWorkbook &workbook, int sheet, int row, int col)
{
    TWorkSheet &to = SheetOf(workbook, sheet);
    const QString biff8 = QString::fromLatin1(Biff8Mime);
    if (data.hasFormat(biff8)) {
        PasteDocument(data.data(biff8), data.data(QString::fromLatin1(RangeMime)), workbook, to, row, col);
        return;
    }
    if (!data.hasText())
        return;
    const QByteArray text = Cp1250::encode(data.text());
    const int lines = static_cast<int>(text.count('\n')) + (text.endsWith('\n') ? 0 : 1);
    // A block of lines must fit below the row, checked before a cell changes.
    CheckRoom(row, col, std::min(lines, 65536), 1);
    TXlsTextReader::Read(text, to.Cells(), row, col, u'\t');
    to.UpdateDimensions();
}

void TXlsClipboard::CopyToClipboard(TWorkbook &workbook, int sheet, const TXlsCellRange &range)
{
    TXlsClipboardAccess &clipboard = TXlsClipboardAccess::Installed();
    clipboard.SetMimeData(Copy(workbook, sheet, range));
}

void TXlsClipboard::PasteFromClipboard(TWorkbook &workbook, int sheet, int row, int col)
{
    if (const QMimeData *data = TXlsClipboardAccess::Installed().MimeData())
        Paste(*data, workbook, sheet, row, col);
}
