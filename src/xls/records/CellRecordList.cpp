#include "xls/records/CellRecordList.h"

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
    WriteRuns(&stream, left, top, right, bottom);
}

qint64 TCellRecordList::TotalRangeSize(int left, int top, int right, int bottom) const
{
    return WriteRuns(nullptr, left, top, right, bottom);
}

// The joining writer: counts, and writes when given a stream, so the size
// the sections use for offsets is the size written.
qint64 TCellRecordList::WriteRuns(QIODevice *stream, int left, int top, int right, int bottom) const
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
        const TCellRecord *next = i + 1 < count ? Items(i + 1) : nullptr;
        if (!cell->JoinsWith(next, right)) {
            if (stream)
                cell->SaveToStream(*stream);
            total += cell->TotalSize();
            ++i;
            continue;
        }
        // A run: first, middles while the next still joins, then the last.
        int last = i + 1;
        qint64 runSize = cell->SizeAsFirstOfRun();
        while (last + 1 < count && Items(last)->JoinsWith(Items(last + 1), right)) {
            runSize += Items(last)->SizeAsMiddleOfRun();
            ++last;
        }
        runSize += Items(last)->SizeAsLastOfRun();
        if (stream) {
            cell->SaveAsFirstOfRun(*stream, runSize);
            for (int m = i + 1; m < last; ++m)
                Items(m)->SaveAsMiddleOfRun(*stream);
            Items(last)->SaveAsLastOfRun(*stream);
        }
        total += runSize;
        i = last + 1;
    }
    return total;
}
