#include "xls/workbook/Workbook.h"

#include "xls/formula/FormulaRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetInfo.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"
#include "xls/workbook/DrawingGroup.h"
#include "xls/workbook/EmptyWorkbook.h"
#include "xls/workbook/MergedCells.h"
#include "xls/workbook/References.h"
#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/SheetObjects.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QBuffer>
#include <QSet>

#include <optional>

void TSheetList::DeleteSheets(int index, int count)
{
    for (int k = 0; k < count && index < Count(); ++k)
        Delete(index);
}

TWorkbook::TWorkbook() = default;
TWorkbook::~TWorkbook() = default;

void TWorkbook::LoadFromStream(QByteArrayView stream)
{
    ByteCursor cursor(stream, QStringLiteral("Workbook"));
    Load(cursor);
}

void TWorkbook::LoadFromSource(TByteSource &stream)
{
    ByteCursor cursor(stream, QStringLiteral("Workbook"));
    Load(cursor);
}

void TWorkbook::Load(ByteCursor &cursor)
{
    RegisterFormulaRecords();
    FGlobals.Clear();
    FSheets.Clear();
    FUnlistedSheets.Clear();
    try {
        LoadSubstreams(cursor);
    } catch (const EExcelException &e) {
        // Where it failed: the part being read and the record in hand.
        const qsizetype at = cursor.mark();
        XlsRaise(XlsMsg::AtLoadPlace(QString::fromUtf8(e.what()), LoadingPart(), RecordIdAt(cursor, at), at));
    }
}

// The id of the record at that offset, 0 when the stream ends before it (or
// cannot be read there any more).
int TWorkbook::RecordIdAt(ByteCursor &cursor, qsizetype at)
{
    try {
        cursor.seek(at);
        return cursor.remaining() >= 2 ? cursor.u16() : 0;
    } catch (const EExcelException &) {
        return 0;
    }
}

QString TWorkbook::LoadingPart() const
{
    if (FLoadingSheet < 0)
        return QStringLiteral("globals");
    if (FLoadingSheet < FGlobals.SheetCount())
        return QStringLiteral("foaia \"%1\"").arg(FGlobals.SheetName(FLoadingSheet));
    return QStringLiteral("după ultima foaie");
}

void TWorkbook::LoadSubstreams(ByteCursor &cursor)
{
    bool hasGlobals = false;
    FLoadingSheet = -1;
    for (;;) {
        quint32 header = 0;
        if (!ReadRecordHeader(cursor, header) || header == 0)
            break;
        FLoadingSheet = hasGlobals ? FSheets.Count() : -1;
        auto record = ReadBiffRecord(cursor, header);
        if (record->RecordId() == XlsIds::Eof)
            continue;  // a stray EOF between substreams
        if (record->RecordId() != XlsIds::Bof || record->DataSize() < 4)
            XlsRaise(XlsMsg::FileInvalid);
        const quint16 type = ReadWord(record->Data(), 2);
        if (type == XlsIds::BofGlobals) {
            if (hasGlobals)
                XlsRaise(XlsMsg::FileInvalid);
            FGlobals.LoadFromStream(cursor, std::move(record));
            hasGlobals = true;
            continue;
        }
        // A substream after the last one the sheet entries name is kept apart.
        const bool unlisted = hasGlobals && FSheets.Count() >= FGlobals.SheetCount();
        std::unique_ptr<TSheet> sheet;
        if (type == XlsIds::BofWorksheet)
            sheet = std::make_unique<TWorkSheet>(&FGlobals.SST());
        else if (type == XlsIds::BofChart)
            sheet = std::make_unique<TXlsChart>();
        else
            sheet = std::make_unique<TXlsUnsupportedSheet>();
        sheet->LoadFromStream(cursor, std::move(record));
        (unlisted ? FUnlistedSheets : FSheets).Add(std::move(sheet));
    }
    // Every sheet entry needs its substream: the first without one is named,
    // at the end of the stream.
    FLoadingSheet = hasGlobals ? FSheets.Count() : -1;
    cursor.setMark(cursor.pos());
    if (!hasGlobals || FGlobals.SheetCount() != FSheets.Count())
        XlsRaise(XlsMsg::FileInvalid);
}

bool TWorkbook::IsWorkSheet(int sheet) const
{
    return WorkSheets(sheet) != nullptr;
}

TWorkSheet *TWorkbook::WorkSheets(int sheet) const
{
    if (sheet < 0 || sheet >= FSheets.Count())
        return nullptr;
    return FSheets.ItemAt(sheet)->AsWorkSheet();
}

void TWorkbook::SetActiveSheet(int sheet)
{
    CheckSheet(sheet, FSheets.Count() - 1);
    for (int i = 0; i < FSheets.Count(); ++i)
        FSheets.Items(i)->SetSelected(false);
    FGlobals.SetActiveSheet(sheet);
    FSheets.Items(sheet)->SetSelected(true);
}

