#include "xls/records/BaseRecordList.h"

#include "xls/storage/GatheringDevice.h"

void TBaseRecordList::Notify(TBaseRecord *item, TListNotification action)
{
    if (!item)
        return;
    FTotalSize += action == TListNotification::Added ? item->TotalSize() : -item->TotalSize();
}

void TBaseRecordList::SaveToStream(QIODevice &stream) const
{
    WriteGathered(stream, [this](TGatheringDevice &out) {
        for (int i = 0; i < Count(); ++i)
            if (TBaseRecord *record = Items(i))
                record->SaveTo(out);
    });
}

void TBaseRecordList::CopyFrom(const TBaseRecordList &other)
{
    // Count taken first: copying a list into itself must end.
    const int count = other.Count();
    for (int i = 0; i < count; ++i) {
        TBaseRecord *record = other.Items(i);
        Add(record ? record->Clone() : nullptr);
    }
}

void TBaseRecordList::ShiftAllForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount,
                                        int colPos)
{
    for (int i = 0; i < Count(); ++i)
        if (TBaseRecord *record = Items(i))
            record->ShiftForInsert(rowPos, rowCount, sheetInfo, colCount, colPos);
}

void TBaseRecordList::OffsetAllForCopy(int rowOffset, int colOffset)
{
    for (int i = 0; i < Count(); ++i)
        if (TBaseRecord *record = Items(i))
            record->OffsetForCopy(rowOffset, colOffset);
}

void TBaseRowColRecordList::SaveRangeToStream(QIODevice &stream, int left, int top, int right, int bottom) const
{
    WriteGathered(stream, [&](TGatheringDevice &out) {
        for (int i = 0; i < Count(); ++i) {
            const TBaseRowColRecord *record = Items(i);
            if (record && record->Row() >= top && record->Row() <= bottom && record->Column() >= left
                && record->Column() <= right)
                record->SaveTo(out);
        }
    });
}

qint64 TBaseRowColRecordList::TotalRangeSize(int left, int top, int right, int bottom) const
{
    qint64 size = 0;
    for (int i = 0; i < Count(); ++i) {
        const TBaseRowColRecord *record = Items(i);
        if (record && record->Row() >= top && record->Row() <= bottom && record->Column() >= left
            && record->Column() <= right)
            size += record->TotalSize();
    }
    return size;
}

void TBaseRowColRecordList::Insert(int index, std::unique_ptr<TBaseRowColRecord> record)
{
    TBaseRecordList::Insert(index, std::move(record));
}

void TBaseRowColRecordList::CopyFrom(const TBaseRowColRecordList &other)
{
    const bool wasEmpty = Count() == 0;
    TBaseRecordList::CopyFrom(other);
    if (wasEmpty)
        FSorted = other.FSorted;
}

void TBaseRowColRecordList::Sort()
{
    SortByKey<TBaseRowColRecord>([](const TBaseRowColRecord *r) { return r->Column(); });
    FSorted = true;
}

bool TBaseRowColRecordList::Find(int column, int &index)
{
    if (!FSorted)
        Sort();
    // Most rows hold their cells without gaps: the column's distance from
    // the first then says where its cell stands, and no search is needed.
    const int count = Count();
    const TBaseRowColRecord *first = count > 0 ? ItemAt(0) : nullptr;
    const int guess = first ? column - first->Column() : -1;
    if (guess >= 0 && guess < count) {
        const TBaseRowColRecord *at = ItemAt(guess);
        const TBaseRowColRecord *before = guess > 0 ? ItemAt(guess - 1) : nullptr;
        if (at && at->Column() == column && (guess == 0 || (before && before->Column() < column))) {
            index = guess;
            return true;
        }
    }
    return FindByKey<TBaseRowColRecord>(column, index, [](const TBaseRowColRecord *r) { return r->Column(); });
}
