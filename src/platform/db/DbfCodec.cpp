#include "platform/db/DbfCodec.h"

#include "platform/codepage/Cp1250.h"

#include <QDateTime>
#include <QLocale>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

namespace DbfCodec {

namespace {

bool isPad(char c) { return c == ' ' || c == '\0'; }

// Bit i set where byte i of the word is a blank (eight bytes, the first lowest).
quint64 blankBytes(quint64 word)
{
    constexpr quint64 Low7 = 0x7F7F7F7F7F7F7F7FULL;
    const quint64 x = word ^ 0x2020202020202020ULL; // a blank becomes zero
    return ~(((x & Low7) + Low7) | x | Low7);       // the high bit of each zero byte
}

// Length of the field without its trailing pad; sixteen or eight blanks at a
// time, as most text fields end in a long run of them.
qsizetype blankEnd(QByteArrayView raw)
{
    const char *p = raw.data();
    qsizetype e = raw.size();
#ifdef __SSE2__
    const __m128i blank = _mm_set1_epi8(' '), nul = _mm_setzero_si128();
    while (e >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + e - 16));
        const unsigned pad = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, blank), _mm_cmpeq_epi8(v, nul))));
        if (pad != 0xFFFF)
            return e - 16 + 32 - std::countl_zero(~pad & 0xFFFFu);
        e -= 16;
    }
#endif
    constexpr quint64 Blanks = 0x2020202020202020ULL;
    while (e >= 8) {
        quint64 word;
        memcpy(&word, p + e - 8, 8);
        if (word != Blanks)
            break;
        e -= 8;
    }
    while (e > 0 && isPad(p[e - 1]))
        --e;
    return e;
}

// Powers of ten up to the last one a double holds exactly.
constexpr double kExact10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Trimmed, non-empty text through the full parser: exponents, long digit runs.
Number parsed(QByteArrayView t)
{
    if (t[0] == '+')
        t = t.sliced(1);
    Number n;
    const char *end = t.data() + t.size();
    const auto r = std::from_chars(t.data(), end, n.real);
    n.kind = r.ec == std::errc() && r.ptr == end && std::isfinite(n.real) ? Number::Real : Number::Bad;
    return n;
}

// The number of the digits read as a whole number, with how many of them
// follow a point (-1 for none), and the sign.
Number fromDigits(quint64 mantissa, int decimals, bool negative)
{
    Number n;
    if (decimals < 0) {
        n.kind = Number::Int;
        n.whole = negative ? -qint64(mantissa) : qint64(mantissa);
        return n;
    }
    // The mantissa (under 2^53) and the power of ten are both exact doubles,
    // so one division gives the correctly rounded value.
    n.kind = Number::Real;
    n.real = double(mantissa) / kExact10[decimals];
    if (negative)
        n.real = -n.real;
    return n;
}

// Trimmed, non-empty "[-+]digits[.digits]" read in one pass; anything longer
// or else goes to the full parser.
Number trimmedNumber(QByteArrayView t)
{
    const char *p = t.data(), *const end = p + t.size();
    const bool negative = *p == '-';
    if (negative || *p == '+')
        ++p;
    // At most 15 digits (and a point) cannot pass 2^53: no check per digit.
    if (end - p > 16)
        return parsed(t);
    quint64 mantissa = 0;
    const char *point = nullptr;
    for (const char *q = p; q < end; ++q) {
        const unsigned digit = unsigned(uchar(*q)) - '0';
        if (digit < 10)
            mantissa = mantissa * 10 + digit;
        else if (*q == '.' && !point)
            point = q;
        else
            return parsed(t);
    }
    if (end - p == (point ? 1 : 0)) {
        Number n;
        n.kind = Number::Bad; // a sign or a point alone
        return n;
    }
    return fromDigits(mantissa, point ? int(end - point - 1) : -1, negative);
}

// CP1250 bytes straight to UTF-8 through a table, for the SQL engine's scan.
struct Utf8Table
{
    char bytes[256][4];
    quint8 length[256];
    Utf8Table()
    {
        for (int b = 0; b < 256; ++b) {
            const QByteArray u = QString(Cp1250::toUnicode(uchar(b))).toUtf8();
            length[b] = quint8(u.size());
            memcpy(bytes[b], u.constData(), size_t(u.size()));
        }
    }
};

