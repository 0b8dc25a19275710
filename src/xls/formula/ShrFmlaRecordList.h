#pragma once

#include "xls/formula/ShrFmlaRecord.h"
#include "xls/records/BaseRecordList.h"

// A sheet's shared formulas, found by key (row + column * 65536 of the cell
// that owns them).
class TShrFmlaRecordList : public TBaseRecordList
{
public:
    TShrFmlaRecord *Items(int index) const { return static_cast<TShrFmlaRecord *>(TBaseRecordList::Items(index)); }
    TShrFmlaRecord *operator[](int index) const { return Items(index); }

    int Add(std::unique_ptr<TShrFmlaRecord> record);
    // By key, unsigned, ascending; equal keys keep their order.
    void Sort();
    bool Sorted() const { return FSorted; }
    // Sorts first when needed; index is the first record with the key, or
    // where one would be inserted.
    bool Find(quint32 key, int &index);

private:
    bool FSorted = false;
};
