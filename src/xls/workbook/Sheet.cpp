#include "xls/workbook/Sheet.h"

#include "xls/records/OtherRecords.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteCursor.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

using namespace XlsDetail;

void TSheet::LoadFromStream(ByteCursor &stream, std::unique_ptr<TBaseRecord> bof)
{
    FRecords.Add(std::move(bof));
    int depth = 1;
    while (depth > 0) {
        if (depth == 1 && LoadRecordInPlace(stream))
            continue;
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

qint64 TSheet::TotalSize() const
{
    // A placeholder counts 0 in its list: its own list is counted here.
    qint64 size = FRecords.TotalSize();
    for (int i = 0; i < FRecords.Count(); ++i)
        if (const auto *place = dynamic_cast<const TSubListRecord *>(FRecords.Items(i)); place && place->List())
            size += place->List()->TotalSize();
    return size;
}

void TSheet::CopyFrom(const TSheet &other)
{
    FRecords.CopyFrom(other.FRecords);
}

std::unique_ptr<TSheet> TSheet::Clone() const
{
    return CloneAs<TSheet>();
}

std::unique_ptr<TSheet> TXlsChart::Clone() const
{
    return CloneAs<TXlsChart>();
}

std::unique_ptr<TSheet> TXlsUnsupportedSheet::Clone() const
{
    return CloneAs<TXlsUnsupportedSheet>();
}

bool TSheet::Selected() const
{
    const auto *window = FindRecordOf<TWindow2Record>(FRecords);
    return window && window->Selected();
}

void TSheet::SetSelected(bool selected)
{
    if (auto *window = FindRecordOf<TWindow2Record>(FRecords))
        window->SetSelected(selected);
}

QString TSheet::CodeName() const
{
    const auto *record = FindRecordOf<TCodeNameRecord>(FRecords);
    return record ? record->CodeName() : QString();
}

void TSheet::SetCodeName(const QString &name)
{
    auto record = TCodeNameRecord::NewCodeName(name);
    const int i = FindRecord(FRecords, TCodeNameRecord::Id);
    if (i >= 0)
        FRecords.SetItem(i, std::move(record));
    else  // before the closing EOF of the sheet
        FRecords.Insert(FRecords.Count() - 1, std::move(record));
}