// Index of the first byte at or above 0x80, eight at a time.
qsizetype asciiPrefix(QByteArrayView raw)
{
    constexpr quint64 HighBits = 0x8080808080808080ULL;
    const uchar *p = reinterpret_cast<const uchar *>(raw.data());
    const qsizetype n = raw.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        memcpy(&w, p + i, 8);
        if (w & HighBits)
            break;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

[[noreturn]] void refuse(const QString &why) { throw DbfError(why); }

// Adds one to a string of decimal digits.
void increment(QByteArray &digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.prepend('1');
}

// |value| * 10^decimals rounded half away from zero, as decimal digits. Starts
// from the 15 significant digits that stand for the double, so the rounding is
// that of the decimal number the user sees.
QByteArray scaledDigits(double magnitude, int decimals)
{
    const QByteArray e = QByteArray::number(magnitude, 'e', 14); // d.dddddddddddddde+XX
    QByteArray digits = e.left(1) + e.mid(2, 14);
    const int exponent = e.mid(e.indexOf('e') + 1).toInt();
    const int shift = exponent - 14 + decimals;
    if (shift >= 0)
        return digits + QByteArray(shift, '0');
    const qsizetype keep = digits.size() + shift;
    if (keep < 0)
        return "0";
    const bool up = digits[keep] >= '5';
    digits.truncate(keep);
    if (up)
        increment(digits);
    return digits.isEmpty() ? QByteArray("0") : digits;
}

QByteArray rightAligned(const QByteArray &s, int length)
{
    if (s.size() > length)
        return {};
    return QByteArray(length - s.size(), ' ') + s;
}

// Places the decimal point in a digit string scaled by 10^decimals.
QByteArray withPoint(QByteArray digits, int decimals, bool negative)
{
    while (digits.size() > 1 && digits[0] == '0')
        digits.remove(0, 1);
    const bool zero = digits == "0";
    if (decimals > 0) {
        if (digits.size() <= decimals)
            digits.prepend(QByteArray(decimals + 1 - digits.size(), '0'));
        digits.insert(digits.size() - decimals, '.');
    }
    if (negative && !zero)
        digits.prepend('-');
    return digits;
}

bool isInteger(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

// Text of a value for a C field; dates as the program writes them.
QString textOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    if (v.typeId() == QMetaType::Double)
        return QLocale::c().toString(v.toDouble(), 'g', 15);
    return v.toString();
}

void encodeText(const DbfField &f, const QVariant &v, char *out)
{
    const qsizetype n = Cp1250::encode(textOf(v), out, f.length);
    memset(out + n, ' ', size_t(f.length - n));
}

void putRightAligned(QByteArrayView s, int length, char *out)
{
    memset(out, ' ', size_t(length - s.size()));
    memcpy(out + length - s.size(), s.data(), size_t(s.size()));
}

// The common case without building decimal strings: |value| * 10^decimals
// well inside a double's exact integers and not close to a half, where binary
// and decimal rounding agree. Unsure when the slow path must decide.
enum class Fast { Unsure, Fits, TooLong };

Fast fastFormat(double value, int length, int decimals, char *out)
{
    if (decimals > 10)
        return Fast::Unsure;
    const double scaled = std::fabs(value) * kExact10[decimals];
    if (!(scaled < 1e11))
        return Fast::Unsure;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-3)
        return Fast::Unsure;
    quint64 n = quint64(whole) + (fraction > 0.5 ? 1 : 0);
    const bool negative = value < 0 && n != 0;
    char text[32];
    int at = 32;
    for (int i = 0; i < decimals; ++i, n /= 10)
        text[--at] = char('0' + n % 10);
    if (decimals > 0)
        text[--at] = '.';
    do {
        text[--at] = char('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (negative)
        text[--at] = '-';
    if (32 - at > length)
        return Fast::TooLong;
    putRightAligned(QByteArrayView(text + at, 32 - at), length, out);
    return Fast::Fits;
}

// An integer type a double holds exactly whatever its value.
bool smallInteger(const QVariant &v)
{
    const int t = v.typeId();
    return t == QMetaType::Int || t == QMetaType::UInt || t == QMetaType::Short || t == QMetaType::UShort;
}

QByteArray integerText(const QVariant &v, int decimals)
{
    const bool negative = v.typeId() != QMetaType::ULongLong && v.toLongLong() < 0;
    const QByteArray digits = negative ? QByteArray::number(v.toLongLong()).mid(1) : QByteArray::number(v.toULongLong());
    return withPoint(digits + QByteArray(decimals, '0'), decimals, negative);
}

// The number a value stands for; refuses what is not one.
double numberOf(const QVariant &v, bool *blank)
{
    double d = 0;
    bool ok = false;
    *blank = false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        *blank = s.isEmpty();
        if (*blank)
            return 0;
        d = QLocale::c().toDouble(s, &ok);
    } else if (v.typeId() != QMetaType::QDate && v.typeId() != QMetaType::QDateTime) {
        d = v.toDouble(&ok);
    }
    if (!ok)
        refuse(QStringLiteral("\"%1\" is not a number").arg(v.toString()));
    if (!std::isfinite(d))
        refuse(QStringLiteral("%1 is not a finite number").arg(d));
    return d;
}

void encodeNumber(const DbfField &f, const QVariant &v, char *out)
{
    const auto tooLong = [&] {
        refuse(QStringLiteral("%1 does not fit a width of %2 with %3 decimals")
                   .arg(v.toString())
                   .arg(f.length)
                   .arg(f.decimals));
    };
    // True when the fast formatter wrote the number; it refuses one too long.
    const auto written = [&](double d) {
        const Fast fast = fastFormat(d, f.length, f.decimals, out);
        if (fast == Fast::TooLong)
            tooLong();
        return fast == Fast::Fits;
    };
    QByteArray text;
    if (isInteger(v)) {
        if (smallInteger(v) && written(double(v.toLongLong())))
            return;
        text = integerText(v, f.decimals);
    } else {
        bool blank = false;
        const double d = numberOf(v, &blank);
        if (blank) {
            memset(out, ' ', size_t(f.length));
            return;
        }
        if (written(d))
            return;
        text = formatNumber(d, f.length, f.decimals);
        if (text.isEmpty())
            tooLong();
        text = text.trimmed();
    }
    if (text.size() > f.length)
        tooLong();
    putRightAligned(text, f.length, out);
}

QDate dateOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString().trimmed();
    for (const char *format : {"dd.MM.yyyy", "yyyyMMdd", "yyyy-MM-dd"}) {
        const QDate d = QDate::fromString(s, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    return {};
}

void encodeDate(const DbfField &f, const QVariant &v, char *out)
{
    if (f.length != 8)
        refuse(QStringLiteral("a date field of %1 bytes").arg(f.length));
    if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty()) {
        memset(out, ' ', 8);
        return;
    }
    const QDate d = dateOf(v);
    int parts[3] = {0, 0, 0};  // year, month, day, in one look at the calendar
    if (d.isValid())
        d.getDate(&parts[0], &parts[1], &parts[2]);
    if (!d.isValid())
        refuse(QStringLiteral("\"%1\" is not a date").arg(v.toString()));
    // Eight digits hold the years 1 to 9999; any other would be written wrong.
    if (parts[0] < 1 || parts[0] > 9999)
        refuse(QStringLiteral("Data %1 nu poate fi scrisa in tabela: anul trebuie sa fie intre 1 si 9999. (year %2)")
                   .arg(QLocale::c().toString(d, QStringLiteral("dd.MM.yyyy")))
                   .arg(parts[0]));
    const int widths[3] = {4, 2, 2};
    int at = 8;
    for (int p = 2; p >= 0; --p)
        for (int i = 0, n = parts[p]; i < widths[p]; ++i, n /= 10)
            out[--at] = char('0' + n % 10);
}

char logicalOf(const QVariant &v)
{
    if (v.typeId() != QMetaType::QString)
        return v.toBool() ? 'T' : 'F';
    const QString s = v.toString().trimmed().toUpper();
    if (s.isEmpty())
        return ' ';
    if (s == QLatin1String("T") || s == QLatin1String("Y") || s == QLatin1String("TRUE"))
        return 'T';
    if (s == QLatin1String("F") || s == QLatin1String("N") || s == QLatin1String("FALSE"))
        return 'F';
    refuse(QStringLiteral("\"%1\" is not a logical value").arg(v.toString()));
}

void encodeLogical(const DbfField &f, const QVariant &v, char *out)
{
    if (f.length < 1)
        refuse(QStringLiteral("a logical field of 0 bytes"));
    memset(out, ' ', size_t(f.length));
    out[0] = logicalOf(v);
}

// The decoders themselves, internal so that the scan's one call per field
// inlines them.

QByteArrayView trimmedBytes(QByteArrayView raw)
{
    // Numbers stand right-aligned after a run of blanks: skip it eight at a time.
    const qsizetype e = blankEnd(raw);
    qsizetype b = 0;
    while (b + 8 <= e) {
        quint64 word;
        memcpy(&word, raw.data() + b, 8);
        const quint64 other = ~blankBytes(word) & 0x8080808080808080ULL;
        if (other) {
            b += std::countr_zero(other) / 8;
            break;
        }
        b += 8;
    }
    while (b < e && isPad(raw[b]))
        ++b;
    return raw.sliced(b, e - b);
}

// s made n characters long, with room for `room` (at least n) to be written;
// it keeps its buffer when that is its own and large enough (the common case
// in a scan) without the library's out-of-line resize. The caller writes the
// characters, then ends them.
// Kept out of line and cold: the loops that call sized() keep their registers.
Q_NEVER_INLINE Q_DECL_COLD_FUNCTION void grow(QString &s, qsizetype room) { s.resize(room); }

QChar *sized(QString &s, qsizetype n, qsizetype room)
{
    QString::DataPointer &d = s.data_ptr();
    if (d.needsDetach() || room > d.size + d.freeSpaceAtEnd()) [[unlikely]]
        grow(s, room);
    d.size = n;
    return reinterpret_cast<QChar *>(d.data());
}
void ended(QString &s) { s.data_ptr().data()[s.size()] = u'\0'; }

bool decodeText(QByteArrayView raw, QString &into)
{
    const qsizetype e = blankEnd(raw);
    if (e == 0)
        return false;
    Cp1250::decode(raw.first(e), sized(into, e, e));
    ended(into);
    return true;
}

Number decodeNumber(QByteArrayView raw)
{
    const QByteArrayView t = trimmedBytes(raw);
    return t.isEmpty() ? Number{} : trimmedNumber(t);
}

// Eight ASCII digits (the first lowest) as a number; -1 when one is not a digit.
int eightDigits(quint64 w)
{
    constexpr quint64 High = 0xF0F0F0F0F0F0F0F0ULL, Zeros = 0x3030303030303030ULL;
    if ((w & High) != Zeros || ((w + 0x0606060606060606ULL) & High) != Zeros)
        return -1;
    w = (w & 0x0F0F0F0F0F0F0F0FULL) * 2561 >> 8;
    w = (w & 0x00FF00FF00FF00FFULL) * 6553601 >> 16;
    return int((w & 0x0000FFFF0000FFFFULL) * 42949672960001ULL >> 32);
}

int decodeDate(QByteArrayView raw)
{
    if (raw.size() == 8) {
        quint64 w;
        memcpy(&w, raw.data(), 8);
        const int v = eightDigits(w);
        if (v >= 0)
            return v == 0 || isDate(v) ? v : -1;
    }
    // Blank, or zeros among blanks: an empty date as some writers store it.
    if (std::all_of(raw.begin(), raw.end(), [](char c) { return c == '0' || isPad(c); }))
        return 0;
    return -1;
}

int decodeLogical(QByteArrayView raw)
{
    const QByteArrayView t = trimmedBytes(raw);
    if (t.isEmpty() || t == "?")
        return -1;
    if (t.size() != 1)
        return -2;
    switch (t[0]) {
    case 'T': case 't': case 'Y': case 'y':
        return 1;
    case 'F': case 'f': case 'N': case 'n':
        return 0;
    default:
        return -2;
    }
}

} // namespace

