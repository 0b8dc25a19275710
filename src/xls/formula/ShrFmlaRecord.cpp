#include "xls/formula/ShrFmlaRecord.h"

TShrFmlaRecord::TShrFmlaRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(10);
}

std::unique_ptr<TBaseRecord> TShrFmlaRecord::Clone() const
{
    auto copy = CloneThroughFactory();
    if (auto *shared = dynamic_cast<TShrFmlaRecord *>(copy.get()))
        shared->Key = Key;
    return copy;
}
