#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

// The header at the start of a page store and of a saved report (.BRP).
// Current form, 128 bytes (little-endian):
//   0  u16  format word (3)
//   2  u16  second format word (40)
//   4  u32  unused (0)
//   8  i32  page count
//  12  u32  alignment (0)
//  16  f64  creation time, days since 30.12.1899
//  24  u8   unused (0)
//  25  u8   1 when the pages are compressed
//  26  101  unused (0)
// 127  u8   alignment (0)
// The old form, 124 bytes, packs the same fields without the gap: the time at
// 12, the bytes at 20 and 21, the block at 22.
struct TBRFileHeader
{
    static constexpr int Size = 128;
    static constexpr int OldSize = 124;

    quint16 format = 3;
    quint16 format2 = 40;
    qint32 pageCount = 0;
    double created = 0;
    bool compressed = false;

    QByteArray encode() const;
    // `bytes` holds a header of `size` (Size or OldSize) bytes.
    static TBRFileHeader decode(QByteArrayView bytes, int size);

    static double toDays(const QDateTime &t);
    static QDateTime fromDays(double days);
};
