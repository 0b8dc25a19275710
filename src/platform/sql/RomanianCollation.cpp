#include "platform/sql/RomanianCollation.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Weights of one character on the three levels.
struct Weight
{
    quint32 primary;
    quint8 secondary; // accent other than the Romanian letters
    quint8 tertiary;  // 1 lower or uncased, 2 upper
};

constexpr quint32 LetterBase = 0x100;
constexpr quint32 OtherBase = 0x200;

Weight letter(int base, int variant, int accent, bool upper)
{
    return {LetterBase + quint32(base) * 4 + quint32(variant), quint8(accent), quint8(upper ? 2 : 1)};
}

Weight computeWeight(char32_t cp)
{
    if (cp < 0x80) {
        if (cp >= 'a' && cp <= 'z')
            return letter(int(cp - 'a'), 0, 0, false);
        if (cp >= 'A' && cp <= 'Z')
            return letter(int(cp - 'A'), 0, 0, true);
        return {quint32(cp) + 1, 0, 1};
    }
    switch (cp) {
    case 0x0103: return letter(0, 1, 0, false);  // ă
    case 0x0102: return letter(0, 1, 0, true);
    case 0x00E2: return letter(0, 2, 0, false);  // â
    case 0x00C2: return letter(0, 2, 0, true);
    case 0x00EE: return letter(8, 1, 0, false);  // î
    case 0x00CE: return letter(8, 1, 0, true);
    case 0x015F: case 0x0219: return letter(18, 1, 0, false); // ş ș
    case 0x015E: case 0x0218: return letter(18, 1, 0, true);
    case 0x0163: case 0x021B: return letter(19, 1, 0, false); // ţ ț
    case 0x0162: case 0x021A: return letter(19, 1, 0, true);
    default: break;
    }
    if (cp <= 0xFFFF) {
        // Other Latin letters with accents sort with their plain letter.
        const QChar c{char16_t(cp)};
        const QString dec = c.decomposition();
        if (!dec.isEmpty() && c.decompositionTag() == QChar::Canonical) {
            const char16_t b = dec.at(0).unicode();
            const quint8 accent = quint8(1 + (cp & 0x7F));
            if (b >= 'a' && b <= 'z')
                return letter(b - 'a', 0, accent, false);
            if (b >= 'A' && b <= 'Z')
                return letter(b - 'A', 0, accent, true);
        }
        if (c.isLower() || c.isUpper()) {
            const char16_t lower = c.toLower().unicode();
            return {OtherBase + lower, 0, quint8(c.isUpper() ? 2 : 1)};
        }
    }
    return {OtherBase + quint32(cp), 0, 1};
}

// Latin-1 and Latin Extended-A/B hold every letter of the office's code page.
constexpr char32_t TableSize = 0x250;

const std::array<Weight, TableSize> &table()
{
    static const std::array<Weight, TableSize> t = [] {
        std::array<Weight, TableSize> a{};
        for (char32_t cp = 0; cp < TableSize; ++cp)
            a[cp] = computeWeight(cp);
        return a;
    }();
    return t;
}

inline Weight weightOf(char32_t cp)
{
    return cp < TableSize ? table()[cp] : computeWeight(cp);
}

// Code points of UTF-16 text.
struct Utf16Reader
{
    QStringView s;
    qsizetype i = 0;
    bool next(char32_t *cp)
    {
        if (i >= s.size())
            return false;
        char16_t c = s[i++].unicode();
        if (QChar::isHighSurrogate(c) && i < s.size() && QChar::isLowSurrogate(s[i].unicode()))
            *cp = QChar::surrogateToUcs4(c, s[i++].unicode());
        else
            *cp = c;
        return true;
    }
};

// Code points of UTF-8 text; a broken sequence yields its lead byte alone.
struct Utf8Reader
{
    std::string_view s;
    size_t i = 0;
    bool next(char32_t *cp)
    {
        if (i >= s.size())
            return false;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        *cp = c;
        if (extra <= 0 || i + size_t(extra) >= s.size()) {
            ++i;
            return true;
        }
        char32_t v = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + size_t(k)]);
            if ((cc & 0xC0) != 0x80) {
                ++i;
                return true;
            }
            v = (v << 6) | (cc & 0x3F);
        }
        i += size_t(extra) + 1;
        *cp = v;
        return true;
    }
};

QStringView trimRight(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    return s.first(n);
}

std::string_view trimRight(std::string_view s)
{
    size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return s.substr(0, n);
}

template <class Reader, class Text>
int compareLevels(Text a, Text b)
{
    // Level 1 decides in almost every case; the others are walked only on a tie.
    for (int level = 0; level < 3; ++level) {
        Reader ra{a}, rb{b};
        char32_t ca = 0, cb = 0;
        for (;;) {
            const bool ha = ra.next(&ca);
            const bool hb = rb.next(&cb);
            if (!ha || !hb) {
                if (ha != hb)
                    return ha ? 1 : -1;
                break;
            }
            if (ca == cb)
                continue;
            const Weight wa = weightOf(ca), wb = weightOf(cb);
            quint32 va, vb;
            switch (level) {
            case 0: va = wa.primary; vb = wb.primary; break;
            case 1: va = wa.secondary; vb = wb.secondary; break;
            default: va = wa.tertiary; vb = wb.tertiary; break;
            }
            if (va != vb)
                return va < vb ? -1 : 1;
        }
    }
    return 0;
}

template <class Reader, class Text>
std::string makeKey(Text text)
{
    std::string key;
    key.reserve(size_t(text.size()) * 5 + 8);
    for (int level = 0; level < 3; ++level) {
        Reader r{text};
        char32_t cp = 0;
        while (r.next(&cp)) {
            const Weight w = weightOf(cp);
            if (level == 0) {
                key.push_back(char((w.primary >> 16) & 0xFF));
                key.push_back(char((w.primary >> 8) & 0xFF));
                key.push_back(char(w.primary & 0xFF));
            } else {
                key.push_back(char(level == 1 ? w.secondary + 1 : w.tertiary));
            }
        }
        if (level == 0)
            key.append(3, '\0');
        else if (level == 1)
            key.push_back('\0');
    }
    return key;
}

} // namespace

int RomanianCollation::compare(QStringView a, QStringView b)
{
    return compareLevels<Utf16Reader>(trimRight(a), trimRight(b));
}

namespace {

bool isContinuation(std::string_view s, size_t i)
{
    return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
}

// Where two texts' equal start ends, on a character both readers begin
// there: a byte that does not continue a sequence always starts one, so
// stepping back over continuation bytes finds it. What lies before weighs
// the same on every level in both, so only the rest needs comparing.
size_t commonStart(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    while (i > 0 && (isContinuation(a, i) || isContinuation(b, i)))
        --i;
    return i;
}

} // namespace

int RomanianCollation::compareUtf8(std::string_view a, std::string_view b)
{
    a = trimRight(a);
    b = trimRight(b);
    if (a == b)
        return 0;
    // Sorting names compares neighbours that share their start.
    const size_t start = commonStart(a, b);
    return compareLevels<Utf8Reader>(a.substr(start), b.substr(start));
}

std::string RomanianCollation::sortKey(QStringView text)
{
    return makeKey<Utf16Reader>(trimRight(text));
}

std::string RomanianCollation::sortKeyUtf8(std::string_view text)
{
    return makeKey<Utf8Reader>(trimRight(text));
}
