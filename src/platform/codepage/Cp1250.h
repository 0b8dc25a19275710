#pragma once

#include <QByteArray>
#include <QString>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <bit>

// Windows-1250, the code page of the office's tables, settings and documents.
// Text is QString inside the program; bytes only at file boundaries, here.
class Cp1250
{
public:
    // Every byte maps to one character; the five bytes the code page leaves
    // undefined map to the C1 controls of the same value, so any byte string
    // survives a decode/encode round trip.
    static QChar toUnicode(unsigned char byte);
    static QString decode(QByteArrayView bytes);
    // The same into room for bytes.size() characters, for callers that reuse a buffer.
    static void decode(QByteArrayView bytes, QChar *out);

    // The characters of the bytes 0x80 to 0xFF.
    static const char16_t Upper[128];
#ifdef __SSE2__
    // Sixteen bytes to sixteen characters at out: widened in two stores as if
    // plain ASCII, then the few at or above 0x80 through the table.
    static void widen(__m128i bytes, QChar *out)
    {
        widenAscii(bytes, out);
        widenHigh(unsigned(_mm_movemask_epi8(bytes)), out);
    }
    // The two steps apart: the bytes as if plain ASCII, then the characters
    // at out[i] for each bit i of high, which were bytes at or above 0x80.
    static void widenAscii(__m128i bytes, QChar *out)
    {
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    static void widenHigh(quint32 high, QChar *out)
    {
        for (; high != 0; high &= high - 1) {
            QChar &c = out[std::countr_zero(high)];
            c = QChar(Upper[c.unicode() - 0x80]);
        }
    }

    // The byte for a character, or false when the code page cannot hold it.
    // S/T with comma below (as modern keyboards type them) become the cedilla
    // forms the code page has.
    static bool fromUnicode(QChar c, char *byte);
    // Characters the code page cannot hold become '?'.
    static QByteArray encode(QStringView text);
    // The same into out, at most room bytes (the rest of the text is left
    // out); the count written. For callers that lay out records in place.
    static qsizetype encode(QStringView text, char *out, qsizetype room);
    static bool canEncode(QStringView text);
};
