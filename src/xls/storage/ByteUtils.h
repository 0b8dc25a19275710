#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Little-endian access to record data. Buffers are QByteArray (written in place)
// and QByteArrayView (read). Every access is bounds-checked: an offset outside
// the buffer raises EExcelException instead of touching memory it does not own.

quint16 ReadWord(QByteArrayView data, qsizetype offset);
void WriteWord(QByteArray &data, qsizetype offset, quint16 value);
quint32 ReadCardinal(QByteArrayView data, qsizetype offset);
void WriteCardinal(QByteArray &data, qsizetype offset, quint32 value);

// Adds delta to the u16 (or byte) at offset. A result below 0 or above max
// raises "Too many entries for this kind of record (%d out of a maximum of %d)"
// and leaves the buffer unchanged.
void AddToWord(QByteArray &data, qsizetype offset, int delta, int max);
void AddToByte(QByteArray &data, qsizetype offset, int delta, int max);
