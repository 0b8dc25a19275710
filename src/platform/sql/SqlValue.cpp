#include "platform/sql/SqlValue.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Rounds the shortest decimal that reads back as `value` to `decimals`
// places, half away from zero, and reads the result back.
double roundDecimalHalfAway(double value, int decimals)
{
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text - 1, std::fabs(value), std::chars_format::scientific);
    *written.ptr = '\0'; // the exponent is read up to here, not into what lay after it
    // d.ddddde±x: the digits, and the exponent of the first one.
    std::string digits;
    const char *p = text;
    for (; p < written.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    const int exponent = std::atoi(p + 1);
    const int kept = exponent + 1 + decimals; // digits left of the cut
    if (kept >= int(digits.size()))
        return value;
    if (kept < 0)
        return std::copysign(0.0, value);
    std::string rounded = digits.substr(0, size_t(kept));
    int shift = 0;
    if (digits[size_t(kept)] >= '5') {
        int i = kept - 1;
        for (; i >= 0 && rounded[size_t(i)] == '9'; --i)
            rounded[size_t(i)] = '0';
        if (i >= 0)
            ++rounded[size_t(i)];
        else
            rounded.insert(rounded.begin(), '1'), shift = 1;
    }
    if (rounded.empty())
        return std::copysign(0.0, value);
    const std::string back = rounded + 'e' + std::to_string(exponent + shift - int(rounded.size()) + 1);
    double result = 0;
    std::from_chars(back.data(), back.data() + back.size(), result);
    return std::copysign(result, value);
}

} // namespace

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
    // Sums and counts, whole or in bani, are nearly every number written: the
    // value nearest its cents has them for its fifteen digits, written here
    // without the general format's slower path.
    if (std::fabs(value) < 1e13) {
        const double cents = std::round(value * 100);
        if (cents / 100 == value) {
            char text[24];
            char *p = text + sizeof text;
            qint64 whole = qint64(std::fabs(cents));
            const int bani = int(whole % 100);
            whole /= 100;
            if (bani) {
                if (bani % 10)
                    *--p = char('0' + bani % 10);
                *--p = char('0' + bani / 10);
                *--p = '.';
            }
            do {
                *--p = char('0' + whole % 10);
                whole /= 10;
            } while (whole);
            if (value < 0)
                *--p = '-';
            return QString::fromLatin1(p, text + sizeof text - p);
        }
    }
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
    // The powers of ten a double holds exactly, as pow gives them, without the call.
    static constexpr double Exact[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double scale = decimals >= 0 && decimals <= 22 ? Exact[decimals] : std::pow(10.0, decimals);
    const double scaled = value * scale;
    // Plainly off a half, the binary value rounds as its decimal does.
    if (std::fabs(scaled) < 1e12 && std::fabs(std::fabs(scaled - std::trunc(scaled)) - 0.5) > 1e-3)
        return std::round(scaled) / scale;
    if (!std::isfinite(value))
        return value;
    return roundDecimalHalfAway(value, decimals);
}

} // namespace SqlValue
