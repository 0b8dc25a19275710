// The file object's operations on names, fonts and formats, and on the rows
// and columns of the active sheet: sizes, formats and outline levels.
#include "xls/workbook/XLSFile.h"

#include "xls/records/FormatRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetRecords.h"
#include "xls/workbook/ColumnInfo.h"
#include "xls/workbook/PageSetup.h"
#include "xls/workbook/References.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsFormatTable.h"
#include "xls/workbook/XlsWorkbookMessages.h"

// ---- named ranges

namespace {

TNameRecord &NameAt(const TWorkbook &workbook, int index)
{
    const TNameRecordList &names = workbook.Globals().Names();
    if (index < 1 || index > names.Count())
        XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("NamedRangeIndex"), 1, names.Count()));
    return *names.Items(index - 1);
}

}  // namespace

int TXLSFile::NamedRangeCount() const
{
    return Workbook().Globals().Names().Count();
}

QString TXLSFile::NamedRangeName(int index) const
{
    return NameAt(Workbook(), index).Name();
}

TXlsCellRange TXLSFile::NamedRangeRange(int index, int &sheet) const
{
    TWorkbook &workbook = Workbook();
    const TNameRecord &name = NameAt(workbook, index);
    TReferences references(workbook.Globals());
    const int rangeSheet = name.RangeSheet([&](int extern_) { return references.SheetOfExternSheet(extern_); });
    sheet = name.FirstRow() < 0 ? 0 : rangeSheet + 1;
    return {name.FirstColumn() + 1, name.FirstRow() + 1, name.LastColumn() + 1, name.LastRow() + 1};
}

void TXLSFile::SetNamedRangeRange(int index, const TXlsCellRange &range)
{
    TNameRecord &name = NameAt(Workbook(), index);
    if (name.FirstRow() < 0)
        XlsRaise(QStringLiteral("The name \"%1\" is no cell range").arg(name.Name()));
    const TXlsCellRange r = ZeroBased(range);
    int growth = name.SetFirstRow(r.Top);
    growth += name.SetLastRow(r.Bottom);
    growth += name.SetFirstColumn(r.Left);
    growth += name.SetLastColumn(r.Right);
    Workbook().Globals().Names().AdjustTotalSize(growth);
}

void TXLSFile::SetWorkingRange(int index)
{
    const TNameRecord &name = NameAt(Workbook(), index);
    if (name.FirstColumn() < 0)
        XlsRaise(QStringLiteral("The name \"%1\" is no cell range").arg(name.Name()));
    FFirstColumn = name.FirstColumn();
    FLastColumn = name.LastColumn();
}

int TXLSFile::WorkingRangeWidth(int row) const
{
    if (row < 1 || row > MaxRow() || FLastColumn < FFirstColumn)
        return 0;
    return FLastColumn - FFirstColumn + 1;
}

// ---- fonts, formats, palette

TXlsFormatTable TXLSFile::FormatTable() const
{
    return TXlsFormatTable(Workbook().Globals().Records());
}

int TXLSFile::FontCount() const { return FormatTable().FontCount(); }
TXlsFont TXLSFile::GetFont(int index) const { return FormatTable().GetFont(index); }
void TXLSFile::SetFont(int index, const TXlsFont &font) { FormatTable().SetFont(index, font); }
int TXLSFile::FormatCount() const { return FormatTable().FormatCount(); }
TXlsFormat TXLSFile::GetFormat(int index) const { return FormatTable().GetFormat(index); }
void TXLSFile::SetFormat(int index, const TXlsFormat &format) { FormatTable().SetFormat(index, format); }
int TXLSFile::AddFormat(const TXlsFormat &format) { return FormatTable().AddFormat(format); }
QString TXLSFile::FormatString(int index) const { return FormatTable().FormatString(index); }
quint32 TXLSFile::GetColorPalette(int index) const { return FormatTable().GetColorPalette(index); }
void TXLSFile::SetColorPalette(int index, quint32 rgb) { FormatTable().SetColorPalette(index, rgb); }

// ---- rows and columns

namespace {

constexpr int DefaultRowHeight = 255;

}  // namespace

void TXLSFile::CheckRow(int row)
{
    if (row < 1 || row > 65536)
        XlsRaise(XlsMsg::InvalidRow(row));
}

