#include "xls/workbook/WorkbookGlobals.h"

#include "xls/records/SheetInfo.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/References.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <QRegularExpression>

using namespace XlsDetail;

TWorkbookGlobals::TWorkbookGlobals() = default;
TWorkbookGlobals::~TWorkbookGlobals() = default;

void TWorkbookGlobals::Clear()
{
    FRecords.Clear();
    FBoundSheets.Clear();
    FSSTRecord.Clear();
    FNames.Clear();
    FSST.Clear();
    FHasSST = false;
}

void TWorkbookGlobals::LoadFromStream(ByteCursor &stream, std::unique_ptr<TBaseRecord> bof)
{
    Clear();
    FRecords.Add(std::move(bof));
    for (;;) {
        auto record = ReadSubstreamRecord(stream);
        const quint16 id = record->RecordId();
        // The globals hold no substream of their own.
        if (id == XlsIds::Bof)
            XlsRaise(XlsMsg::FileInvalid);
        if (id == XlsIds::Name) {
            auto name = Downcast<TNameRecord>(std::move(record));
            if (FNames.Count() == 0)
                FRecords.Add(std::make_unique<TSubListRecord>(&FNames));
            FNames.Add(std::move(name));
        } else if (id == XlsIds::BoundSheet) {
            if (FBoundSheets.Count() == 0)
                FRecords.Add(std::make_unique<TSubListRecord>(&FBoundSheets));
            FBoundSheets.Add(Downcast<TBoundSheetRecord>(std::move(record)));
        } else if (id == XlsIds::SST && !FHasSST) {
            // The table is rebuilt from the strings on every save; the record
            // that carried them goes now.
            FSST.Load(*record);
            record.reset();
            FRecords.Add(std::make_unique<TSubListRecord>(&FSSTRecord));
            FHasSST = true;
        } else if (id == XlsIds::Eof) {
            // A table for strings added later goes just before the end.
            if (!FHasSST)
                FRecords.Add(std::make_unique<TSubListRecord>(&FSSTRecord));
            FRecords.Add(std::move(record));
            break;
        } else {
            FRecords.Add(std::move(record));
        }
    }
}

void TWorkbookGlobals::SetSSTReferences(quint32 totalRefs)
{
    FSSTRecord.Clear();
    if (FHasSST || FSST.Count() > 0)
        FSSTRecord.Add(FSST.TableRecord(totalRefs));
}

void TWorkbookGlobals::SaveToStream(QIODevice &stream) const
{
    FRecords.SaveToStream(stream);
}

qint64 TWorkbookGlobals::TotalSize() const
{
    return FRecords.TotalSize() + FBoundSheets.TotalSize() + FSSTRecord.TotalSize()
           + FNames.TotalSize();
}

QString TWorkbookGlobals::SheetName(int sheet) const
{
    return FBoundSheets.SheetName(sheet);
}

void TWorkbookGlobals::SetSheetName(int sheet, const QString &name)
{
    CheckSheetName(name);
    const int other = SheetIndex(name);
    if (other >= 0 && other != sheet)
        XlsRaise(XlsMsg::SheetNameExists(name));
    FBoundSheets.Rename(sheet, name);
}

void TWorkbookGlobals::CheckSheetName(const QString &name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\[\\]:*?/\\\\]"));
    if (name.isEmpty() || name.size() > 31 || name.contains(forbidden)
        || name.startsWith(u'\'') || name.endsWith(u'\''))
        XlsRaise(QStringLiteral("Invalid sheet name: \"%1\"").arg(name));
}