void TWorkbook::CheckSheet(int sheet, int high) const
{
    if (sheet < 0 || sheet > high)
        XlsRaise(XlsMsg::InvalidSheetNumber(sheet, 0, high));
}

// Sheets without a code name in a workbook that has code names get one made
// from the sheet name: its trailing number counts up until the name is free.
void TWorkbook::AssignCodeNames()
{
    if (!FGlobals.HasCodeNames())
        return;
    QSet<QString> taken;
    taken.insert(FGlobals.CodeName().toUpper());
    for (int i = 0; i < FSheets.Count(); ++i)
        if (!FSheets.Items(i)->CodeName().isEmpty())
            taken.insert(FSheets.Items(i)->CodeName().toUpper());
    for (int i = 0; i < FSheets.Count(); ++i) {
        TSheet *sheet = FSheets.Items(i);
        if (!sheet->CodeName().isEmpty())
            continue;
        const QString name = FGlobals.SheetName(i);
        qsizetype digits = name.size();
        while (digits > 0 && name[digits - 1] >= u'0' && name[digits - 1] <= u'9')
            --digits;
        const QString base = name.left(digits);
        qint64 number = name.mid(digits).toLongLong();
        QString codeName = name;
        while (taken.contains(codeName.toUpper()))
            codeName = base + QString::number(++number);
        sheet->SetCodeName(codeName);
        taken.insert(codeName.toUpper());
    }
}

void TWorkbook::CompactStrings()
{
    TSST &sst = FGlobals.SST();
    std::vector<bool> used(size_t(sst.Count()), false);
    quint32 refs = 0;
    // A worksheet no sheet entry names still refers to the strings.
    for (int i = 0; i < StreamPartCount(); ++i)
        if (TWorkSheet *sheet = StreamPart(i)->AsWorkSheet())
            sheet->Cells().MarkStrings(used, refs);
    if (std::find(used.begin(), used.end(), false) != used.end()) {
        std::vector<quint32> newIndex;
        sst.Compact(used, newIndex);
        for (int i = 0; i < StreamPartCount(); ++i)
            if (TWorkSheet *sheet = StreamPart(i)->AsWorkSheet())
                sheet->Cells().RemapStrings(newIndex);
    }
    FGlobals.SetSSTReferences(refs);
}

// Everything but the sheet positions, known only as the sheets are written.
void TWorkbook::PrepareGlobals()
{
    AssignCodeNames();
    CompactStrings();
    if (FGlobals.SheetCount() != FSheets.Count())
        XlsRaise(XlsMsg::FileInvalid);
    for (int i = 0; i < FSheets.Count(); ++i) {
        TWorkSheet *sheet = WorkSheets(i);
        if (!sheet)
            continue;
        sheet->Cells().CoverCellsWithRows();
        if (sheet->Cells().Modified())
            sheet->UpdateDimensions();
    }
    int candidate = -1;
    for (int i = FSheets.Count() - 1; i >= 0; --i) {
        if (FGlobals.SheetVisible(i) == TXlsSheetVisible::sv_Visible)
            candidate = i;
        else if (FSheets.Items(i)->Selected())
            XlsRaise(XlsMsg::SelectVisibleSheet);
    }
    if (candidate < 0)
        XlsRaise(XlsMsg::NoVisibleSheets);
    FGlobals.SetFirstVisibleTab(candidate);
}

void TWorkbook::SetSheetPosition(int sheet, qint64 position)
{
    // BOUNDSHEET holds 32 bits.
    if (position > 0xFFFFFFFFLL)
        XlsRaise(XlsMsg::FileInvalid);
    FGlobals.SetStreamPosition(sheet, quint32(position));
}