void TXLSFile::CheckColumn(int col)
{
    if (col < 1 || col > 256)
        XlsRaise(XlsMsg::InvalidColumn(col));
}

void TXLSFile::CheckFormat(int xf) const
{
    if (xf >= 0 && xf < FFormatsSeen)
        return;
    FFormatsSeen = FormatCount();
    if (xf < 0 || xf >= FFormatsSeen)
        XlsRaise(XlsMsg::IndexOutOfRange(xf, QStringLiteral("FormatIndex"), 0, FormatCount() - 1));
}

TRowRecord *TXLSFile::RowFor(int row) const
{
    CheckRow(row);
    TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return nullptr;
    TRowRecordList &rows = sheet->Cells().Rows();
    rows.AddRow(row - 1);
    return rows.RowRecord(row - 1);
}

TColInfoRecord *TXLSFile::ColumnFor(int col) const
{
    CheckColumn(col);
    TWorkSheet *sheet = ActiveWorkSheet();
    return sheet ? &TColumnInfo::Single(sheet->Records(), col - 1) : nullptr;
}

int TXLSFile::GetRowHeight(int row) const
{
    CheckRow(row);
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return DefaultRowHeight;
    if (sheet->Cells().Rows().HasRow(row - 1))
        return sheet->Cells().Rows().RowRecord(row - 1)->Height();
    const auto *standard = XlsDetail::FindRecordOf<TDefRowHeightRecord>(sheet->Records());
    return standard ? standard->Height() : DefaultRowHeight;
}

void TXLSFile::SetRowHeight(int row, int height)
{
    if (height < 0 || height > 8192)
        XlsRaise(QStringLiteral("Invalid row height (%1)").arg(height));
    if (TRowRecord *record = RowFor(row)) {
        record->SetHeight(height);
        record->SetOptions(record->Options() | TRowRecord::OptionCustomHeight);
    }
}

bool TXLSFile::GetRowHidden(int row) const
{
    CheckRow(row);
    const TWorkSheet *sheet = ActiveWorkSheet();
    return sheet && sheet->Cells().Rows().HasRow(row - 1) && sheet->Cells().Rows().RowRecord(row - 1)->IsHidden();
}

void TXLSFile::SetRowHidden(int row, bool hidden)
{
    if (TRowRecord *record = RowFor(row))
        record->SetOptions(hidden ? record->Options() | TRowRecord::OptionHidden
                                  : record->Options() & ~TRowRecord::OptionHidden);
}

int TXLSFile::GetRowOptions(int row) const
{
    CheckRow(row);
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return 1;
    if (!sheet->Cells().Rows().HasRow(row - 1))
        return TRowRecord::NewRow(row - 1)->Options();
    return sheet->Cells().Rows().RowRecord(row - 1)->Options();
}

void TXLSFile::SetRowOptions(int row, int options)
{
    if (options < 0 || options > 0xFFFF)
        XlsRaise(QStringLiteral("Invalid row options (%1)").arg(options));
    if (TRowRecord *record = RowFor(row)) {
        record->SetOptions(options);
        // The options hold the row's outline level.
        UpdateOutlineGutters();
    }
}

int TXLSFile::GetRowFormat(int row) const
{
    CheckRow(row);
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet || !sheet->Cells().Rows().HasRow(row - 1))
        return -1;
    const TRowRecord *record = sheet->Cells().Rows().RowRecord(row - 1);
    return record->Options() & TRowRecord::OptionHasFormat ? record->XF() : -1;
}

void TXLSFile::SetRowFormat(int row, int xf)
{
    CheckFormat(xf);
    if (TRowRecord *record = RowFor(row))
        record->SetXF(xf);
}

int TXLSFile::GetColumnWidth(int col) const
{
    CheckColumn(col);
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return 0;
    const TColInfoRecord *info = TColumnInfo::Find(sheet->Records(), col - 1);
    return info ? info->Width() : TColumnInfo::DefaultWidth(sheet->Records());
}

void TXLSFile::SetColumnWidth(int col, int width)
{
    if (width < 0 || width > 0xFFFF)
        XlsRaise(QStringLiteral("Invalid column width (%1)").arg(width));
    if (TColInfoRecord *info = ColumnFor(col))
        info->SetWidth(width);
}

