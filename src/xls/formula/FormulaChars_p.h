#pragma once

#include "xls/storage/ByteCursor.h"

#include <QString>

namespace detail {

// Characters of a BIFF8 string without its header: one byte each (the low
// half of UTF-16) or two, little-endian.
inline QString ReadChars(ByteCursor &c, int count, bool wide)
{
    if (!wide)
        return QString::fromLatin1(c.bytes(count));
    QByteArrayView b = c.bytes(qsizetype(count) * 2);
    QString s(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        s[i] = QChar(quint16(quint8(b[2 * i]) | (quint8(b[2 * i + 1]) << 8)));
    return s;
}

} // namespace detail
