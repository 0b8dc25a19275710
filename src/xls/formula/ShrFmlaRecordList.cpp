#include "xls/formula/ShrFmlaRecordList.h"

int TShrFmlaRecordList::Add(std::unique_ptr<TShrFmlaRecord> record)
{
    FSorted = false;
    return TBaseRecordList::Add(std::move(record));
}

void TShrFmlaRecordList::Sort()
{
    SortByKey<TShrFmlaRecord>([](const TShrFmlaRecord *r) { return r->Key; });
    FSorted = true;
}

bool TShrFmlaRecordList::Find(quint32 key, int &index)
{
    if (!FSorted)
        Sort();
    return FindByKey<TShrFmlaRecord>(key, index, [](const TShrFmlaRecord *r) { return r->Key; });
}
