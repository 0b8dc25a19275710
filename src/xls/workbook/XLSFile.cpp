#include "xls/workbook/XLSFile.h"

#include "platform/io/DurableFile.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/Ole2Storage.h"
#include "xls/storage/XlsStorageList.h"
#include "xls/workbook/EmptyWorkbook.h"
#include "xls/workbook/PageBreaks.h"
#include "xls/workbook/RichTextRuns.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsBaseTemplateStore.h"
#include "xls/workbook/XlsTextValue.h"
#include "xls/workbook/XlsTextWriter.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QFileInfo>

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

// The stream with the workbook's records: "Workbook", or "Book", where Excel
// 5.0/95 kept them and where some writers still put a BIFF8 workbook.
const TOle2Stream &WorkbookStream(const TXlsStorageList &storage)
{
    const TOle2Stream *stream = storage.FindStream(WorkbookStreamName);
    if (!stream)
        stream = storage.FindStream(u"Book");
    if (!stream)
        XlsRaise(XlsMsg::FileInvalid);
    // The version stands in the first BOF, after its id and size.
    const auto source = stream->OpenSource();
    const QByteArrayView data = source->Read(0, 6);
    constexpr quint16 BofId = 0x0809, Biff5 = 0x0500;
    if (data.size() >= 6 && ReadWord(data, 0) == BofId && ReadWord(data, 4) == Biff5)
        XlsRaise(XlsMsg::OlderExcelVersion(stream->Name, Biff5));
    if (storage.SharedSectorStreams().contains(stream->Name, Qt::CaseInsensitive))
        XlsRaise(XlsMsg::StreamSharesSectors(stream->Name));
    return *stream;
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
    FFormatsSeen = 0;
}

