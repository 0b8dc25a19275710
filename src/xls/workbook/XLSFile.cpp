#include "xls/workbook/XLSFile.h"

#include "xls/storage/Ole2Storage.h"
#include "xls/storage/XlsStorageList.h"
#include "xls/workbook/EmptyWorkbook.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsBaseTemplateStore.h"
#include "xls/workbook/XlsTextWriter.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include "xls/formula/NameRecordList.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/records/FormatRecords.h"
#include "xls/records/SheetRecords.h"
#include "xls/workbook/ColumnInfo.h"
#include "xls/workbook/HLinkData.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/MergedCells.h"
#include "xls/workbook/PageMargins.h"
#include "xls/workbook/PageSetup.h"
#include "xls/workbook/References.h"
#include "xls/workbook/SheetComments.h"
#include "xls/workbook/SheetPanes.h"
#include "xls/workbook/XlsClipboard.h"
#include "xls/workbook/XlsFormatTable.h"
#include "xls/workbook/XlsTextValue.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

namespace {

const QString WorkbookStreamName = QStringLiteral("Workbook");
const TXlsSaveFormat AllFormats[] = {TXlsSaveFormat::snXLS, TXlsSaveFormat::snCSVComma,
                                     TXlsSaveFormat::snCSVSemiColon,
                                     TXlsSaveFormat::snTabDelimited};

// The file as named, or with ".xls" added when it has no extension.
QString FindFile(const QString &name)
{
    if (QFileInfo(name).isFile())
        return name;
    if (QFileInfo(name).suffix().isEmpty() && QFileInfo(name + QStringLiteral(".xls")).isFile())
        return name + QStringLiteral(".xls");
    XlsRaise(XlsMsg::CantFindFile(name));
}

const TOle2Stream &WorkbookStream(const TXlsStorageList &storage)
{
    if (const TOle2Stream *stream = storage.FindStream(WorkbookStreamName))
        return *stream;
    // Earlier versions kept their records in a stream of another name.
    if (storage.FindStream(u"Book"))
        XlsRaise(QStringLiteral("Template file is saved with an invalid Excel version"));
    XlsRaise(XlsMsg::FileInvalid);
}

}  // namespace

TXLSFile::TXLSFile(TXLSAdapter *adapter, bool allowOverwritingFiles)
    : FAdapter(adapter), FAllowOverwritingFiles(allowOverwritingFiles)
{
}

TXLSFile::~TXLSFile() = default;

void TXLSFile::Connect()
{
    FWorkbook = std::make_unique<TWorkbook>();
}

void TXLSFile::Disconnect()
{
    FWorkbook.reset();
}

TWorkbook &TXLSFile::Workbook() const
{
    if (!FWorkbook)
        XlsRaise(XlsMsg::NoOpenFile);
    return *FWorkbook;
}

void TXLSFile::Open(const QString &fileName, QIODevice *stream, const QByteArray *bytes)
{
    // Everything is read into new objects; the open workbook changes only when all went well.
    auto workbook = std::make_unique<TWorkbook>();
    std::unique_ptr<TXlsStorageList> own;
    const TXlsStorageList *storage = nullptr;
    TXlsBaseTemplateStore *store = FAdapter ? FAdapter->TemplateStore() : nullptr;
    if (store && !store->IsEmpty() && !stream && !bytes) {
        storage = &store->Template(fileName);
    } else {
        own = std::make_unique<TXlsStorageList>();
        if (stream)
            own->LoadFromDevice(*stream);
        else if (bytes)
            own->LoadFromBytes(*bytes);
        else
            own->LoadFromFile(FindFile(fileName.trimmed()));
        storage = own.get();
    }
    workbook->LoadFromStream(WorkbookStream(*storage).Data());
    // A save writes the workbook afresh: our own copy of its old bytes can go.
    if (own)
        if (TOle2Stream *old = own->Root().FindStream(WorkbookStreamName))
            old->SetData(QByteArray());
    FWorkbook = std::move(workbook);
    FOwnStorage = std::move(own);
    FStorageInUse = storage;
    // A window setting that names no sheet means the first.
    FActiveSheet = FWorkbook->Globals().ActiveSheet() + 1;
    if (FActiveSheet > FWorkbook->SheetCount())
        FActiveSheet = 1;
    FFirstColumn = FLastColumn = 0;
    RestoreCommentIndex();
}

