#include "xls/storage/ByteUtils.h"

#include "xls/storage/ExcelException.h"

void ByteUtilsDetail::RaiseOutOfRange(qsizetype size, qsizetype offset, qsizetype width)
{
    throw EExcelException(QStringLiteral("Data access out of range (offset %1, %2 bytes, buffer of %3 bytes)")
                              .arg(offset).arg(width).arg(size));
}

void CheckEntryCount(qint64 value, int max)
{
    if (value < 0 || value > max)
        throw EExcelException(QString::asprintf("Too many entries for this kind of record (%lld out of a maximum of %d)",
                                                static_cast<long long>(value), max));
}

namespace {

// Checked as the reads are, before any byte is written.
void writeLittleEndian(QByteArray &data, qsizetype offset, quint64 value, int width)
{
    ByteUtilsDetail::CheckedAt(data, offset, width);
    char *p = data.data() + offset;
    for (int i = 0; i < width; ++i)
        p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

void WriteWord(QByteArray &data, qsizetype offset, quint16 value)
{
    writeLittleEndian(data, offset, value, 2);
}

void WriteCardinal(QByteArray &data, qsizetype offset, quint32 value)
{
    writeLittleEndian(data, offset, value, 4);
}

void WriteDouble(QByteArray &data, qsizetype offset, double value)
{
    writeLittleEndian(data, offset, std::bit_cast<quint64>(value), 8);
}

void AddToWord(QByteArray &data, qsizetype offset, int delta, int max)
{
    const qint64 result = qint64(ReadWord(data, offset)) + delta;
    CheckEntryCount(result, max);
    WriteWord(data, offset, static_cast<quint16>(result));
}

void AddToByte(QByteArray &data, qsizetype offset, int delta, int max)
{
    ByteUtilsDetail::CheckedAt(data, offset, 1);
    const qint64 result = qint64(static_cast<uchar>(data[offset])) + delta;
    CheckEntryCount(result, max);
    data[offset] = static_cast<char>(result);
}
