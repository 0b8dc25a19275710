#pragma once

#include <QByteArray>
#include <QString>

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

    // The byte for a character, or false when the code page cannot hold it.
    // S/T with comma below (as modern keyboards type them) become the cedilla
    // forms the code page has.
    static bool fromUnicode(QChar c, char *byte);
    // Characters the code page cannot hold become '?'.
    static QByteArray encode(QStringView text);
    static bool canEncode(QStringView text);
};
