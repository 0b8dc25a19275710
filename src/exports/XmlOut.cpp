#include "exports/XmlOut.h"

#include "platform/sql/SqlValue.h"

#include <QIODevice>

namespace {

bool allowedChar(const QChar *s, qsizetype i, qsizetype n)
{
    const char16_t c = s[i].unicode();
    if (c < 0x20)
        return c == u'\t' || c == u'\n' || c == u'\r';
    if (QChar::isHighSurrogate(c))
        return i + 1 < n && s[i + 1].isLowSurrogate();
    if (QChar::isLowSurrogate(c))
        return i > 0 && s[i - 1].isHighSurrogate();
    return c != 0xFFFE && c != 0xFFFF;
}

} // namespace

XmlOut::XmlOut(QIODevice *device) : m_device(device), m_xml(device)
{
    m_xml.setAutoFormatting(true);
    m_xml.setAutoFormattingIndent(2);
}

void XmlOut::declaration(const char *encoding)
{
    // The writer puts the line break before the root itself.
    m_device->write(QByteArray("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>");
}

QString XmlOut::allowed(const QString &text)
{
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && allowedChar(s, i, n))
        ++i;
    if (i == n)
        return text;
    QString out;
    out.reserve(n);
    out.append(s, i);
    for (; i < n; ++i)
        if (allowedChar(s, i, n))
            out.append(s[i]);
    return out;
}

QString XmlOut::number(double value)
{
    return SqlValue::formatNumber(value);
}