bool isBlank(QByteArrayView raw)
{
    return blankEnd(raw) == 0;
}

QByteArrayView trimmed(QByteArrayView raw) { return trimmedBytes(raw); }
bool text(QByteArrayView raw, QString &into) { return decodeText(raw, into); }
Number number(QByteArrayView raw) { return decodeNumber(raw); }
int dateNumber(QByteArrayView raw) { return decodeDate(raw); }
int logical(QByteArrayView raw) { return decodeLogical(raw); }


bool isNull(char type, QByteArrayView raw)
{
    switch (type) {
    case 'D':
        return dateNumber(raw) == 0;
    case 'L':
        return logical(raw) == -1;
    default:
        return isBlank(raw);
    }
}

QString text(QByteArrayView raw)
{
    QString s;
    text(raw, s);
    return s;
}


bool utf8(QByteArrayView raw, std::string &scratch, std::string_view *out)
{
    const qsizetype n = blankEnd(raw);
    if (n == 0)
        return false;
    const char *d = raw.data();
    qsizetype i = asciiPrefix(raw.first(n));
    if (i == n) {
        *out = std::string_view(d, size_t(n));
        return true;
    }
    static const Utf8Table t;
    scratch.resize(size_t(n) * 3);
    char *w = scratch.data();
    memcpy(w, d, size_t(i));
    w += i;
    for (; i < n; ++i) {
        const uchar b = uchar(d[i]);
        memcpy(w, t.bytes[b], t.length[b]);
        w += t.length[b];
    }
    *out = std::string_view(scratch.data(), size_t(w - scratch.data()));
    return true;
}


