#include "core/TextChecks.h"

#include <QStringList>

namespace {

bool isAsciiAlnum(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool validLocalPart(QStringView s)
{
    if (s.isEmpty() || s.size() > 64 || s.startsWith(u'.') || s.endsWith(u'.') || s.contains(u".."))
        return false;
    for (QChar c : s)
        if (!isAsciiAlnum(c) && !QStringView(u"._%+-").contains(c))
            return false;
    return true;
}

bool validDomainLabel(QStringView s)
{
    if (s.isEmpty() || s.size() > 63 || s.startsWith(u'-') || s.endsWith(u'-'))
        return false;
    for (QChar c : s)
        if (!isAsciiAlnum(c) && c != u'-')
            return false;
    return true;
}

} // namespace

QString TextChecks::cleanText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'"')
            c = u' ';
        if (c == u' ' && out.endsWith(u' '))
            continue;
        out.append(c);
    }
    return out.trimmed();
}

bool TextChecks::checkEmail(QStringView text)
{
    const QStringView s = text.trimmed();
    const qsizetype at = s.indexOf(u'@');
    if (at <= 0 || s.lastIndexOf(u'@') != at || s.size() > 254)
        return false;
    if (!validLocalPart(s.left(at)))
        return false;
    const QList<QStringView> labels = s.mid(at + 1).split(u'.');
    if (labels.size() < 2)
        return false;
    for (QStringView label : labels)
        if (!validDomainLabel(label))
            return false;
    const QStringView tld = labels.last();
    if (tld.size() < 2)
        return false;
    for (QChar c : tld)
        if (!c.isLetter())
            return false;
    return true;
}

bool TextChecks::checkPhone(QStringView text)
{
    QString digits;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    if (digits.size() != 10 || digits.at(0) != u'0')
        return false;
    const QChar second = digits.at(1);
    return second == u'7' || second == u'3' || second == u'2' || second == u'1';
}

QString TextChecks::replaceAll(const QString &text, const QString &find, const QString &replacement)
{
    if (find.isEmpty())
        return text;
    QString out = text;
    return out.replace(find, replacement);
}