QByteArray TWorkbook::SaveToBytes()
{
    const qint64 size = PrepareSave();
    QByteArray bytes;
    bytes.reserve(size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    SaveToStream(buffer);
    buffer.close();
    return bytes;
}

qint64 TWorkbook::PrepareSave()
{
    PrepareGlobals();
    // The globals' size does not depend on the sheet positions they carry,
    // and every part knows its size without being written: the positions
    // are settled first and the stream is then written front to back.
    FSavePositions.assign(1, FGlobals.TotalSize());
    for (int i = 0; i < StreamPartCount(); ++i) {
        if (i < FSheets.Count())
            SetSheetPosition(i, FSavePositions.back());
        FSavePositions.push_back(FSavePositions.back() + StreamPart(i)->TotalSize());
    }
    return FSavePositions.back();
}

// The sheets, then the substreams no sheet entry names.
int TWorkbook::StreamPartCount() const
{
    return FSheets.Count() + FUnlistedSheets.Count();
}

TSheet *TWorkbook::StreamPart(int i) const
{
    return i < FSheets.Count() ? FSheets.Items(i) : FUnlistedSheets.Items(i - FSheets.Count());
}

void TWorkbook::SaveToStream(QIODevice &stream) const
{
    // A part that writes other than it counted would leave wrong positions behind.
    if (FSavePositions.size() != size_t(StreamPartCount()) + 1)
        XlsRaise(XlsMsg::LogicalError);
    const qint64 start = stream.pos();
    FGlobals.SaveToStream(stream);
    for (int i = 0; i < StreamPartCount(); ++i) {
        if (stream.pos() - start != FSavePositions[size_t(i)])
            XlsRaise(XlsMsg::LogicalError);
        StreamPart(i)->SaveToStream(stream);
    }
    if (stream.pos() - start != FSavePositions.back())
        XlsRaise(XlsMsg::LogicalError);
}

std::unique_ptr<TWorkSheet> TWorkbook::NewEmptySheet()
{
    TWorkbook empty;
    empty.LoadFromStream(EmptyWorkbook::WorkbookStream());
    TWorkSheet *source = empty.WorkSheets(0);
    if (!source)
        XlsRaise(XlsMsg::LogicalError);
    return source->CloneFor(&FGlobals.SST());
}

void TWorkbook::InsertSheets(int copyFrom, int insertBefore, int count)
{
    const int sheets = FSheets.Count();
    if (copyFrom >= sheets)
        XlsRaise(XlsMsg::InvalidSheetNumber(copyFrom, 0, sheets - 1));
    if (insertBefore > sheets || insertBefore < 0)
        XlsRaise(XlsMsg::InvalidSheetNumber(insertBefore, 0, sheets - 1));
    if (count < 0)
        XlsRaise(XlsMsg::InvalidSheetCount(count));
    if (count == 0)
        return;
    copyFrom = std::max(copyFrom, -1);
    // Build every new sheet before changing anything; the empty sheet is
    // read once however many are added.
    const std::unique_ptr<TWorkSheet> empty = copyFrom < 0 ? NewEmptySheet() : nullptr;
    const TSheet &model = empty ? *empty : *FSheets.Items(copyFrom);
    std::vector<std::unique_ptr<TSheet>> added;
    for (int k = 0; k < count; ++k)
        added.push_back(model.Clone());
    FGlobals.InsertSheets(copyFrom, insertBefore, count);
    for (int k = 0; k < count; ++k)
        FSheets.Insert(insertBefore + k, std::move(added[size_t(k)]));
    if (copyFrom < 0)
        return;
    // Each copy's formulas that point at the source now point at the copy.
    const int source = copyFrom >= insertBefore ? copyFrom + count : copyFrom;
    for (int k = 0; k < count; ++k)
        if (TWorkSheet *copy = WorkSheets(insertBefore + k))
            copy->Cells().RedirectForSheetCopy(InfoFor(source, insertBefore + k));
    RenumberDrawings(insertBefore, count);
}

// Copied drawings get ids of their own: no two shapes of a workbook share one.
void TWorkbook::RenumberDrawings(int first, int count)
{
    std::optional<TDrawingGroup> group;
    for (int k = 0; k < count; ++k) {
        TWorkSheet *copy = WorkSheets(first + k);
        if (!copy)
            continue;
        TSheetDrawing drawing(copy->Records());
        if (!drawing.Exists())
            continue;
        if (!group)
            group.emplace(FGlobals.Records());
        drawing.Renumber(*group, NewDrawingId());
    }
    if (group)
        group->Store();
}

int TWorkbook::NewDrawingId() const
{
    int highest = 0;
    for (int i = 0; i < SheetCount(); ++i)
        highest = std::max(highest, TSheetDrawing(Sheets(i)->Records()).DrawingId());
    return highest + 1;
}

void TWorkbook::DeleteSheets(int sheet, int count)
{
    const int sheets = FSheets.Count();
    if (sheet < 0 || sheet > sheets)
        XlsRaise(XlsMsg::InvalidSheetNumber(sheet, 0, sheets - 1));
    if (count < 0 || sheet + count > sheets)
        XlsRaise(XlsMsg::InvalidSheetNumber(sheet + count - 1, 0, sheets - 1));
    if (count == 0)
        return;
    FGlobals.DeleteSheets(sheet, count);
    FSheets.DeleteSheets(sheet, count);
}

TSheetInfo TWorkbook::InfoFor(int sheet, int formulaSheet)
{
    TSheetInfo info;
    info.InsSheet = sheet;
    info.FormulaSheet = formulaSheet;
    info.GetSheet = [this](int externSheet) {
        return TReferences(FGlobals).SheetOfExternSheet(externSheet);
    };
    info.SetSheet = [this](int s) { return FGlobals.AddExternSheet(s, s); };
    info.Names = &FGlobals.Names();
    return info;
}

// Rows or columns inserted (negative counts: deleted) in one sheet: the
// other sheets' formulas follow their 3-D references, then the sheet's own
// positioned records, then the names.
void TWorkbook::ShiftReferences(int sheet, int rowPos, int rowCount, int colCount, int colPos)
{
    for (int i = 0; i < FSheets.Count(); ++i)
        if (TWorkSheet *other = WorkSheets(i); other && i != sheet)
            other->Cells().ShiftAllCells(rowPos, rowCount, InfoFor(sheet, i), colCount, colPos);
    WorkSheets(sheet)->ShiftRecords(rowPos, rowCount, InfoFor(sheet, sheet), colCount, colPos);
    TSheetObjects::FollowCells(WorkSheets(sheet)->Records(), rowPos, rowCount, colPos, colCount);
    FGlobals.ShiftNames(rowPos, rowCount, InfoFor(sheet, -1), colCount, colPos);
}

// The merged ranges follow the rows and columns; a sheet whose ranges did
// not change keeps its records as they were read.
static void WriteMerges(TWorkSheet &work, const QList<TXlsCellRange> &before,
                        const QList<TXlsCellRange> &after)
{
    if (after != before)
        TMergedCells::Write(work.Records(), after);
}

void TWorkbook::InsertAndCopyRowsAndCols(int sheet, int firstRow, int lastRow, int destRow,
                                         int rowCount, int firstCol, int lastCol, int destCol,
                                         int colCount, bool onlyFormulas)
{
    Q_UNUSED(onlyFormulas);
    const auto bandOk = [](int first, int last, int dest, int count, int limit) {
        return count == 0
               || (last >= first && first >= 0 && last < limit && (first >= dest || last < dest)
                   && dest >= 0 && count > 0
                   && qint64(dest) + qint64(last - first + 1) * count < limit);
    };
    if (!bandOk(firstRow, lastRow, destRow, rowCount, 65536)
        || !bandOk(firstCol, lastCol, destCol, colCount, 256))
        XlsRaise(XlsMsg::InvalidInsertArgs);
    CheckSheet(sheet, FSheets.Count() - 1);
    TWorkSheet *work = WorkSheets(sheet);
    if (!work)
        return;
    // Worked out first: a range pushed off the sheet refuses the whole insert.
    const QList<TXlsCellRange> merges = TMergedCells::Read(work->Records());
    QList<TXlsCellRange> moved = merges;
    TMergedCells::InsertRows(moved, firstRow, lastRow, destRow, rowCount);
    TMergedCells::InsertCols(moved, firstCol, lastCol, destCol, colCount);
    const TSheetInfo info = InfoFor(sheet, sheet);
    if (rowCount > 0) {
        work->Cells().InsertAndCopyRows(firstRow, lastRow, destRow, rowCount, info);
        ShiftReferences(sheet, destRow, (lastRow - firstRow + 1) * rowCount, 0, 0);
    }
    if (colCount > 0) {
        work->Cells().InsertAndCopyCols(firstCol, lastCol, destCol, colCount, info);
        ShiftReferences(sheet, 0, 0, (lastCol - firstCol + 1) * colCount, destCol);
    }
    WriteMerges(*work, merges, moved);
}

void TWorkbook::DeleteRowsAndCols(int sheet, int row, int rowCount, int col, int colCount)
{
    // Summed wide: a huge count must not wrap round and pass.
    const auto bandOk = [](int at, int count, int limit) {
        return at >= 0 && count >= 0 && qint64(at) + count <= limit;
    };
    if (!bandOk(row, rowCount, 65536) || !bandOk(col, colCount, 256))
        XlsRaise(XlsMsg::InvalidInsertArgs);
    CheckSheet(sheet, FSheets.Count() - 1);
    TWorkSheet *work = WorkSheets(sheet);
    if (!work)
        return;
    const QList<TXlsCellRange> merges = TMergedCells::Read(work->Records());
    QList<TXlsCellRange> moved = merges;
    TMergedCells::DeleteRows(moved, row, rowCount);
    TMergedCells::DeleteCols(moved, col, colCount);
    TSheetObjects::RemoveDeleted(work->Records(), FGlobals.Records(), row, rowCount, col, colCount);
    const TSheetInfo info = InfoFor(sheet, sheet);
    if (rowCount > 0) {
        work->Cells().DeleteRows(row, rowCount, info);
        ShiftReferences(sheet, row, -rowCount, 0, 0);
    }
    if (colCount > 0) {
        work->Cells().DeleteCols(col, colCount, info);
        ShiftReferences(sheet, 0, 0, -colCount, col);
    }
    WriteMerges(*work, merges, moved);
}
