#include "xls/storage/ByteUtils.h"

#include "xls/storage/ExcelException.h"

void ByteUtilsDetail::RaiseOutOfRange(qsizetype size, qsizetype offset, qsizetype width)
{
    throw EExcelException(QStringLiteral("Data access out of range (offset %1, %2 bytes, buffer of %3 bytes)")
                              .arg(offset).arg(width).arg(size));
}

namespace {

void checkRange(qsizetype size, qsizetype offset, qsizetype width)
{
    if (offset < 0 || width > size || offset > size - width)
        ByteUtilsDetail::RaiseOutOfRange(size, offset, width);
}

void checkCount(qint64 result, int max)
{
    if (result < 0 || result > max)
        throw EExcelException(QString::asprintf("Too many entries for this kind of record (%lld out of a maximum of %d)",
                                                static_cast<long long>(result), max));
}

} // namespace

void WriteWord(QByteArray &data, qsizetype offset, quint16 value)
{
    checkRange(data.size(), offset, 2);
    char *p = data.data() + offset;
    p[0] = static_cast<char>(value & 0xFF);
    p[1] = static_cast<char>(value >> 8);
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