bool number(QByteArrayView raw, double *out)
{
    const Number n = number(raw);
    *out = n.value();
    return n.kind == Number::Int || n.kind == Number::Real;
}


QDate date(QByteArrayView raw)
{
    const int v = dateNumber(raw);
    return v > 0 ? date(v) : QDate();
}


QByteArray formatNumber(double value, int length, int decimals)
{
    const double magnitude = std::fabs(value);
    // More integer digits than the width: no need to build them.
    if (magnitude >= 1 && std::log10(magnitude) >= length)
        return {};
    return rightAligned(withPoint(scaledDigits(magnitude, decimals), decimals, value < 0), length);
}

namespace {

Decoded putNumber(const Number &n, DbfValue &into)
{
    if (n.kind == Number::Bad)
        return Decoded::NotNumber;
    if (n.kind != Number::Null) {
        into.kind = DbfValue::Number;
        into.number = n.value();
    }
    return Decoded::Ok;
}

Q_ALWAYS_INLINE Decoded decodeField(char type, QByteArrayView raw, DbfValue &into)
{
    into.kind = DbfValue::Null;
    switch (type) {
    case 'C':
        if (decodeText(raw, into.text))
            into.kind = DbfValue::Text;
        return Decoded::Ok;
    case 'N':
    case 'F':
        return putNumber(decodeNumber(raw), into);
    case 'D': {
        const int v = decodeDate(raw);
        if (v < 0)
            return Decoded::NotDate;
        if (v > 0) {
            into.kind = DbfValue::Date;
            into.date = date(v);
        }
        return Decoded::Ok;
    }
    case 'L': {
        const int v = decodeLogical(raw);
        if (v == -2)
            return Decoded::NotLogical;
        if (v >= 0) {
            into.kind = DbfValue::Logical;
            into.logical = v == 1;
        }
        return Decoded::Ok;
    }
    default:
        return Decoded::Unsupported;
    }
}

// An eight-digit date field: the digits in pairs (yy yy mm dd) by one
// multiplication; anything else goes to the general reader.
Q_ALWAYS_INLINE Decoded recordDate(const char *p, DbfValue &into)
{
    quint64 w;
    memcpy(&w, p, 8);
    constexpr quint64 High = 0xF0F0F0F0F0F0F0F0ULL, Zeros = 0x3030303030303030ULL;
    if ((w & High) == Zeros && ((w + 0x0606060606060606ULL) & High) == Zeros) {
        const quint64 pairs = (w & 0x0F0F0F0F0F0F0F0FULL) * 2561 >> 8;
        const int y = int(pairs & 0xFF) * 100 + int(pairs >> 16 & 0xFF), m = int(pairs >> 32 & 0xFF), d = int(pairs >> 48 & 0xFF);
        if (isDate(y, m, d)) {
            into.kind = DbfValue::Date;
            into.date = date(y, m, d);
            return Decoded::Ok;
        }
    }
    return decodeField('D', QByteArrayView(p, 8), into);
}

// The lanes of a number field of up to sixteen bytes, read as trimmedNumber
// reads it, a bit a lane (the sixteen bytes that end with the field).
struct NumberLanes
{
    unsigned body = 0;   // not pad, inside the field
    unsigned digits = 0; // inside the field
    unsigned point = 0;  // '.' in the body
    unsigned sign = 0;   // '-' first in the body

