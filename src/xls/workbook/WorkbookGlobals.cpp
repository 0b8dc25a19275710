#include "xls/workbook/WorkbookGlobals.h"

#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
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
    FSST.Clear();
    FHasSST = false;
}

void TWorkbookGlobals::LoadFromStream(ByteCursor &stream, std::unique_ptr<TBaseRecord> bof)
{
    Clear();
    FRecords.Add(std::move(bof));
    for (;;) {
        quint32 header = 0;
        if (!ReadRecordHeader(stream, header))
            XlsRaise(XlsMsg::FileInvalid);
        auto record = ReadBiffRecord(stream, header);
        const quint16 id = record->RecordId();
        // The globals hold no substream of their own.
        if (id == XlsIds::Bof)
            XlsRaise(XlsMsg::FileInvalid);
        if (id == XlsIds::BoundSheet) {
            if (FBoundSheets.Count() == 0)
                FRecords.Add(std::make_unique<TSubListRecord>(&FBoundSheets));
            FBoundSheets.Add(std::move(record));
        } else if (id == XlsIds::SST && !FHasSST) {
            FSST.Load(*record);
            FSSTRecord.Add(std::move(record));
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
        FSSTRecord.Add(FSST.BuildRecord(totalRefs));
}

void TWorkbookGlobals::SaveToStream(QIODevice &stream) const
{
    FRecords.SaveToStream(stream);
}

qint64 TWorkbookGlobals::TotalSize() const
{
    return FRecords.TotalSize() + FBoundSheets.TotalSize() + FSSTRecord.TotalSize();
}

QString TWorkbookGlobals::SheetName(int sheet) const
{
    return ReadBiffString(FBoundSheets.Items(sheet)->Data(), 6, 1);
}

void TWorkbookGlobals::SetSheetName(int sheet, const QString &name)
{
    CheckSheetName(name);
    const int other = SheetIndex(name);
    if (other >= 0 && other != sheet)
        XlsRaise(XlsMsg::SheetNameExists(name));
    QByteArray data = FBoundSheets.Items(sheet)->Data().left(6);
    data += TExcelString(1, name).ToBytes(true);
    ReplaceData(FBoundSheets, sheet, data);
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
    switch (ReadWord(FBoundSheets.Items(sheet)->Data(), 4) & 0x03) {
    case 1: return TXlsSheetVisible::sv_Hidden;
    case 2: return TXlsSheetVisible::sv_VeryHidden;
    default: return TXlsSheetVisible::sv_Visible;
    }
}

void TWorkbookGlobals::SetSheetVisible(int sheet, TXlsSheetVisible visible)
{
    QByteArray data = FBoundSheets.Items(sheet)->Data();
    quint16 options = ReadWord(data, 4) & ~0x0003;
    if (visible == TXlsSheetVisible::sv_Hidden)
        options |= 1;
    else if (visible == TXlsSheetVisible::sv_VeryHidden)
        options |= 2;
    WriteWord(data, 4, options);
    ReplaceData(FBoundSheets, sheet, data);
}

void TWorkbookGlobals::SetStreamPosition(int sheet, quint32 position)
{
    if (ReadCardinal(FBoundSheets.Items(sheet)->Data(), 0) == position)
        return;
    QByteArray data = FBoundSheets.Items(sheet)->Data();
    WriteCardinal(data, 0, position);
    ReplaceData(FBoundSheets, sheet, data);
}

int TWorkbookGlobals::Window1() const
{
    const int i = FindRecord(FRecords, XlsIds::Window1);
    return i >= 0 && FRecords.Items(i)->DataSize() >= 16 ? i : -1;
}

int TWorkbookGlobals::ActiveSheet() const
{
    const int i = Window1();
    return i < 0 ? 0 : ReadWord(FRecords.Items(i)->Data(), 10);
}

void TWorkbookGlobals::SetActiveSheet(int sheet)
{
    const int i = Window1();
    if (i < 0)
        return;
    QByteArray data = FRecords.Items(i)->Data();
    WriteWord(data, 10, quint16(sheet));
    WriteWord(data, 12, 0);
    WriteWord(data, 14, 1);
    ReplaceData(FRecords, i, data);
}

void TWorkbookGlobals::SetFirstVisibleTab(int sheet)
{
    const int i = Window1();
    if (i < 0 || ReadWord(FRecords.Items(i)->Data(), 12) == sheet)
        return;
    QByteArray data = FRecords.Items(i)->Data();
    WriteWord(data, 12, quint16(sheet));
    ReplaceData(FRecords, i, data);
}

int TWorkbookGlobals::FirstVisibleTab() const
{
    const int i = Window1();
    return i < 0 ? 0 : ReadWord(FRecords.Items(i)->Data(), 12);
}

bool TWorkbookGlobals::HasCodeNames() const
{
    return FindRecord(FRecords, XlsIds::CodeName) >= 0;
}

QString TWorkbookGlobals::CodeName() const
{
    const int i = FindRecord(FRecords, XlsIds::CodeName);
    return i < 0 || FRecords.Items(i)->DataSize() < 3
               ? QString()
               : ReadBiffString(FRecords.Items(i)->Data(), 0, 2);
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
    const quint16 options = copyFrom >= 0 ? ReadWord(FBoundSheets.Items(copyFrom)->Data(), 4) : 0;
    for (int k = 0; k < count; ++k) {
        QByteArray data(6, '\0');
        WriteWord(data, 4, options);
        data += TExcelString(1, NewSheetName()).ToBytes(true);
        FBoundSheets.Insert(insertBefore + k, CreateRecord(XlsIds::BoundSheet, data));
    }
    MoveSheetReferences(insertBefore, count, 0);
}

void TWorkbookGlobals::DeleteSheets(int first, int count)
{
    if (HasMacros())
        XlsRaise(XlsMsg::MacrosNoDelete);
    for (int k = 0; k < count; ++k)
        FBoundSheets.Delete(first);
    MoveSheetReferences(first, -count, count);
}

// Sheet numbers stored in the globals: the sheet of each local name (1-based,
// 0 for workbook names) and the sheets of the extern-sheet entries that point
// into this workbook. Local names of deleted sheets go with them.
void TWorkbookGlobals::MoveSheetReferences(int first, int delta, int deletedCount)
{
    int supBook = -1, internalSupBook = -1;
    for (int i = FRecords.Count() - 1; i >= 0; --i) {
        const TBaseRecord *record = FRecords.Items(i);
        if (!record || record->RecordId() != XlsIds::Name || record->DataSize() < 10)
            continue;
        QByteArray data = record->Data();
        const int sheet = ReadWord(data, 8) - 1;
        if (sheet < first)
            continue;
        if (sheet < first + deletedCount) {
            FRecords.Delete(i);
            continue;
        }
        WriteWord(data, 8, quint16(sheet + 1 + delta));
        ReplaceData(FRecords, i, data);
    }
    for (int i = 0; i < FRecords.Count(); ++i) {
        const TBaseRecord *record = FRecords.Items(i);
        if (!record)
            continue;
        if (record->RecordId() == XlsIds::SupBook) {
            ++supBook;
            if (record->DataSize() >= 4 && ReadWord(record->Data(), 2) == 0x0401)
                internalSupBook = supBook;
            continue;
        }
        // A table split over CONTINUE records is left as it is.
        if (record->RecordId() != XlsIds::ExternSheet || internalSupBook < 0
            || record->TotalDataSize() != record->DataSize() || record->DataSize() < 2)
            continue;
        QByteArray data = record->Data();
        const int entries = std::min<int>(ReadWord(data, 0), (data.size() - 2) / 6);
        for (int e = 0; e < entries; ++e) {
            const int at = 2 + e * 6;
            if (ReadWord(data, at) != internalSupBook)
                continue;
            for (int field = at + 2; field <= at + 4; field += 2) {
                const int sheet = ReadWord(data, field);
                if (sheet >= 0xFFFE || sheet < first)
                    continue;
                // 0xFFFE marks a reference to a deleted sheet.
                WriteWord(data, field, sheet < first + deletedCount ? 0xFFFE : quint16(sheet + delta));
            }
        }
        ReplaceData(FRecords, i, data);
    }
}
