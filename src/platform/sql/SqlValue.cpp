#include "platform/sql/SqlValue.h"

#include <QLocale>

#include <cmath>

namespace SqlValue {

bool parseNumber(QStringView text, double *value)
{
    text = text.trimmed();
    if (text.isEmpty())
        return false;
    int i = 0;
    const int n = int(text.size());
    if (text[i] == u'+' || text[i] == u'-')
        ++i;
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) { ++i; ++digits; }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i].unicode() < 128 && text[i].isDigit()) { ++i; ++digits; }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        int exp = 0;
        while (i < n && text[i].unicode() < 128 && text[i].isDigit()) { ++i; ++exp; }
        if (exp == 0)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

QString formatNumber(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

QDate parseDate(QStringView text)
{
    text = text.trimmed();
    const auto parts = text.split(u'.');
    if (parts.size() != 3 || parts[0].isEmpty() || parts[0].size() > 2 || parts[1].isEmpty()
        || parts[1].size() > 2 || parts[2].size() != 4)
        return {};
    int v[3];
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        for (QChar c : parts[k])
            if (c.unicode() < u'0' || c.unicode() > u'9')
                return {};
        v[k] = parts[k].toInt(&ok);
        if (!ok)
            return {};
    }
    return QDate(v[2], v[1], v[0]);
}

namespace {

// Two digits of 0..99 at out.
void twoDigits(QChar *out, int v)
{
    out[0] = QChar(u'0' + v / 10);
    out[1] = QChar(u'0' + v % 10);
}

} // namespace

QString formatDate(const QDate &date)
{
    if (!date.isValid())
        return QString();
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    // Lists format a date per row: years of four digits are written here, the
    // rest (signs, a fifth digit) as the locale writes them.
    if (y < 1 || y > 9999)
        return QLocale::c().toString(date, QStringLiteral("dd.MM.yyyy"));
    QString out(10, Qt::Uninitialized);
    QChar *c = out.data();
    twoDigits(c, d);
    c[2] = u'.';
    twoDigits(c + 3, m);
    c[5] = u'.';
    twoDigits(c + 6, y / 100);
    twoDigits(c + 8, y % 100);
    return out;
}

QString isoDate(const QDate &date)
{
    return QLocale::c().toString(date, QStringLiteral("yyyy-MM-dd"));
}

QDate fromIsoDate(QStringView text)
{
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return {};
    bool a = false, b = false, c = false;
    const int y = text.mid(0, 4).toInt(&a);
    const int m = text.mid(5, 2).toInt(&b);
    const int d = text.mid(8, 2).toInt(&c);
    return a && b && c ? QDate(y, m, d) : QDate();
}

bool likeMatches(QStringView text, QStringView pattern)
{
    // One backtrack point: linear in practice and always ends.
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == u'_' || pattern[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'%') {
            starP = p++;
            starT = t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}

double roundHalfAway(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // The small nudge keeps 0.125 stored as 0.12499999... rounding up as typed.
    const double scaled = value * scale;
    const double r = std::round(scaled + (scaled >= 0 ? 1e-9 : -1e-9));
    return r / scale;
}

} // namespace SqlValue