    NumberLanes(unsigned pad, unsigned digitLanes, unsigned points, unsigned minus)
        : body(~pad & 0xFFFFu), digits(digitLanes & 0xFFFFu), point(points & body)
    {
        sign = minus & body & (0u - body);
    }
    // Blank, or one run to the end of the field of digits with at most one
    // point, after the sign: what the lanes give; anything else (a plus sign,
    // an exponent, blanks after it, not a number) is for the general reader.
    bool plain() const
    {
        const unsigned first = body & (0u - body);
        return body == 0
               || ((((body + first) ^ 0x10000) | ((body & ~digits) ^ (point | sign)) | (point & (point - 1))) == 0
                   && digits != 0);
    }
    // The number of the sixteen-digit mantissa (the digits before the point
    // moved up one lane into its place): at most 15 digits with a point
    // (under 2^53), 16 without.
    void put(quint64 mantissa, DbfValue &into) const
    {
        if (body == 0) {
            into.kind = DbfValue::Null;
            return;
        }
        into.kind = DbfValue::Number;
        into.number = fromDigits(mantissa, point ? 15 - std::countr_zero(point) : -1, sign != 0).value();
    }
};

Q_ALWAYS_INLINE Decoded generalNumber(const char *p, int length, DbfValue &into)
{
    into.kind = DbfValue::Null;
    return putNumber(decodeNumber(QByteArrayView(p, length)), into);
}

#ifdef __SSE2__
// The readers of a table's records. A field lies in the table's bytes after a
// header of more than 16 bytes, so the sixteen bytes before its end can be
// loaded even for a short field at the start of the first record; the lanes
// before the field are masked off.

Q_ALWAYS_INLINE __m128i load16(const char *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); }

// Lanes 0 to n-1 set, for n from 0 to 16.
struct LaneMasks
{
    alignas(16) quint8 below[17][16] = {};
    constexpr LaneMasks()
    {
        for (int n = 0; n <= 16; ++n)
            for (int i = 0; i < n; ++i)
                below[n][i] = 0xFF;
    }
};
constexpr LaneMasks kLanes;
Q_ALWAYS_INLINE __m128i lanesBelow(int n) { return _mm_load_si128(reinterpret_cast<const __m128i *>(kLanes.below[n])); }

