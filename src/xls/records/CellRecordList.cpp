#include "xls/records/CellRecordList.h"

#include "xls/records/CellRecords.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/GatheringDevice.h"

qint64 TCellRecordList::TotalSize() const
{
    return TotalRangeSize(0, 0, 255, 65535);
}

void TCellRecordList::SaveToStream(QIODevice &stream) const
{
    SaveRangeToStream(stream, 0, 0, 255, 65535);
}

void TCellRecordList::SaveRangeToStream(QIODevice &stream, int left, int top, int right, int bottom) const
{
    WriteGathered(stream, [&](TGatheringDevice &out) { WriteRuns(&out, left, top, right, bottom); });
}

void TCellRecordList::SaveRangeTo(TGatheringDevice &out, int left, int top, int right, int bottom) const
{
    WriteRuns(&out, left, top, right, bottom);
}

qint64 TCellRecordList::TotalRangeSize(int left, int top, int right, int bottom) const
{
    return WriteRuns(nullptr, left, top, right, bottom);
}

namespace {

// Whether next goes into the same multiple-cell record as cell, a cell of a
// class written in runs: one of its class, in one row, in the column after
// and not past right. Row and column are read as one word.
bool Joins(const TCellRecord *cell, const TCellRecord *next, int right)
{
    if (!next || next->RecordId() != cell->RecordId())
        return false;
    const quint32 at = ReadCardinal(cell->DataView(), 0);
    const quint32 nextAt = ReadCardinal(next->DataView(), 0);
    return quint16(nextAt) == quint16(at) && (nextAt >> 16) == (at >> 16) + 1 && int(nextAt >> 16) <= right;
}

}  // namespace

// The joining writer: counts without a stream, writes with one, so the
// size the sections use for offsets is the size written.
qint64 TCellRecordList::WriteRuns(TGatheringDevice *out, int left, int top, int right, int bottom) const
{
    const int count = Count();
    if (count == 0 || !Items(0) || Items(0)->Row() < top || Items(0)->Row() > bottom)
        return 0;
    // Each cell is looked at once as the next of the one before it.
    const auto at = [&](int index) { return index < count ? Items(index) : nullptr; };
    qint64 total = 0;
    const TCellRecord *next = Items(0);
    for (int i = 1; i <= count;) {
        const TCellRecord *cell = next;  // Items(i - 1)
        next = at(i++);
        if (!cell || cell->Column() < left || cell->Column() > right)
            continue;
        if (!IsRunCellId(cell->RecordId()) || !Joins(cell, next, right)) {
            if (out)
                cell->SaveTo(*out);
            else
                total += cell->TotalSize();
            continue;
        }
        // A run from the cell to the last that joins: first, middles, then
        // the last, all of the first's class.
        const int first = i - 2;
        const TCellRecord *last = next;
        next = at(i++);
        while (Joins(last, next, right)) {
            last = next;
            next = at(i++);
        }
        const int cells = i - 1 - first;  // next is Items(i - 1)
        const qint64 runSize =
            cell->SizeAsFirstOfRun() + (cells - 2) * cell->SizeAsMiddleOfRun() + cell->SizeAsLastOfRun();
        if (out) {
            cell->SaveAsFirstOfRun(*out, runSize);
            for (int m = first + 1; m < first + cells - 1; ++m)
                Items(m)->SaveAsMiddleOfRun(*out);
            last->SaveAsLastOfRun(*out);
        }
        total += runSize;
    }
    return total;
}