int TWorkbookGlobals::SheetIndex(const QString &name) const
{
    for (int i = 0; i < SheetCount(); ++i)
        if (SheetName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TXlsSheetVisible TWorkbookGlobals::SheetVisible(int sheet) const
{
    switch (FBoundSheets.SheetVisible(sheet)) {
    case TBoundSheetRecordList::Hidden: return TXlsSheetVisible::sv_Hidden;
    case TBoundSheetRecordList::VeryHidden: return TXlsSheetVisible::sv_VeryHidden;
    default: return TXlsSheetVisible::sv_Visible;
    }
}

void TWorkbookGlobals::SetSheetVisible(int sheet, TXlsSheetVisible visible)
{
    const int bits = visible == TXlsSheetVisible::sv_Hidden       ? TBoundSheetRecordList::Hidden
                     : visible == TXlsSheetVisible::sv_VeryHidden ? TBoundSheetRecordList::VeryHidden
                                                                  : TBoundSheetRecordList::Visible;
    FBoundSheets.SetSheetVisible(sheet, bits);
}

void TWorkbookGlobals::SetStreamPosition(int sheet, quint32 position)
{
    FBoundSheets.Items(sheet)->SetStreamPosition(position);
}

TWindow1Record *TWorkbookGlobals::Window1() const
{
    return FindRecordOf<TWindow1Record>(FRecords);
}

int TWorkbookGlobals::ActiveSheet() const
{
    const TWindow1Record *window = Window1();
    return window ? window->ActiveSheet() : 0;
}

void TWorkbookGlobals::SetActiveSheet(int sheet)
{
    if (TWindow1Record *window = Window1())
        window->SetActiveSheet(sheet);
}

void TWorkbookGlobals::SetFirstVisibleTab(int sheet)
{
    if (TWindow1Record *window = Window1())
        window->SetFirstVisibleTab(sheet);
}

int TWorkbookGlobals::FirstVisibleTab() const
{
    const TWindow1Record *window = Window1();
    return window ? window->FirstVisibleTab() : 0;
}

bool TWorkbookGlobals::HasCodeNames() const
{
    return FindRecord(FRecords, XlsIds::CodeName) >= 0;
}

QString TWorkbookGlobals::CodeName() const
{
    const auto *record = FindRecordOf<TCodeNameRecord>(FRecords);
    return record ? record->CodeName() : QString();
}

bool TWorkbookGlobals::HasMacros() const
{
    return FindRecord(FRecords, XlsIds::ObProj) >= 0;
}

QString TWorkbookGlobals::NewSheetName() const
{
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Sheet%1").arg(n);
        if (SheetIndex(name) < 0)
            return name;
    }
}

void TWorkbookGlobals::InsertSheets(int copyFrom, int insertBefore, int count)
{
    const int options = copyFrom >= 0 ? FBoundSheets.Items(copyFrom)->Options() : 0;
    for (int k = 0; k < count; ++k)
        FBoundSheets.Insert(insertBefore + k, TBoundSheetRecord::NewBoundSheet(options, NewSheetName()));
    MoveExternSheets(insertBefore, count, 0);
    UpdateSupBookCount();
    // The extern sheets now count the new sheets; the names still count
    // without them until they move, so sheets are told back in their numbering.
    TSheetInfo info;
    info.GetSheet = [this, insertBefore, count](int externSheet) {
        const int sheet = TReferences(*this).SheetOfExternSheet(externSheet);
        if (sheet < insertBefore)
            return sheet;
        return sheet >= insertBefore + count ? sheet - count : -1;
    };
    info.SetSheet = [this](int sheet) { return AddExternSheet(sheet, sheet); };
    FNames.InsertSheets(copyFrom, insertBefore, count, info);
}

void TWorkbookGlobals::DeleteSheets(int first, int count)
{
    if (HasMacros())
        XlsRaise(XlsMsg::MacrosNoDelete);
    for (int k = 0; k < count; ++k)
        FBoundSheets.Delete(first);
    FNames.DeleteSheets(first, count);
    MoveExternSheets(first, -count, count);
    UpdateSupBookCount();
}

void TWorkbookGlobals::ShiftNames(int rowPos, int rowCount, const TSheetInfo &info, int colCount,
                                  int colPos)
{
    TSheetInfo withSheets = info;
    withSheets.GetSheet = [this](int externSheet) {
        return TReferences(*this).SheetOfExternSheet(externSheet);
    };
    FNames.ShiftAllForInsert(rowPos, rowCount, withSheets, colCount, colPos);
}

int TWorkbookGlobals::ExternSheetRecord() const
{
    return FindRecord(FRecords, XlsIds::ExternSheet);
}

QList<TWorkbookGlobals::TExternSheet> TWorkbookGlobals::ExternSheets() const
{
    QList<TExternSheet> entries;
    const int i = ExternSheetRecord();
    if (i < 0 || FRecords.Items(i)->DataSize() < 2)
        return entries;
    const QByteArray &data = FRecords.Items(i)->Data();
    // Entries past this record's data (in CONTINUE records) are not read.
    const int count = std::min<int>(ReadWord(data, 0), (data.size() - 2) / 6);
    for (int e = 0; e < count; ++e)
        entries.append({ReadWord(data, 2 + e * 6), ReadWord(data, 4 + e * 6), ReadWord(data, 6 + e * 6)});
    return entries;
}

int TWorkbookGlobals::InternalSupBook() const
{
    int supBook = -1;
    for (int i = 0; i < FRecords.Count(); ++i) {
        const TBaseRecord *record = FRecords.Items(i);
        if (!record || record->RecordId() != XlsIds::SupBook)
            continue;
        ++supBook;
        if (record->DataSize() >= 4 && ReadWord(record->Data(), 2) == 0x0401)
            return supBook;
    }
    return -1;
}

QStringList TWorkbookGlobals::ExternNames(int supBook) const
{
    QStringList names;
    int seen = -1;
    for (int i = 0; i < FRecords.Count() && seen <= supBook; ++i) {
        const TBaseRecord *record = FRecords.Items(i);
        if (!record)
            continue;
        if (record->RecordId() == XlsIds::SupBook)
            ++seen;
        else if (seen == supBook)
            if (const auto *name = dynamic_cast<const TExternNameRecord *>(record))
                names << name->Name();
    }
    return names;
}

// SUPBOOK and EXTERNSHEET stand after the sheet entries and before the names.
int TWorkbookGlobals::RecordBeforeNames() const
{
    for (int i = 0; i < FRecords.Count(); ++i) {
        const auto *list = dynamic_cast<const TSubListRecord *>(FRecords.Items(i));
        if (list && (list->List() == &FNames || list->List() == &FSSTRecord))
            return i;
    }
    return FRecords.Count() - 1;
}

int TWorkbookGlobals::AddExternSheet(int firstSheet, int lastSheet)
{
    const QList<TExternSheet> entries = ExternSheets();
    int supBook = InternalSupBook();
    for (int e = 0; e < entries.size(); ++e)
        if (entries[e].SupBook == supBook && entries[e].FirstSheet == firstSheet
            && entries[e].LastSheet == lastSheet)
            return e;
    int at = ExternSheetRecord();
    if (supBook < 0) {
        // This workbook's own SUPBOOK comes first of them all.
        int first = FindRecord(FRecords, XlsIds::SupBook);
        if (first < 0)
            first = at >= 0 ? at : RecordBeforeNames();
        QByteArray data(4, '\0');
        WriteWord(data, 0, quint16(SheetCount()));
        WriteWord(data, 2, 0x0401);
        FRecords.Insert(first, CreateRecord(XlsIds::SupBook, data));
        supBook = 0;
        // Entries that pointed at the SUPBOOKs after it move by one.
        if (at >= 0) {
            ++at;
            QByteArray table = FRecords.Items(at)->Data();
            for (int e = 0; e < entries.size(); ++e)
                WriteWord(table, 2 + e * 6, quint16(entries[e].SupBook + 1));
            ReplaceData(FRecords, at, table);
        }
    }
    if (at < 0) {
        FRecords.Insert(RecordBeforeNames(), CreateRecord(XlsIds::ExternSheet, QByteArray(2, '\0')));
        at = ExternSheetRecord();
    }
    QByteArray table = FRecords.Items(at)->Data();
    if (FRecords.Items(at)->Continue() || entries.size() >= 1370)
        XlsRaise(XlsMsg::LogicalError);
    QByteArray entry(6, '\0');
    WriteWord(entry, 0, quint16(supBook));
    WriteWord(entry, 2, quint16(firstSheet));
    WriteWord(entry, 4, quint16(lastSheet));
    table = table.left(2 + entries.size() * 6) + entry;
    WriteWord(table, 0, quint16(entries.size() + 1));
    ReplaceData(FRecords, at, table);
    return int(entries.size());
}

void TWorkbookGlobals::UpdateSupBookCount()
{
    const int supBook = InternalSupBook();
    int seen = -1;
    for (int i = 0; i < FRecords.Count() && supBook >= 0; ++i) {
        const TBaseRecord *record = FRecords.Items(i);
        if (!record || record->RecordId() != XlsIds::SupBook || ++seen != supBook)
            continue;
        QByteArray data = record->Data();
        WriteWord(data, 0, quint16(SheetCount()));
        ReplaceData(FRecords, i, data);
        return;
    }
}

// Extern-sheet entries that point into this workbook follow its sheets.
void TWorkbookGlobals::MoveExternSheets(int first, int delta, int deletedCount)
{
    const int at = ExternSheetRecord();
    const int internal = InternalSupBook();
    if (at < 0 || internal < 0)
        return;
    const QList<TExternSheet> entries = ExternSheets();
    QByteArray data = FRecords.Items(at)->Data();
    for (int e = 0; e < entries.size(); ++e) {
        if (entries[e].SupBook != internal)
            continue;
        for (int field = 4 + e * 6; field <= 6 + e * 6; field += 2) {
            const int sheet = ReadWord(data, field);
            if (sheet >= 0xFFFE || sheet < first)
                continue;
            // 0xFFFE marks a reference to a deleted sheet.
            WriteWord(data, field, sheet < first + deletedCount ? 0xFFFE : quint16(sheet + delta));
        }
    }
    ReplaceData(FRecords, at, data);
}
