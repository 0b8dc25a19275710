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

// The opposite: compressed when every character fits a byte.
inline QByteArray CharBytes(const QString &text, bool &wide)
{
    wide = false;
    for (QChar ch : text)
        wide = wide || ch.unicode() > 0xFF;
    QByteArray b;
    b.reserve(text.size() * (wide ? 2 : 1));
    for (QChar ch : text) {
        b += char(ch.unicode() & 0xFF);
        if (wide)
            b += char(ch.unicode() >> 8);
    }
    return b;
}

} // namespace detail
