#include "xls/formula/ShrFmlaRecordList.h"

int TShrFmlaRecordList::Add(std::unique_ptr<TShrFmlaRecord> record)
{
    FSorted = false;
    return TBaseRecordList::Add(std::move(record));
}

void TShrFmlaRecordList::Sort()
{
    StableSort([](const TBaseRecord *a, const TBaseRecord *b) {
        // empty items go last
        if (!a || !b)
            return a && !b;
        return static_cast<const TShrFmlaRecord *>(a)->Key < static_cast<const TShrFmlaRecord *>(b)->Key;
    });
    FSorted = true;
}

bool TShrFmlaRecordList::Find(quint32 key, int &index)
{
    if (!FSorted)
        Sort();
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = low + (high - low) / 2;
        const TShrFmlaRecord *r = Items(mid);
        if (r && r->Key == key) {
            found = true;
            high = mid - 1; // go on to the left: the first one wins
        } else if (r && r->Key < key) {
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    index = low;
    return found;
}
