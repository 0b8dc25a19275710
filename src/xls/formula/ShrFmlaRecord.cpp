#include "xls/formula/ShrFmlaRecord.h"

TShrFmlaRecord::TShrFmlaRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(10);
}

std::unique_ptr<TBaseRecord> TShrFmlaRecord::Clone() const
{
    auto copy = std::make_unique<TShrFmlaRecord>(RecordId(), Data());
    CopyContinueChainTo(*copy);
    copy->Key = Key;
    return copy;
}
