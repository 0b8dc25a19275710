#pragma once

#include "xls/records/BaseRecordList.h"

class TGatheringDevice;

// The cells of one row, sorted by column. Sizes and writes go through the
// joining writer: neighbouring cells that join (RK, blank) are written as one
// MULRK or MULBLANK record, and the size counted is the size written.
class TCellRecordList : public TBaseRowColRecordList
{
public:
    TCellRecord *Items(int index) const { return static_cast<TCellRecord *>(TBaseRecordList::Items(index)); }
    TCellRecord *ItemAt(int index) const { return static_cast<TCellRecord *>(TBaseRecordList::ItemAt(index)); }
    TCellRecord *operator[](int index) const { return Items(index); }

    int Add(std::unique_ptr<TCellRecord> record) { return TBaseRowColRecordList::Add(std::move(record)); }
    void Insert(int index, std::unique_ptr<TCellRecord> record)
    {
        TBaseRowColRecordList::Insert(index, std::move(record));
    }

    qint64 TotalSize() const override;
    void SaveToStream(QIODevice &stream) const override;
    void SaveRangeToStream(QIODevice &stream, int left, int top, int right, int bottom) const override;
    qint64 TotalRangeSize(int left, int top, int right, int bottom) const override;

    // The cells as SaveRangeToStream writes them, into the save's buffer.
    void SaveRangeTo(TGatheringDevice &out, int left, int top, int right, int bottom) const;

protected:
    // The size is measured by the joining writer, never kept up as cells come
    // and go: a change has nothing to count (a virtual size call per cell).
    void Notify(TBaseRecord *, TListNotification) override {}

private:
    qint64 WriteRuns(TGatheringDevice *out, int left, int top, int right, int bottom) const;
};
