#include "xls/formula/ArrayRecord.h"

TArrayRecord::TArrayRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(14);
}

std::unique_ptr<TBaseRecord> TArrayRecord::Clone() const
{
    auto copy = std::make_unique<TArrayRecord>(RecordId(), Data());
    CopyContinueChainTo(*copy);
    return copy;
}
