#pragma once

#include "xls/records/BaseList.h"
#include "xls/records/BaseRecord.h"
#include "xls/records/RowColRecord.h"

// An ordered, owning list of records that keeps a running total of the bytes
// its records take in the file, so a section knows its size (and the stream
// offsets BOUNDSHEET records carry) without writing anything. A record whose
// size changes while it sits in the list does not update the total: whoever
// changes it calls AdjustTotalSize with the difference.
class TBaseRecordList : public TBaseList<TBaseRecord>
{
public:
    virtual qint64 TotalSize() const { return FTotalSize; }
    // Every record in list order, skipping empty items.
    virtual void SaveToStream(QIODevice &stream) const;

    // Appends a clone of every item of other (empty items stay empty).
    void CopyFrom(const TBaseRecordList &other);
    void ShiftAllForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                           int colPos = 0);
    void OffsetAllForCopy(int rowOffset, int colOffset);
    void AdjustTotalSize(qint64 delta) { FTotalSize += delta; }

protected:
    void Notify(TBaseRecord *item, TListNotification action) override;

    // Orders the items by keyOf(item) of the record class Rec, keeping equal
    // keys in their order; empty items go last.
    template <class Rec, class KeyOf>
    void SortByKey(KeyOf keyOf)
    {
        StableSort([&keyOf](const TBaseRecord *a, const TBaseRecord *b) {
            if (!a || !b)
                return a && !b;
            return keyOf(static_cast<const Rec *>(a)) < keyOf(static_cast<const Rec *>(b));
        });
    }

    // By halving over a list sorted by SortByKey: true when an item has the
    // key; index is the first such item, or where one would be inserted.
    template <class Rec, class Key, class KeyOf>
    bool FindByKey(const Key &key, int &index, KeyOf keyOf) const
    {
        int low = 0;
        int high = Count() - 1;
        bool found = false;
        while (low <= high) {
            const int middle = low + (high - low) / 2;
            const auto *record = static_cast<const Rec *>(TBaseList<TBaseRecord>::Items(middle));
            if (record && keyOf(record) < key) {
                low = middle + 1;
            } else {
                found = found || (record && keyOf(record) == key);
                high = middle - 1; // go on to the left: the first one wins
            }
        }
        index = low;
        return found;
    }

private:
    qint64 FTotalSize = 0;
};

// Records of one row (cells) or the row records of a sheet; sortable by column.
// Range operations take the range as first/last column and first/last row,
// 0-based and inclusive; the whole sheet is 0, 0, 255, 65535.
class TBaseRowColRecordList : public TBaseRecordList
{
public:
    TBaseRowColRecord *Items(int index) const { return static_cast<TBaseRowColRecord *>(TBaseRecordList::Items(index)); }
    TBaseRowColRecord *operator[](int index) const { return Items(index); }
    TBaseRowColRecord *ItemAt(int index) const
    {
        return static_cast<TBaseRowColRecord *>(TBaseRecordList::ItemAt(index));
    }

    // Writes each record whose Row lies in top..bottom and Column in left..right.
    virtual void SaveRangeToStream(QIODevice &stream, int left, int top, int right, int bottom) const;
    virtual qint64 TotalRangeSize(int left, int top, int right, int bottom) const;

    // Inline: a sheet being read adds its cells one by one.
    int Add(std::unique_ptr<TBaseRowColRecord> record)
    {
        // Files and fills add cells in column order: such a list stays sorted
        // and is never sorted again (a sort of it would change nothing).
        const int count = Count();
        const TBaseRowColRecord *last = count > 0 ? Items(count - 1) : nullptr;
        FSorted = record && (count == 0 || (FSorted && last && last->Column() <= record->Column()));
        return TBaseRecordList::Add(std::move(record));
    }
    void Insert(int index, std::unique_ptr<TBaseRowColRecord> record);
    // Appends a clone of every item of other. Clones stand in the order of
    // their originals, so an empty list that takes a sorted one is sorted.
    void CopyFrom(const TBaseRowColRecordList &other);
    // By Column, ascending; equal columns keep their order.
    void Sort();
    bool Sorted() const { return FSorted; }
    // Sorts first when needed. index is the first record with the column, or
    // where one would be inserted.
    bool Find(int column, int &index);

private:
    bool FSorted = false;
};