// Lanes holding a blank or a NUL (the two differ in bit 5 only).
Q_ALWAYS_INLINE __m128i padLanes(__m128i v)
{
    return _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xDF))), _mm_setzero_si128());
}
Q_ALWAYS_INLINE unsigned bits(__m128i lanes) { return unsigned(_mm_movemask_epi8(lanes)); }
// std::bit_width without its branch for 0 (the baseline has no lzcnt).
Q_ALWAYS_INLINE int bitWidth(quint32 x) { return 63 - __builtin_clzll(quint64(x) << 1 | 1); }

// Length of a field without its trailing pad: thirty-two bytes at a time
// while they are all pad (wide fields are often blank), then sixteen.
Q_ALWAYS_INLINE int fieldEnd(const char *p, int length)
{
    int e = length;
    while (e >= 32 && bits(_mm_and_si128(padLanes(load16(p + e - 16)), padLanes(load16(p + e - 32)))) == 0xFFFF)
        e -= 32;
    for (; e > 0; e -= 16) {
        unsigned pad = bits(padLanes(load16(p + e - 16)));
        if (e < 16)
            pad |= (1u << (16 - e)) - 1; // lanes before the field
        if (pad != 0xFFFF)
            return e - 16 + 32 - std::countl_zero(~pad & 0xFFFFu);
    }
    return 0;
}

// The first sixteen bytes of a field of up to sixteen at the end of its
// record, in the lanes from the first, zeros after.
Q_ALWAYS_INLINE __m128i firstSixteen(const char *p, int length)
{
    unsigned __int128 x;
    memcpy(&x, p + length - 16, 16);
    x >>= 8 * (16 - length);
    return _mm_set_epi64x(qint64(quint64(x >> 64)), qint64(quint64(x)));
}

// Where a text ends and which of its bytes are at or above 0x80, a bit a
// lane of the first 32 bytes from its start.
struct TextLanes
{
    quint32 text; // not pad
    quint32 high;
    int end() const { return bitWidth(text); }
};

// A text whose end is in lanes of the bytes from its start: the string is
// given room for all of them (a whole number of vectors), the caller widens
// them all at out, whatever the text's length, then textWidened() puts the
// few characters at or above 0x80 through the table.
Q_ALWAYS_INLINE QChar *textRoom(TextLanes lanes, int room, DbfValue &into)
{
    return sized(into.text, lanes.end(), room);
}
Q_ALWAYS_INLINE void textWidened(TextLanes lanes, QChar *out, DbfValue &into)
{
    Cp1250::widenHigh(lanes.high, out);
    out[lanes.end()] = u'\0';
    into.kind = lanes.text ? DbfValue::Text : DbfValue::Null;
}

// A text field of up to sixteen bytes the record holds sixteen from the start of.
Q_ALWAYS_INLINE void recordText16(const char *p, quint32 field, DbfValue &into)
{
    const __m128i v = load16(p);
    const TextLanes lanes{~bits(padLanes(v)) & field, bits(v) & field};
    QChar *out = textRoom(lanes, 16, into);
    Cp1250::widenAscii(v, out);
    textWidened(lanes, out, into);
}

// A text field of up to thirty-two bytes the record holds thirty-two from the start of.
Q_ALWAYS_INLINE void recordText32(const char *p, quint32 field, DbfValue &into)
{
    const __m128i a = load16(p), b = load16(p + 16);
    const TextLanes lanes{~(bits(padLanes(a)) | bits(padLanes(b)) << 16) & field, (bits(a) | bits(b) << 16) & field};
    QChar *out = textRoom(lanes, 32, into);
    Cp1250::widenAscii(a, out);
    Cp1250::widenAscii(b, out + 16);
    textWidened(lanes, out, into);
}

// Any other text field: its end found from the back, then widened.
Q_ALWAYS_INLINE void recordText(const char *p, int length, DbfValue &into)
{
    const int e = fieldEnd(p, length);
    // A short text is widened sixteen at once: room for sixteen.
    QChar *out = sized(into.text, e, std::max(e, 16));
    if (e >= 16)
        Cp1250::decode(QByteArrayView(p, e), out);
    else if (e > 0)
        Cp1250::widen(length >= 16 ? load16(p) : firstSixteen(p, length), out);
    ended(into.text);
    into.kind = e ? DbfValue::Text : DbfValue::Null;
}

// A text field of more than thirty-two bytes: most hold a shorter text, read
// as one of thirty-two once the rest is seen to be pad.
Q_ALWAYS_INLINE void recordLongText(const char *p, int length, DbfValue &into)
{
    __m128i pad = _mm_set1_epi8(-1);
    for (int at = 32; at < length; at += 16)
        pad = _mm_and_si128(pad, padLanes(load16(p + std::min(at, length - 16))));
    if (bits(pad) == 0xFFFF) [[likely]]
        recordText32(p, 0xFFFFFFFFu, into);
    else
        recordText(p, length, into);
}

