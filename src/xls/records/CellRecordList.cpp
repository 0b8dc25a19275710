#include "xls/records/CellRecordList.h"

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

// Whether next goes into the same multiple-cell record as cell. Only cells of
// one class join, so neighbours of different ids (most of them) are told
// apart without a call.
bool Joins(const TCellRecord *cell, const TCellRecord *next, int right)
{
    return next && next->RecordId() == cell->RecordId() && cell->JoinsWith(next, right);
}

}  // namespace

// The joining writer: counts without a stream, writes with one, so the
// size the sections use for offsets is the size written.
qint64 TCellRecordList::WriteRuns(TGatheringDevice *out, int left, int top, int right, int bottom) const
{
    const int count = Count();
    if (count == 0 || !Items(0) || Items(0)->Row() < top || Items(0)->Row() > bottom)
        return 0;
    qint64 total = 0;
    int i = 0;
    while (i < count) {
        const TCellRecord *cell = Items(i);
        if (!cell || cell->Column() < left || cell->Column() > right) {
            ++i;
            continue;
        }
        int last = i;
        while (last + 1 < count && Joins(Items(last), Items(last + 1), right))
            ++last;
        if (last == i) {
            if (out)
                cell->SaveTo(*out);
            else
                total += cell->TotalSize();
            ++i;
            continue;
        }
        // A run: first, middles, then the last, all of the first's class.
        const qint64 runSize =
            cell->SizeAsFirstOfRun() + (last - i - 1) * cell->SizeAsMiddleOfRun() + cell->SizeAsLastOfRun();
        if (out) {
            cell->SaveAsFirstOfRun(*out, runSize);
            for (int m = i + 1; m < last; ++m)
                Items(m)->SaveAsMiddleOfRun(*out);
            Items(last)->SaveAsLastOfRun(*out);
        }
        total += runSize;
        i = last + 1;
    }
    return total;
}
