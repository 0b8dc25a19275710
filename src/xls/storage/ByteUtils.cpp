#include "xls/storage/ByteUtils.h"

#include "xls/storage/ExcelException.h"

namespace {

void checkRange(qsizetype size, qsizetype offset, qsizetype width)
{
    if (offset < 0 || width > size || offset > size - width)
        throw EExcelException(QStringLiteral("Data access out of range (offset %1, %2 bytes, buffer of %3 bytes)")
                                  .arg(offset).arg(width).arg(size));
}

void checkCount(qint64 result, int max)
{
    if (result < 0 || result > max)
        throw EExcelException(QString::asprintf("Too many entries for this kind of record (%lld out of a maximum of %d)",
                                                static_cast<long long>(result), max));
}

} // namespace

quint16 ReadWord(QByteArrayView data, qsizetype offset)
{
    checkRange(data.size(), offset, 2);
    const auto *p = reinterpret_cast<const uchar *>(data.data()) + offset;
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

void WriteWord(QByteArray &data, qsizetype offset, quint16 value)
{
    checkRange(data.size(), offset, 2);
    char *p = data.data() + offset;
    p[0] = static_cast<char>(value & 0xFF);
    p[1] = static_cast<char>(value >> 8);
}

quint32 ReadCardinal(QByteArrayView data, qsizetype offset)
{
    checkRange(data.size(), offset, 4);
    const auto *p = reinterpret_cast<const uchar *>(data.data()) + offset;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

void WriteCardinal(QByteArray &data, qsizetype offset, quint32 value)
{
    checkRange(data.size(), offset, 4);
    char *p = data.data() + offset;
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AddToWord(QByteArray &data, qsizetype offset, int delta, int max)
{
    const qint64 result = qint64(ReadWord(data, offset)) + delta;
    checkCount(result, max);
    WriteWord(data, offset, static_cast<quint16>(result));
}

void AddToByte(QByteArray &data, qsizetype offset, int delta, int max)
{
    checkRange(data.size(), offset, 1);
    const qint64 result = qint64(static_cast<uchar>(data[offset])) + delta;
    checkCount(result, max);
    data[offset] = static_cast<char>(result);
}
