#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <bit>

// Little-endian access to record data. Buffers are QByteArray (written in place)
// and QByteArrayView (read). Every access is bounds-checked: an offset outside
// the buffer raises EExcelException instead of touching memory it does not own.

namespace ByteUtilsDetail {
// Raises "Data access out of range (...)".
[[noreturn]] void RaiseOutOfRange(qsizetype size, qsizetype offset, qsizetype width);

inline const uchar *CheckedAt(QByteArrayView data, qsizetype offset, qsizetype width)
{
    if (offset < 0 || width > data.size() || offset > data.size() - width)
        RaiseOutOfRange(data.size(), offset, width);
    return reinterpret_cast<const uchar *>(data.data()) + offset;
}
} // namespace ByteUtilsDetail

// The reads are inline: cell lists read rows and columns millions of times.
inline quint16 ReadWord(QByteArrayView data, qsizetype offset)
{
    const uchar *p = ByteUtilsDetail::CheckedAt(data, offset, 2);
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

inline quint32 ReadCardinal(QByteArrayView data, qsizetype offset)
{
    const uchar *p = ByteUtilsDetail::CheckedAt(data, offset, 4);
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// A double as records hold it: 8 bytes, low half first.
inline double ReadDouble(QByteArrayView data, qsizetype offset)
{
    const uchar *p = ByteUtilsDetail::CheckedAt(data, offset, 8);
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

void WriteWord(QByteArray &data, qsizetype offset, quint16 value);
void WriteCardinal(QByteArray &data, qsizetype offset, quint32 value);
void WriteDouble(QByteArray &data, qsizetype offset, double value);

// Raises "Too many entries for this kind of record (%d out of a maximum of %d)"
// when value lies outside 0..max: a count, row or column that would not fit.
void CheckEntryCount(qint64 value, int max);

// Adds delta to the u16 (or byte) at offset. A result outside 0..max raises
// as CheckEntryCount does and leaves the buffer unchanged.
void AddToWord(QByteArray &data, qsizetype offset, int delta, int max);
void AddToByte(QByteArray &data, qsizetype offset, int delta, int max);