int TXLSFile::ActiveIndex() const
{
    const int count = Workbook().SheetCount();
    if (FActiveSheet < 1 || FActiveSheet > count)
        XlsRaise(XlsMsg::InvalidSheetNumber(FActiveSheet, 1, count));
    return FActiveSheet - 1;
}

void TXLSFile::OpenFile(const QString &fileName)
{
    Open(fileName, nullptr, nullptr);
}

void TXLSFile::OpenStream(QIODevice &stream)
{
    Open(QString(), &stream, nullptr);
}

void TXLSFile::NewFile(int sheetCount)
{
    if (sheetCount < 1 || sheetCount > 65535)
        XlsRaise(XlsMsg::InvalidSheetCount(sheetCount));
    const QByteArray document = EmptyWorkbook::Document();
    Open(QString(), nullptr, &document);
    if (sheetCount > 1)
        InsertAndCopySheets(-1, 2, sheetCount - 1);
}

void TXLSFile::CloseFile() {}

void TXLSFile::InsertAndCopySheets(int copyFrom, int insertBefore, int count)
{
    Workbook().InsertSheets(copyFrom - 1, insertBefore - 1, count);
}

void TXLSFile::DeleteSheets(int count)
{
    TWorkbook &workbook = Workbook();
    if (count < 0)
        XlsRaise(XlsMsg::InvalidSheetCount(count));
    if (count >= workbook.SheetCount())
        XlsRaise(XlsMsg::NoVisibleSheets);
    workbook.DeleteSheets(ActiveIndex(), count);
    if (workbook.SheetCount() < FActiveSheet)
        FActiveSheet = workbook.SheetCount();
    // The window settings must name a sheet that still exists.
    workbook.SetActiveSheet(FActiveSheet - 1);
}

int TXLSFile::SheetCount() const
{
    return Workbook().Globals().SheetCount();
}

void TXLSFile::SelectSheet(int sheet)
{
    Workbook().SetActiveSheet(sheet - 1);
}

QString TXLSFile::GetActiveSheetName() const
{
    return Workbook().Globals().SheetName(ActiveIndex());
}

void TXLSFile::SetActiveSheetName(const QString &name)
{
    Workbook().Globals().SetSheetName(ActiveIndex(), name);
}

QString TXLSFile::GetActiveSheetCodeName() const
{
    return Workbook().Sheets(ActiveIndex())->CodeName();
}

void TXLSFile::SetActiveSheetCodeName(const QString &name)
{
    TWorkbook &workbook = Workbook();
    const int active = ActiveIndex();
    for (int i = 0; i < workbook.SheetCount(); ++i)
        if (i != active && workbook.Sheets(i)->CodeName().compare(name, Qt::CaseInsensitive) == 0)
            XlsRaise(XlsMsg::SheetNameExists(name));
    workbook.Sheets(active)->SetCodeName(name);
}

TXlsSheetVisible TXLSFile::GetActiveSheetVisible() const
{
    return Workbook().Globals().SheetVisible(ActiveIndex());
}

void TXLSFile::SetActiveSheetVisible(TXlsSheetVisible value)
{
    Workbook().Globals().SetSheetVisible(ActiveIndex(), value);
}

TXlsSaveFormats TXLSFile::Formats() const
{
    return FAdapter ? FAdapter->SaveFormat : TXlsSaveFormats{TXlsSaveFormat::snXLS};
}

QByteArray TXLSFile::FormatBytes(TXlsSaveFormat format)
{
    TWorkbook &workbook = Workbook();
    if (format == TXlsSaveFormat::snXLS) {
        TOle2Storage document;
        if (FStorageInUse)
            FStorageInUse->SaveTo(document, WorkbookStreamName);
        document.CreateStream(WorkbookStreamName).SetData(workbook.SaveToBytes());
        return document.ToBytes();
    }
    const QChar delimiter = format == TXlsSaveFormat::snCSVComma       ? QChar(u',')
                            : format == TXlsSaveFormat::snCSVSemiColon ? QChar(u';')
                                                                       : QChar(u'\t');
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return {};
    const TCellList &cells = sheet->Cells();
    return TXlsTextWriter::ToBytes(cells, {0, 0, cells.ColCount() - 1, cells.RowCount() - 1},
                                   delimiter);
}

void TXLSFile::WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        XlsRaise(XlsMsg::CantWriteFile(fileName));
}