void TXLSFile::Disconnect()
{
    FWorkbook.reset();
    FFormatsSeen = 0;
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
    auto storage = std::make_unique<TXlsStorageList>();
    TXlsBaseTemplateStore *store = FAdapter ? FAdapter->TemplateStore() : nullptr;
    // A template is copied (its streams share their bytes): the store may
    // replace it or go away while this file is open.
    if (store && !store->IsEmpty() && !stream && !bytes)
        storage->LoadFrom(store->Template(fileName).Root());
    else if (stream)
        storage->LoadFromDevice(*stream);
    else if (bytes)
        storage->LoadFromBytes(*bytes);
    else
        storage->LoadFromFile(FindFile(fileName.trimmed()));
    const TOle2Stream &records = WorkbookStream(*storage);
    workbook->LoadFromSource(*records.OpenSource());
    // A save writes the workbook afresh as "Workbook": our copy of its old
    // bytes can go, and a "Book" stream with it.
    if (TOle2Storage::SameName(records.Name, WorkbookStreamName))
        storage->Root().FindStream(WorkbookStreamName)->SetData(QByteArray());
    else
        storage->Root().Remove(QString(records.Name));
    FWorkbook = std::move(workbook);
    FFormatsSeen = 0;
    FStorage = std::move(storage);
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

void TXLSFile::WriteFormat(TXlsSaveFormat format, QIODevice &device)
{
    TWorkbook &workbook = Workbook();
    if (format == TXlsSaveFormat::snXLS) {
        TOle2Storage document;
        if (FStorage)
            FStorage->SaveTo(document, WorkbookStreamName);
        // The workbook's records go straight into the device as the document
        // is written: a large workbook is never held as bytes, let alone twice.
        const TOle2LateStream records{&document.CreateStream(WorkbookStreamName), workbook.PrepareSave(),
                                      [&workbook](QIODevice &out) { workbook.SaveToStream(out); }};
        document.SaveToDevice(device, &records);
        return;
    }
    const QChar delimiter = format == TXlsSaveFormat::snCSVComma       ? QChar(u',')
                            : format == TXlsSaveFormat::snCSVSemiColon ? QChar(u';')
                                                                       : QChar(u'\t');
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    const TCellList &cells = sheet->Cells();
    const QByteArray text =
        TXlsTextWriter::ToBytes(cells, {0, 0, cells.ColCount() - 1, cells.RowCount() - 1}, delimiter);
    if (device.write(text) != text.size())
        XlsRaise(QStringLiteral("Error writing output file"));
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
    // All formats are written before any of them replaces its file.
    DurableFileSet files;
    for (const auto &target : targets) {
        const TXlsSaveFormat format = target.first;
        if (!onGetFileName && onSaveFormat)
            onSaveFormat(format);
        files.add(target.second, [&](QIODevice &device) { WriteFormat(format, device); });
    }
    files.commit();
}

void TXLSFile::Save(QIODevice &stream)
{
    const TXlsSaveFormats formats = Formats();
    for (TXlsSaveFormat format : AllFormats) {
        if (!formats.Contains(format))
            continue;
        WriteFormat(format, stream);
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
    // The comments moved with their rows, or went with them.
    RestoreCommentIndex();
}

void TXLSFile::InsertAndCopyCols(int firstCol, int lastCol, int destCol, int count,
                                 bool onlyFormulas)
{
    Workbook().InsertAndCopyRowsAndCols(FActiveSheet - 1, 0, 0, 0, 0, firstCol - 1, lastCol - 1,
                                        destCol - 1, count, onlyFormulas);
    RestoreCommentIndex();
}

void TXLSFile::DeleteRows(int row, int count)
{
    Workbook().DeleteRowsAndCols(FActiveSheet - 1, row - 1, count, 0, 0);
    RestoreCommentIndex();
}

void TXLSFile::DeleteCols(int col, int count)
{
    Workbook().DeleteRowsAndCols(FActiveSheet - 1, 0, 0, col - 1, count);
    RestoreCommentIndex();
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

void TXLSFile::SetRowValues(int row, const TRowValues &values)
{
    for (const TColumnValue &v : values)
        if (v.Xf >= 0)
            CheckFormat(v.Xf);
    if (TWorkSheet *sheet = ActiveWorkSheet())
        sheet->Cells().SetRowValues(row - 1, values, FFirstColumn - 1);
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

QVariant TXLSFile::GetCellValueRichText(int row, int col, int &xf, TXlsRichRuns &runs) const
{
    runs.clear();
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet) {
        xf = -1;
        runs.append(TXlsRichRun());
        return {};
    }
    const QVariant value = GetCellValueX(row, col, xf);
    runs = CellRichTextRuns(sheet->Cells().Cell(row - 1, col - 1 + FFirstColumn),
                            Workbook().Globals().SST());
    for (TXlsRichRun &run : runs)
        ++run.FirstChar;
    return value;
}

void TXLSFile::SetCellValueRichText(int row, int col, const QString &text, int xf, const TXlsRichRuns &runs)
{
    TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return;
    if (xf >= 0)
        CheckFormat(xf);
    QByteArray stored(runs.size() * 4, '\0');
    int previous = 0;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const TXlsRichRun &run = runs[i];
        if (run.FirstChar <= previous || run.FirstChar > text.size())
            XlsRaise(QStringLiteral("Invalid rich-text run (%1)").arg(run.FirstChar));
        if (run.FontIndex < 0 || run.FontIndex >= FontCount())
            XlsRaise(XlsMsg::IndexOutOfRange(run.FontIndex, QStringLiteral("FontIndex"), 0, FontCount() - 1));
        previous = run.FirstChar;
        WriteWord(stored, i * 4, quint16(run.FirstChar - 1));
        WriteWord(stored, i * 4 + 2, quint16(run.FontIndex));
    }
    if (runs.isEmpty())
        SetCellValueX(row, col, text, xf);
    else
        sheet->Cells().SetCellRichText(row - 1, col - 1 + FFirstColumn, TExcelString(2, text, stored), xf);
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

// ---- marked rows

QList<int> TXLSFile::MarkedRows(const QString &marker) const
{
    const TWorkSheet *sheet = ActiveWorkSheet();
    if (!sheet)
        return {};
    const QVariant text(marker);
    QList<int> rows;
    for (int row = sheet->Cells().RowCount(); row >= 1; --row)
        if (sheet->Cells().CellValue(row - 1, FFirstColumn) == text)
            rows.append(row);
    return rows;
}

void TXLSFile::DeleteMarkedRows(const QString &marker)
{
    // From the bottom, so the rows still to look at keep their numbers.
    for (int row : MarkedRows(marker))
        DeleteRows(row, 1);
}

void TXLSFile::MakePageBreaks(const QString &marker)
{
    for (int row : MarkedRows(marker)) {
        ActiveWorkSheet()->Cells().SetCellValue(row - 1, FFirstColumn, QVariant());
        TPageBreaks::AddAfterRow(SheetRecords(), row - 1);
    }
}
