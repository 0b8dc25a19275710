#include "core/MonthCode.h"

#include <QStringList>

namespace {

// Digits only, at most 'maxDigits' of them; -1 otherwise.
int parseDigits(QStringView s, int maxDigits)
{
    s = s.trimmed();
    if (s.isEmpty() || s.size() > maxDigits)
        return -1;
    int v = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return -1;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

} // namespace

int MonthCode::index(QStringView text)
{
    const qsizetype dot = text.indexOf(u'.');
    if (dot < 0)
        return 0;
    const int month = parseDigits(text.left(dot), 2);
    const int year = parseDigits(text.mid(dot + 1), 4);
    if (month < 1 || month > 12 || year < 1)
        return 0;
    return year * 12 + (month - 1);
}

QString MonthCode::text(int code)
{
    if (code < 12)
        return {};
    return QStringLiteral("%1.%2").arg(code % 12 + 1, 2, 10, QLatin1Char('0')).arg(code / 12, 4, 10, QLatin1Char('0'));
}

QString MonthCode::name(int month)
{
    static const QStringList names = {
        QStringLiteral("Ianuarie"), QStringLiteral("Februarie"), QStringLiteral("Martie"),
        QStringLiteral("Aprilie"), QStringLiteral("Mai"), QStringLiteral("Iunie"),
        QStringLiteral("Iulie"), QStringLiteral("August"), QStringLiteral("Septembrie"),
        QStringLiteral("Octombrie"), QStringLiteral("Noiembrie"), QStringLiteral("Decembrie")};
    if (month < 1 || month > 12)
        return {};
    return names.at(month - 1);
}