void TXLSFile::Save(const QString &fileName, const TGetFileNameEvent &onGetFileName,
                    const TOnSaveFormatEvent &onSaveFormat)
{
    Workbook();
    const TXlsSaveFormats formats = Formats();
    // Every target is settled and checked before the first byte is written.
    std::vector<std::pair<TXlsSaveFormat, QString>> targets;
    for (TXlsSaveFormat format : AllFormats) {
        if (!formats.Contains(format))
            continue;
        QString name = fileName;
        if (onGetFileName)
            onGetFileName(format, name);
        if (!FAllowOverwritingFiles && QFileInfo::exists(name))
            XlsRaise(XlsMsg::CantWriteFile(name));
        targets.emplace_back(format, name);
    }
    for (const auto &[format, name] : targets) {
        if (!onGetFileName && onSaveFormat)
            onSaveFormat(format);
        WriteFile(name, FormatBytes(format));
    }
}

void TXLSFile::Save(QIODevice &stream)
{
    const TXlsSaveFormats formats = Formats();
    for (TXlsSaveFormat format : AllFormats) {
        if (!formats.Contains(format))
            continue;
        const QByteArray bytes = FormatBytes(format);
        if (stream.write(bytes) != bytes.size())
            XlsRaise(QStringLiteral("Error writing output file"));
    }
}

TWorkSheet *TXLSFile::ActiveWorkSheet() const
{
    return Workbook().WorkSheets(FActiveSheet - 1);
}

void TXLSFile::InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count,
                                 bool onlyFormulas)
{
    Workbook().InsertAndCopyRowsAndCols(FActiveSheet - 1, firstRow - 1, lastRow - 1, destRow - 1,
                                        count, 0, 0, 0, 0, onlyFormulas);
}

void TXLSFile::InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count,
                                 bool onlyFormulas)
{
    Workbook().InsertAndCopyRowsAndCols(FActiveSheet - 1, 0, 0, 0, 0, firstCol - 1, lastCol - 1,
                                        destCol - 1, count, onlyFormulas);
}

void TXLSFile::DeleteRows(int row, int count)
{
    Workbook().DeleteRowsAndCols(FActiveSheet - 1, row - 1, count, 0, 0);
}

void TXLSFile::DeleteCols(int col, int count)
{
    Workbook().DeleteRowsAndCols(FActiveSheet - 1, 0, 0, col - 1, count);
}

QVariant TXLSFile::GetCellValue(int row, int col) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    return sheet ? sheet->Cells().CellValue(row - 1, col - 1 + FFirstColumn) : QVariant();
}

void TXLSFile::SetCellValue(int row, int col, const QVariant &value)
{
    if (TWorkSheet *sheet = ActiveWorkSheet())
        sheet->Cells().SetCellValue(row - 1, col - 1 + FFirstColumn, value);
}

int TXLSFile::MaxRow() const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    return sheet ? sheet->Cells().RowCount() : 0;
}

int TXLSFile::MaxCol() const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    return sheet ? sheet->Cells().ColCount() : 0;
}

// ---- the operations on cells, sheet parts and the workbook's tables

void TXLSFile::SetActiveSheet(int sheet)
{
    FActiveSheet = sheet;
    if (FWorkbook)
        RestoreCommentIndex();
}

bool TXLSFile::IsWorkSheet(int sheet) const
{
    return Workbook().IsWorkSheet(sheet - 1);
}

QVariant TXLSFile::GetCellValueX(int row, int col, int &xf) const
{
    xf = GetCellFormat(row, col);
    return GetCellValue(row, col);
}

void TXLSFile::SetCellValueX(int row, int col, const QVariant &value, int xf)
{
    if (TWorkSheet *sheet = ActiveWorkSheet()) {
        if (xf >= 0)
            CheckFormat(xf);
        sheet->Cells().SetCellValue(row - 1, col - 1 + FFirstColumn, value, xf);
    }
}

int TXLSFile::GetCellFormat(int row, int col) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    const TCellRecord *cell = sheet ? sheet->Cells().Cell(row - 1, col - 1 + FFirstColumn) : nullptr;
    return cell ? cell->XF() : -1;
}

void TXLSFile::SetCellFormat(int row, int col, int xf)
{
    CheckFormat(xf);
    if (TWorkSheet *sheet = ActiveWorkSheet())
        sheet->Cells().SetCellFormat(row - 1, col - 1 + FFirstColumn, xf);
}

