#include "platform/codepage/Cp1250.h"

#include <cstring>

#include <array>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Undefined positions hold the C1 control of the same value.
const char16_t Cp1250::Upper[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

namespace {

// The byte of every BMP character, 0 where the code page has none: 64 KiB
// built once, so encoding is one lookup per character.
struct Reverse
{
    std::array<unsigned char, 0x10000> byteOf{};
    Reverse()
    {
        for (int i = 0; i < 128; ++i)
            byteOf[i] = static_cast<unsigned char>(i);
        for (int i = 0; i < 128; ++i)
            byteOf[Cp1250::Upper[i]] = static_cast<unsigned char>(0x80 + i);
        // Romanian letters with comma below are written with the cedilla forms.
        byteOf[0x0218] = 0xAA; // Ș -> Ş
        byteOf[0x0219] = 0xBA; // ș -> ş
        byteOf[0x021A] = 0xDE; // Ț -> Ţ
        byteOf[0x021B] = 0xFE; // ț -> ţ
    }
};

const Reverse &reverse()
{
    static const Reverse r;
    return r;
}

} // namespace

QChar Cp1250::toUnicode(unsigned char byte)
{
    return byte < 0x80 ? QChar(byte) : QChar(Upper[byte - 0x80]);
}

QString Cp1250::decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    decode(bytes, out.data());
    return out;
}

void Cp1250::decode(QByteArrayView bytes, QChar *out)
{
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
#ifdef __SSE2__
    // Sixteen at a time; a last part under sixteen is done as the last
    // sixteen, which writes again the same characters for the bytes before it.
    if (n >= 16) {
        for (; i + 16 <= n; i += 16)
            widen(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i)), out + i);
        if (i < n)
            widen(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + n - 16)), out + n - 16);
        return;
    }
#endif
    for (; i < n; ++i)
        out[i] = toUnicode(p[i]);
}

bool Cp1250::fromUnicode(QChar c, char *byte)
{
    const unsigned char b = reverse().byteOf[c.unicode()];
    if (b == 0 && c.unicode() != 0) {
        *byte = '?';
        return false;
    }
    *byte = static_cast<char>(b);
    return true;
}

QByteArray Cp1250::encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(encode(text, out.data(), out.size()));
    return out;
}

qsizetype Cp1250::encode(QStringView text, char *out, qsizetype room)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size() && n < room; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {  // the same byte; most text is plain
            out[n++] = char(c);
            continue;
        }
        // A character outside the BMP is one '?', not one per surrogate.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        fromUnicode(text[i], out + n++);
    }
    return n;
}

bool Cp1250::canEncode(QStringView text)
{
    char b;
    for (QChar c : text)
        if (!fromUnicode(c, &b))
            return false;
    return true;
}