bool TXLSFile::GetColumnHidden(int col) const
{
    CheckColumn(col);
    const TWorkSheet *sheet = ActiveWorkSheet();
    const TColInfoRecord *info = sheet ? TColumnInfo::Find(sheet->Records(), col - 1) : nullptr;
    return info && (info->Options() & 0x01) != 0;
}

void TXLSFile::SetColumnHidden(int col, bool hidden)
{
    if (TColInfoRecord *info = ColumnFor(col))
        info->SetOptions(hidden ? info->Options() | 0x01 : info->Options() & ~0x01);
}

int TXLSFile::GetColumnFormat(int col) const
{
    CheckColumn(col);
    const TWorkSheet *sheet = ActiveWorkSheet();
    const TColInfoRecord *info = sheet ? TColumnInfo::Find(sheet->Records(), col - 1) : nullptr;
    return info ? info->XF() : -1;
}

void TXLSFile::SetColumnFormat(int col, int xf)
{
    CheckFormat(xf);
    if (TColInfoRecord *info = ColumnFor(col))
        info->SetXF(xf);
}

// ---- outline levels

namespace {

constexpr int MaxOutlineLevel = 7;
constexpr quint16 GutsId = 0x0080;

void CheckLevel(int level)
{
    if (level < 0 || level > MaxOutlineLevel)
        XlsRaise(QStringLiteral("Invalid outline level (%1)").arg(level));
}

void CheckBand(int first, int last, int high, bool rows)
{
    for (int n : {first, last})
        if (n < 1 || n > high)
            XlsRaise(rows ? XlsMsg::InvalidRow(n) : XlsMsg::InvalidColumn(n));
    if (first > last)
        XlsRaise(rows ? XlsMsg::InvalidRow(last) : XlsMsg::InvalidColumn(last));
}

}  // namespace

int TXLSFile::GetRowOutlineLevel(int row) const
{
    CheckRow(row);
    const TWorkSheet *sheet = ActiveWorkSheet();
    return sheet && sheet->Cells().Rows().HasRow(row - 1) ? sheet->Cells().Rows().RowRecord(row - 1)->OutlineLevel()
                                                          : 0;
}

void TXLSFile::SetRowOutlineLevel(int firstRow, int lastRow, int level)
{
    CheckBand(firstRow, lastRow, 65536, true);
    CheckLevel(level);
    if (!ActiveWorkSheet())
        return;
    for (int row = firstRow; row <= lastRow; ++row) {
        TRowRecord *record = RowFor(row);
        record->SetOptions((record->Options() & ~0x07) | level);
    }
    UpdateOutlineGutters();
}

int TXLSFile::GetColOutlineLevel(int col) const
{
    CheckColumn(col);
    const TWorkSheet *sheet = ActiveWorkSheet();
    const TColInfoRecord *info = sheet ? TColumnInfo::Find(sheet->Records(), col - 1) : nullptr;
    return info ? (info->Options() >> 8) & 0x07 : 0;
}

void TXLSFile::SetColOutlineLevel(int firstCol, int lastCol, int level)
{
    CheckBand(firstCol, lastCol, 256, false);
    CheckLevel(level);
    if (!ActiveWorkSheet())
        return;
    for (int col = firstCol; col <= lastCol; ++col) {
        TColInfoRecord *info = ColumnFor(col);
        info->SetOptions((info->Options() & ~0x0700) | (level << 8));
    }
    UpdateOutlineGutters();
}

void TXLSFile::UpdateOutlineGutters()
{
    TWorkSheet *sheet = ActiveWorkSheet();
    TBaseRecordList &records = sheet->Records();
    int at = XlsDetail::FindRecord(records, GutsId);
    if (at < 0) {
        // GUTS stands before the sheet's default row height.
        const int place = XlsDetail::FindRecord(records, TDefRowHeightRecord::Id);
        at = place >= 0 ? place : TPageSetup::PlaceFor(records, 0x002B);
        records.Insert(at, CreateRecord(GutsId, QByteArray(8, '\0')));
    }
    auto *guts = dynamic_cast<TGutsRecord *>(records.Items(at));
    if (!guts)
        return;
    sheet->Cells().Rows().RecalcOutlineLevel(*guts);
    int deepest = 0;
    for (int i = 0; i < records.Count(); ++i)
        if (const auto *info = dynamic_cast<const TColInfoRecord *>(records.Items(i)))
            deepest = std::max(deepest, (info->Options() >> 8) & 0x07);
    guts->SetColumnLevel(deepest);
}