void TXLSFile::AssignCellDataFromText(int row, int col, const QString &text, int xf,
                                      TXlsDateOrder order)
{
    if (!ActiveWorkSheet())
        return;
    const TXlsTextValue parsed = TXlsTextValue::FromText(text, order);
    if (parsed.DateFormat.isEmpty()) {
        // A given format is found or added; without one the cell keeps its own.
        SetCellValueX(row, col, parsed.Value, xf >= 0 ? AddFormat(GetFormat(xf)) : -1);
        return;
    }
    TXlsFormat format = GetFormat(xf >= 0 ? xf : std::max(GetCellFormat(row, col), 15));
    format.Format = parsed.DateFormat;
    SetCellValueX(row, col, parsed.Value, AddFormat(format));
}

// ---- comments

void TXLSFile::RestoreCommentIndex()
{
    FRowComments = std::make_unique<TRowComments>();
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    const QList<TSheetComment> comments = TSheetComments::Read(sheet->Records());
    for (int i = 0; i < comments.size(); ++i)
        FRowComments->Add(comments[i].Row + 1, i);
}

int TXLSFile::CommentsCount(int row) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return 0;
    if (row >= 1)
        return (*FRowComments)[row].Comments.size();
    return TSheetComments::Read(sheet->Records()).size();
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
    const int index = CommentIndex(row, position);
    const QList<TSheetComment> comments = TSheetComments::Read(sheet->Records());
    if (index < 0 || index >= comments.size())
        XlsRaise(XlsMsg::IndexOutOfRange(index, QStringLiteral("CommentIndex"), 0, comments.size() - 1));
    return comments[index].Text;
}

void TXLSFile::SetCommentText(int row, int position, const QString &text)
{
    if (TWorkSheet *sheet = ActiveWorkSheet())
        TSheetComments::SetText(sheet->Records(), CommentIndex(row, position), text);
}

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

#define FORMATS TXlsFormatTable(Workbook().Globals().Records())

int TXLSFile::FontCount() const { return FORMATS.FontCount(); }
TXlsFont TXLSFile::GetFont(int index) const { return FORMATS.GetFont(index); }
void TXLSFile::SetFont(int index, const TXlsFont &font) { FORMATS.SetFont(index, font); }
int TXLSFile::FormatCount() const { return FORMATS.FormatCount(); }
TXlsFormat TXLSFile::GetFormat(int index) const { return FORMATS.GetFormat(index); }
void TXLSFile::SetFormat(int index, const TXlsFormat &format) { FORMATS.SetFormat(index, format); }
int TXLSFile::AddFormat(const TXlsFormat &format) { return FORMATS.AddFormat(format); }
QString TXLSFile::FormatString(int index) const { return FORMATS.FormatString(index); }
quint32 TXLSFile::GetColorPalette(int index) const { return FORMATS.GetColorPalette(index); }
void TXLSFile::SetColorPalette(int index, quint32 rgb) { FORMATS.SetColorPalette(index, rgb); }

#undef FORMATS

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
    const TXlsCellRange range = ZeroBased(GetHyperLinkCellRange(index));
    // A new record: the old one's screen tip goes with it.
    SheetRecords().SetItem(at, CreateRecord(THLinkRecord::Id, CheckedLinkData(range, link)));
}

