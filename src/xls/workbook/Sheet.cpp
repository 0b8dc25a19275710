#include "xls/workbook/Sheet.h"

#include "xls/records/ExcelString.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

using namespace XlsDetail;

void TSheet::LoadFromStream(ByteCursor &stream, std::unique_ptr<TBaseRecord> bof)
{
    FRecords.Add(std::move(bof));
    int depth = 1;
    while (depth > 0) {
        auto record = ReadSubstreamRecord(stream);
        const quint16 id = record->RecordId();
        if (id == XlsIds::Bof)
            ++depth;
        // A nested substream belongs to an object of this sheet: kept as it is.
        const bool ownLevel = depth == 1 && id != XlsIds::Bof;
        if (id == XlsIds::Eof)
            --depth;
        if (ownLevel && depth > 0)
            LoadRecord(std::move(record));
        else
            FRecords.Add(std::move(record));
    }
    LoadFinished();
}

void TSheet::ShiftRecords(int rowPos, int rowCount, const TSheetInfo &info, int colCount,
                          int colPos)
{
    FRecords.ShiftAllForInsert(rowPos, rowCount, info, colCount, colPos);
}

void TSheet::LoadRecord(std::unique_ptr<TBaseRecord> record)
{
    FRecords.Add(std::move(record));
}

void TSheet::SaveToStream(QIODevice &stream) const
{
    FRecords.SaveToStream(stream);
}

void TSheet::CopyFrom(const TSheet &other)
{
    FRecords.CopyFrom(other.FRecords);
}

std::unique_ptr<TSheet> TSheet::Clone() const
{
    auto copy = std::make_unique<TSheet>();
    copy->CopyFrom(*this);
    copy->SetSelected(false);
    return copy;
}

std::unique_ptr<TSheet> TXlsChart::Clone() const
{
    auto copy = std::make_unique<TXlsChart>();
    copy->CopyFrom(*this);
    copy->SetSelected(false);
    return copy;
}

std::unique_ptr<TSheet> TXlsUnsupportedSheet::Clone() const
{
    auto copy = std::make_unique<TXlsUnsupportedSheet>();
    copy->CopyFrom(*this);
    copy->SetSelected(false);
    return copy;
}

bool TSheet::Selected() const
{
    const int i = FindRecord(FRecords, XlsIds::Window2);
    return i >= 0 && FRecords.Items(i)->DataSize() >= 2
           && (ReadWord(FRecords.Items(i)->Data(), 0) & 0x0200) != 0;
}

void TSheet::SetSelected(bool selected)
{
    const int i = FindRecord(FRecords, XlsIds::Window2);
    if (i < 0 || FRecords.Items(i)->DataSize() < 2)
        return;
    QByteArray data = FRecords.Items(i)->Data();
    const quint16 options = ReadWord(data, 0);
    // "Selected" and "shown" go together.
    const quint16 changed = selected ? (options | 0x0600) : (options & ~0x0600);
    if (changed == options)
        return;
    WriteWord(data, 0, changed);
    ReplaceData(FRecords, i, data);
}

QString TSheet::CodeName() const
{
    const int i = FindRecord(FRecords, XlsIds::CodeName);
    if (i < 0 || FRecords.Items(i)->DataSize() < 3)
        return {};
    return ReadBiffString(FRecords.Items(i)->Data(), 0, 2);
}

void TSheet::SetCodeName(const QString &name)
{
    QByteArray data = TExcelString(2, name).ToBytes(true);
    const int i = FindRecord(FRecords, XlsIds::CodeName);
    if (i >= 0) {
        ReplaceData(FRecords, i, data);
        return;
    }
    // Before the closing EOF of the sheet.
    FRecords.Insert(FRecords.Count() - 1, CreateRecord(XlsIds::CodeName, data));
}
