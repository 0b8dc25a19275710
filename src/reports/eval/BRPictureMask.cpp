#include "reports/eval/BRPictureMask.h"

#include "platform/sql/SqlValue.h"
#include "reports/eval/BREvResult.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

bool isQuote(QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); }

bool isExponentAt(const QString &s, qsizetype i)
{
    return (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e')) && i + 1 < s.size()
        && (s[i + 1] == QLatin1Char('+') || s[i + 1] == QLatin1Char('-'));
}

// The sections between ";" outside quotes.
QStringList splitSections(const QString &mask)
{
    QStringList out(1);
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (isQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out.append(QString());
            continue;
        }
        out.last().append(c);
    }
    return out;
}

// What a section asks for, found by one pass over it.
struct SectionShape
{
    int intPlaces = 0, fracPlaces = 0;
    int minInt = 0, minFrac = 0;
    bool thousands = false, scientific = false;
};

SectionShape scanSection(const QString &s)
{
    SectionShape sh;
    int firstZero = -1;
    bool point = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (isQuote(c)) {
            const qsizetype end = s.indexOf(c, i + 1);
            i = end < 0 ? s.size() : end;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (point) {
                ++sh.fracPlaces;
                if (c == QLatin1Char('0'))
                    sh.minFrac = sh.fracPlaces;
            } else {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = sh.intPlaces;
                ++sh.intPlaces;
            }
        } else if (c == QLatin1Char('.')) {
            point = true;
        } else if (c == QLatin1Char(',')) {
            sh.thousands = true;
        } else if (isExponentAt(s, i)) {
            sh.scientific = true;
            break; // the places after the exponent belong to it
        }
    }
    sh.minInt = firstZero < 0 ? 0 : sh.intPlaces - firstZero;
    return sh;
}

// Significant decimal digits of v >= 0 and the position of the decimal point
// after the first of them (v = 0.d1d2... x 10^pointPos); empty for zero.
// The digits are those of the shortest decimal that reads back as v: the
// number the clerk typed, not the binary value just below or above it.
struct Digits
{
    QString digits;
    int pointPos = 0;
};

Digits decimalDigits(double v)
{
    Digits d;
    if (v == 0)
        return d;
    const QString e = QLocale::c().toString(v, 'e', QLocale::FloatingPointShortest); // d[.ddd]e+XX
    const qsizetype ePos = e.indexOf(QLatin1Char('e'));
    d.digits = e.left(ePos).remove(QLatin1Char('.'));
    d.pointPos = e.mid(ePos + 1).toInt() + 1;
    return d;
}

// Beyond this many decimals a double holds nothing left to round.
constexpr int kRoundedPlaces = 15;