// Sixteen digit values (0 to 9 a lane, the first the most significant) as a
// number: pairs, fours, eights by multiply-adds on the lanes, then the two eights.
Q_ALWAYS_INLINE quint64 sixteenValues(__m128i digits)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i tens = _mm_set1_epi32(0x0001000A);
    const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(digits, zero), tens),
                                          _mm_madd_epi16(_mm_unpackhi_epi8(digits, zero), tens));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00010064));
    const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), _mm_set1_epi32(0x00012710));
    const quint64 both = quint64(_mm_cvtsi128_si64(eights));
    return (both & 0xFFFFFFFF) * 100000000 + (both >> 32);
}

// Lanes that are digits (their values in values), inside the field.
Q_ALWAYS_INLINE __m128i digitLanes(__m128i values, __m128i outside)
{
    return _mm_andnot_si128(outside, _mm_cmpeq_epi8(_mm_subs_epu8(values, _mm_set1_epi8(9)), _mm_setzero_si128()));
}

// The digit values with those before the point moved up one lane into its place.
Q_ALWAYS_INLINE __m128i closedUp(__m128i digits, unsigned point)
{
    if (!point)
        return digits;
    const __m128i before = lanesBelow(std::countr_zero(point) + 1);
    return _mm_or_si128(_mm_and_si128(before, _mm_slli_si128(digits, 1)), _mm_andnot_si128(before, digits));
}

// A number field of up to sixteen bytes as lanes: the digit values, which of
// them are digits, and what the lanes say of the field.
struct NumberField
{
    __m128i values;
    __m128i isDigit;
    NumberLanes lanes;
};
Q_ALWAYS_INLINE NumberField numberField(const char *p, int length)
{
    const __m128i v = load16(p + length - 16);
    const __m128i outside = lanesBelow(16 - length);
    const __m128i values = _mm_sub_epi8(v, _mm_set1_epi8('0'));
    const __m128i isDigit = digitLanes(values, outside);
    return {values, isDigit,
            NumberLanes(bits(_mm_or_si128(padLanes(v), outside)), bits(isDigit), bits(_mm_cmpeq_epi8(v, _mm_set1_epi8('.'))),
                        bits(_mm_cmpeq_epi8(v, _mm_set1_epi8('-'))))};
}

// A number field of up to sixteen bytes, in one pass over sixteen lanes.
Q_ALWAYS_INLINE Decoded recordNumber(const char *p, int length, DbfValue &into)
{
    const NumberField f = numberField(p, length);
    if (!f.lanes.plain()) [[unlikely]]
        return generalNumber(p, length, into);
    f.lanes.put(sixteenValues(closedUp(_mm_and_si128(f.values, f.isDigit), f.lanes.point)), into);
    return Decoded::Ok;
}

// Whether it can be read, without reading it.
Q_ALWAYS_INLINE bool numberReadable(const char *p, int length)
{
    return numberField(p, length).lanes.plain() || decodeNumber(QByteArrayView(p, length)).kind != Number::Bad;
}
#else
bool numberReadable(const char *p, int length) { return decodeNumber(QByteArrayView(p, length)).kind != Number::Bad; }
#endif

Q_ALWAYS_INLINE Decoded decodeStep(const Step &field, const char *record, DbfValue &into)
{
    const char *p = record + field.offset;
#ifdef __SSE2__
    switch (field.op) {
    case Step::Text16:
        recordText16(p, field.lanes, into);
        return Decoded::Ok;
    case Step::Text32:
        recordText32(p, field.lanes, into);
        return Decoded::Ok;
    case Step::Text:
        if (field.length > 32)
            recordLongText(p, field.length, into);
        else
            recordText(p, field.length, into);
        return Decoded::Ok;
    case Step::Number16:
        return recordNumber(p, field.length, into);
    case Step::Date:
        return recordDate(p, into);
    case Step::Other:
    case Step::Ops:
        break;
    }
#endif
    return decodeField(field.type, QByteArrayView(p, field.length), into);
}

// One group of a record's fields, all read the same way; whether all could
// be read. The steps are taken by pointers held in locals: the stores into
// the values could otherwise alias the plan.
template <Step::Op op>
Q_ALWAYS_INLINE bool decodeGroup(const Plan &plan, const char *record, DbfValue *into)
{
    bool ok = true;
    const std::vector<Step> &group = plan.groups[op];
    for (const Step *s = group.data(), *end = s + group.size(); s != end; ++s) {
        Step step = *s;
        step.op = op;
        // The value by a byte offset worked out with the plan: one addition.
        DbfValue &value = *reinterpret_cast<DbfValue *>(reinterpret_cast<char *>(into) + s->at);
        ok &= decodeStep(step, record, value) == Decoded::Ok;
    }
    return ok;
}

