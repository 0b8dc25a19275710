#include "xls/formula/ArrayRecord.h"

TArrayRecord::TArrayRecord(quint16 id, QByteArray data) : TBaseRecord(id, std::move(data))
{
    RequireDataSize(14);
}
