#include "xls/storage/Ole2StreamPlace.h"

#include "xls/storage/ExcelException.h"
#include "xls/storage/Ole2File.h"

void TOle2StreamPlace::ReadInto(qint64 offset, qint64 count, char *dest) const
{
    if (offset < 0 || count < 0 || offset + count > Size)
        throw EExcelException(ShortMessage);
    size_t k = size_t(offset / SectorSize);
    qint64 inner = offset % SectorSize;
    while (count > 0) {
        size_t end = k + 1;
        while (end < Sectors.size() && Sectors[end] == Sectors[end - 1] + 1 && qint64(end - k) * SectorSize - inner < count)
            ++end;
        const qint64 n = qMin(count, qint64(end - k) * SectorSize - inner);
        if (!File->ReadInto((qint64(Sectors[k]) + 1) * SectorSize + inner, n, dest))
            throw EExcelException(ShortMessage);
        dest += n;
        count -= n;
        k = end;
        inner = 0;
    }
}

QByteArray TOle2StreamPlace::ReadAll() const
{
    QByteArray bytes(qsizetype(Size), Qt::Uninitialized);
    ReadInto(0, Size, bytes.data());
    return bytes;
}