// Whether the fields of a group can be read, the commonest kinds without
// working out their values.
template <Step::Op op>
Q_ALWAYS_INLINE bool checkGroup(const Plan &plan, const char *record, DbfValue *into)
{
    bool ok = true;
    for (const Step &s : plan.groups[op]) {
        const char *p = record + s.offset;
        if constexpr (op == Step::Number16)
            ok &= numberReadable(p, s.length);
        else if constexpr (op == Step::Date)
            ok &= decodeDate(QByteArrayView(p, 8)) >= 0;
        else
            ok &= decodeStep(s, record, into[s.field]) == Decoded::Ok;
    }
    return ok;
}

bool checkOthers(const char *record, const Plan &plan, DbfValue *into)
{
    bool ok = checkGroup<Step::Number16>(plan, record, into);
    ok = checkGroup<Step::Date>(plan, record, into) && ok;
    return checkGroup<Step::Other>(plan, record, into) && ok;
}

bool decodeOthers(const char *record, const Plan &plan, DbfValue *into)
{
    bool ok = decodeGroup<Step::Number16>(plan, record, into);
    ok = decodeGroup<Step::Date>(plan, record, into) && ok;
    return decodeGroup<Step::Other>(plan, record, into) && ok;
}

bool decodeRecord(const char *record, const Plan &plan, DbfValue *into)
{
    // Every group runs, whatever an earlier one found.
    bool ok = decodeGroup<Step::Text16>(plan, record, into);
    ok = decodeGroup<Step::Text32>(plan, record, into) && ok;
    ok = decodeGroup<Step::Text>(plan, record, into) && ok;
    return decodeOthers(record, plan, into) && ok;
}

// The first field that cannot be read, in the fields' order.
int firstRefused(const char *record, const Plan &plan, DbfValue *into, Decoded *why)
{
    for (const Step &s : plan.fields) {
        *why = decodeStep(s, record, into[s.field]);
        if (*why != Decoded::Ok)
            return s.field;
    }
    return -1;
}

} // namespace

Plan plan(const QList<DbfField> &fields, int recordLength)
{
    Plan p;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const DbfField &f = fields[i];
        Step s;
        s.type = f.type;
        s.field = int(i);
        s.at = i * qsizetype(sizeof(DbfValue));
        s.offset = f.offset;
        s.length = f.length;
        s.lanes = f.length >= 32 ? ~0u : (1u << f.length) - 1;
        // How many bytes the record holds from the field's start.
        const int room = recordLength - f.offset;
        const bool number = f.type == 'N' || f.type == 'F';
        s.op = f.type == 'C' && f.length <= 16 && room >= 16   ? Step::Text16
               : f.type == 'C' && f.length <= 32 && room >= 32 ? Step::Text32
               : f.type == 'C'                                 ? Step::Text
               : number && f.length <= 16                      ? Step::Number16
               : f.type == 'D' && f.length == 8                ? Step::Date
                                                               : Step::Other;
        p.fields.push_back(s);
        p.groups[s.op].push_back(s);
    }
    return p;
}

Decoded decode(const Step &field, const char *record, DbfValue &into) { return decodeStep(field, record, into); }

int decode(const char *record, const Plan &plan, DbfValue *into, Decoded *why)
{
    if (decodeRecord(record, plan, into)) [[likely]]
        return -1;
    return firstRefused(record, plan, into, why);
}

int check(const char *record, const Plan &plan, DbfValue *into, Decoded *why)
{
    if (checkOthers(record, plan, into)) [[likely]]
        return -1;
    return firstRefused(record, plan, into, why);
}

QString unsupported(char type, bool foxPro)
{
    // B is a memo in dBase IV, a binary double in Visual FoxPro.
    const bool memo = type == 'M' || type == 'G' || type == 'P' || (type == 'B' && !foxPro);
    return memo ? QStringLiteral("memo fields are not supported")
                : QStringLiteral("fields of type '%1' are not supported").arg(QLatin1Char(type));
}

void encode(const DbfField &f, const QVariant &v, char *out)
{
    if (v.isNull() && v.typeId() != QMetaType::QString) {
        memset(out, ' ', size_t(f.length));
        return;
    }
    switch (f.type) {
    case 'C':
        return encodeText(f, v, out);
    case 'N':
    case 'F':
        return encodeNumber(f, v, out);
    case 'D':
        return encodeDate(f, v, out);
    case 'L':
        return encodeLogical(f, v, out);
    default:
        refuse(unsupported(f.type, false));
    }
}

} // namespace DbfCodec