// Keeps `keep` digits, rounding the rest half away from zero.
void roundDigits(Digits &d, int keep)
{
    if (keep < 0) {
        d = Digits();
        return;
    }
    if (keep >= d.digits.size())
        return;
    const bool up = d.digits[keep] >= QLatin1Char('5');
    d.digits.truncate(keep);
    int i = keep - 1;
    for (; up && i >= 0; --i) {
        if (d.digits[i] != QLatin1Char('9')) {
            d.digits[i] = QChar(d.digits[i].unicode() + 1);
            break;
        }
        d.digits[i] = QLatin1Char('0');
    }
    if (up && i < 0) {
        d.digits.prepend(QLatin1Char('1'));
        ++d.pointPos;
    }
    while (d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
    if (d.digits.isEmpty())
        d.pointPos = 0;
}

struct Parts
{
    QString intDigits, fracDigits;
    int exponent = 0;
};

QString digitRange(const Digits &d, int from, int to)
{
    QString out;
    for (int i = from; i < to; ++i)
        out.append(i >= 0 && i < d.digits.size() ? d.digits[i] : QLatin1Char('0'));
    return out;
}

Parts splitNumber(double v, const SectionShape &sh)
{
    Digits d = decimalDigits(v);
    Parts p;
    if (sh.scientific) {
        const int k = qMax(sh.intPlaces, 1);
        roundDigits(d, k + sh.fracPlaces);
        p.exponent = d.digits.isEmpty() ? 0 : d.pointPos - k;
        p.intDigits = d.digits.isEmpty() ? QStringLiteral("0") : digitRange(d, 0, k);
        p.fracDigits = digitRange(d, k, k + sh.fracPlaces);
    } else {
        // Amounts round as the program's other money does, so a report agrees with the documents.
        if (sh.fracPlaces <= kRoundedPlaces)
            d = decimalDigits(SqlValue::roundHalfAway(v, sh.fracPlaces));
        roundDigits(d, d.pointPos + sh.fracPlaces);
        p.intDigits = digitRange(d, 0, d.pointPos);
        p.fracDigits = digitRange(d, d.pointPos, d.pointPos + sh.fracPlaces);
    }
    while (p.fracDigits.size() > sh.minFrac && p.fracDigits.endsWith(QLatin1Char('0')))
        p.fracDigits.chop(1);
    return p;
}

class SectionWriter
{
public:
    SectionWriter(const SectionShape &sh, const Parts &p) : m_sh(sh), m_p(p) {}

    QString write(const QString &s)
    {
        for (qsizetype i = 0; i < s.size(); ++i) {
            const QChar c = s[i];
            if (isQuote(c)) {
                const qsizetype end = s.indexOf(c, i + 1);
                m_out += s.mid(i + 1, (end < 0 ? s.size() : end) - i - 1);
                i = end < 0 ? s.size() : end;
            } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
                m_point ? fracPlace() : intPlace();
            } else if (c == QLatin1Char('.')) {
                decimalPoint();
            } else if (c == QLatin1Char(',')) {
                // grouping is decided by the shape
            } else if (isExponentAt(s, i)) {
                i = exponent(s, i);
            } else {
                m_out += c;
            }
        }
        return m_out;
    }

private:
    // Places past the last integer place (those after an exponent) stay empty.
    void putIntDigit(int pos)
    {
        const int n = int(m_p.intDigits.size());
        if (pos < 0)
            return;
        if (pos < n)
            m_out += m_p.intDigits[n - 1 - pos];
        else if (pos < m_sh.minInt)
            m_out += QLatin1Char('0');
        else
            return;
        if (m_sh.thousands && pos > 0 && pos % 3 == 0)
            m_out += QLatin1Char(',');
    }

    // Digits beyond the places all go at the first place.
    void putExtraDigits()
    {
        for (int pos = int(m_p.intDigits.size()) - 1; pos >= m_sh.intPlaces; --pos)
            putIntDigit(pos);
    }

    void intPlace()
    {
        if (m_intSeen == 0)
            putExtraDigits();
        putIntDigit(m_sh.intPlaces - 1 - m_intSeen);
        ++m_intSeen;
    }

    void fracPlace()
    {
        if (m_fracSeen < m_p.fracDigits.size())
            m_out += m_p.fracDigits[m_fracSeen];
        ++m_fracSeen;
    }

    void decimalPoint()
    {
        if (m_point)
            return;
        if (m_sh.intPlaces == 0)
            putExtraDigits();
        m_point = true;
        if (!m_p.fracDigits.isEmpty())
            m_out += QLatin1Char('.');
    }

    qsizetype exponent(const QString &s, qsizetype i)
    {
        m_out += s[i];
        const bool plus = s[i + 1] == QLatin1Char('+');
        qsizetype j = i + 2;
        int width = 0;
        while (j < s.size() && s[j] == QLatin1Char('0') && width < 4) {
            ++width;
            ++j;
        }
        if (m_p.exponent < 0)
            m_out += QLatin1Char('-');
        else if (plus)
            m_out += QLatin1Char('+');
        m_out += QString::number(std::abs(m_p.exponent)).rightJustified(width, QLatin1Char('0'));
        return j - 1;
    }

    const SectionShape &m_sh;
    const Parts &m_p;
    QString m_out;
    int m_intSeen = 0, m_fracSeen = 0;
    bool m_point = false;
};

bool isZero(const Parts &p)
{
    for (QChar c : p.intDigits + p.fracDigits)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

} // namespace

QString formatFloatMask(const QString &mask, double value, bool *ok)
{
    *ok = std::isfinite(value);
    if (!*ok)
        return QString();
    if (mask.isEmpty())
        return floatToText(value);
    const QStringList sections = splitSections(mask);
    auto usable = [&](int i) { return i < sections.size() && !sections[i].isEmpty(); };
    int index = value < 0 ? 1 : (value == 0 ? 2 : 0);
    if (!usable(index))
        index = 0;
    const double magnitude = std::fabs(value);
    const SectionShape shape = scanSection(sections[index]);
    if (!shape.scientific && magnitude >= 1e18)
        return floatToText(value); // too many digits for places
    const Parts parts = splitNumber(magnitude, shape);
    if (isZero(parts) && index != 2 && usable(2)) {
        const SectionShape zeroShape = scanSection(sections[2]);
        return SectionWriter(zeroShape, splitNumber(0, zeroShape)).write(sections[2]);
    }
    const QString text = SectionWriter(shape, parts).write(sections[index]);
    return value < 0 && index == 0 && !isZero(parts) ? QLatin1Char('-') + text : text;
}