void TXLSFile::SetHyperLinkCellRange(int index, const TXlsCellRange &range)
{
    const int at = HyperLinkRecord(index);
    QByteArray data = SheetRecords().Items(at)->Data();
    const TXlsCellRange r = ZeroBased(range);
    WriteWord(data, 0, static_cast<quint16>(r.Top));
    WriteWord(data, 2, static_cast<quint16>(r.Bottom));
    WriteWord(data, 4, static_cast<quint16>(r.Left));
    WriteWord(data, 6, static_cast<quint16>(r.Right));
    SheetRecords().SetItem(at, CreateRecord(THLinkRecord::Id, data));
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

// ---- pictures

int TXLSFile::ImageCount() const
{
    constexpr int PictureObject = 8;
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return 0;
    int count = 0;
    for (int i = 0; i < sheet->Records().Count(); ++i)
        if (const auto *obj = dynamic_cast<const TObjRecord *>(sheet->Records().Items(i)))
            count += obj->ObjKind() == 0x15 && obj->ObjType() == PictureObject ? 1 : 0;
    return count;
}

void TXLSFile::AddImage(const QByteArray &, const TXlsCellRange &)
{
    XlsRaise(QStringLiteral("Adding pictures is not supported"));
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
    TXlsClipboard::CopyToSystem(Workbook(), ActiveIndex(), r);
}

void TXLSFile::PasteFromClipboard(int row, int col)
{
    if (!ActiveWorkSheet())
        return;
    TXlsClipboard::PasteFromSystem(Workbook(), ActiveIndex(), row - 1, col - 1 + FFirstColumn);
}

// ---- rows and columns

namespace {

constexpr int DefaultRowHeight = 255;

void CheckRow(int row)
{
    if (row < 1 || row > 65536)
        XlsRaise(XlsMsg::InvalidRow(row));
}

void CheckColumn(int col)
{
    if (col < 1 || col > 256)
        XlsRaise(XlsMsg::InvalidColumn(col));
}

}  // namespace

void TXLSFile::CheckFormat(int xf) const
{
    if (xf < 0 || xf >= FormatCount())
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
    const int at = XlsDetail::FindRecord(sheet->Records(), TDefRowHeightRecord::Id);
    const auto *standard = at >= 0 ? dynamic_cast<const TDefRowHeightRecord *>(sheet->Records().Items(at)) : nullptr;
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
    row = col = 1;
    if (!ActiveWorkSheet())
        return;
    TSheetPanes::Frozen(SheetRecords(), row, col);
    ++row;
    ++col;
}

// ---- marked rows

void TXLSFile::DeleteMarkedRows(const QString &marker)
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    const QVariant text(marker);
    // From the bottom, so the rows still to look at keep their numbers.
    for (int row = sheet->Cells().RowCount(); row >= 1; --row)
        if (sheet->Cells().CellValue(row - 1, FFirstColumn) == text)
            DeleteRows(row, 1);
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

namespace {

TWindow2Record *Window2Of(const TBaseRecordList &records)
{
    const int at = XlsDetail::FindRecord(records, TWindow2Record::Id);
    return at >= 0 ? dynamic_cast<TWindow2Record *>(records.Items(at)) : nullptr;
}

}  // namespace

bool TXLSFile::GetShowGridLines() const
{
    const TWindow2Record *window = ActiveWorkSheet() ? Window2Of(SheetRecords()) : nullptr;
    return window ? window->ShowGridLines() : true;
}

void TXLSFile::SetShowGridLines(bool show)
{
    if (TWindow2Record *window = ActiveWorkSheet() ? Window2Of(SheetRecords()) : nullptr)
        window->SetShowGridLines(show);
}

int TXLSFile::GetZoom() const
{
    const TBaseRecordList &records = SheetRecords();
    const int at = XlsDetail::FindRecord(records, TSCLRecord::Id);
    const auto *zoom = at >= 0 ? dynamic_cast<const TSCLRecord *>(records.Items(at)) : nullptr;
    return zoom ? zoom->Zoom() : 100;
}

void TXLSFile::SetZoom(int zoom)
{
    if (zoom < 10 || zoom > 400)
        XlsRaise(QStringLiteral("Invalid zoom (%1)").arg(zoom));
    TBaseRecordList &records = SheetRecords();
    const int at = XlsDetail::FindRecord(records, TSCLRecord::Id);
    if (auto *scl = at >= 0 ? dynamic_cast<TSCLRecord *>(records.Items(at)) : nullptr) {
        scl->SetZoom(zoom);
        return;
    }
    // The zoom follows the sheet's WINDOW2; a sheet without a view has none.
    const int window = XlsDetail::FindRecord(records, TWindow2Record::Id);
    if (window >= 0)
        records.Insert(window + 1, TSCLRecord::NewSCL(zoom));
}

// ---- the cells of a row

const TCellRecordList *TXLSFile::RowCellsOf(int row) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    return sheet ? sheet->Cells().RowCells(row - 1) : nullptr;
}

bool TXLSFile::IsEmptyRow(int row) const
{
    return RowCellsOf(row) == nullptr;
}

int TXLSFile::ColCountInRow(int row) const
{
    const TCellRecordList *cells = RowCellsOf(row);
    return cells ? cells->Count() : 0;
}

int TXLSFile::ColByIndex(int row, int index) const
{
    const TCellRecordList *cells = RowCellsOf(row);
    if (!cells || index < 1 || index > cells->Count())
        return 0;
    return cells->Items(index - 1)->Column() + 1;
}

int TXLSFile::ColIndex(int row, int col) const
{
    const TCellRecordList *cells = RowCellsOf(row);
    for (int i = 0; cells && i < cells->Count(); ++i)
        if (cells->Items(i)->Column() == col - 1)
            return i + 1;
    return 0;
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
