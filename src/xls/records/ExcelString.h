#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class TBaseRecord;

// A BIFF8 unicode string:
//   0    u8/u16  character count (the length field, 1 or 2 bytes)
//   +0   u8      option flags: 0x01 two bytes per character, 0x04 extension
//                block, 0x08 rich-text runs
//   +1   u16     run count (when 0x08)
//   +?   u32     extension size (when 0x04)
//   +?   ...     characters, then 4 bytes per run, then the extension block
// Runs and extension block are kept as read and written back unchanged.
class TExcelString
{
public:
    // Reads a string from record data at pos, across CONTINUE records; record
    // and pos are left after the string.
    TExcelString(int lengthFieldSize, const TBaseRecord *&record, int &pos);
    // A plain string (no runs) of a text. Characters that fit one byte are
    // stored compressed.
    TExcelString(int lengthFieldSize, const QString &text);
    // A string with rich-text runs as stored (4 bytes per run: first
    // character from 0, font).
    TExcelString(int lengthFieldSize, const QString &text, const QByteArray &richRuns);

    QString Value() const { return FValue; }
    int LengthFieldSize() const { return FLengthFieldSize; }
    quint8 OptionFlags() const { return FOptionFlags; }
    bool IsWide() const { return (FOptionFlags & 0x01) != 0; }
    // The rich-text runs as stored: per run the first character (u16) and the font (u16).
    const QByteArray &RichRuns() const { return FRichRuns; }
    // Bytes written with the length field.
    int TotalSize() const;

    // Writes at offset of data (which must have room), with or without the
    // length field.
    void CopyToPtr(QByteArray &data, int offset, bool withLength = true) const;
    QByteArray ToBytes(bool withLength = true) const;

    bool operator==(const TExcelString &other) const;

private:
    int FLengthFieldSize;
    quint8 FOptionFlags = 0;
    QString FValue;
    QByteArray FRichRuns;   // 4 bytes per run
    QByteArray FExtension;  // the extension block
};

// Byte size of the BIFF8 string at offset: length field of lengthFieldSize
// bytes (1 or 2), or, with lengthFieldSize 0, givenLength characters and no
// length field. Raises when the string runs past the data.
int StringByteSize(QByteArrayView data, int offset, int lengthFieldSize, int givenLength = 0);

// The text of the BIFF8 string at offset, and its byte size.
QString ReadBiffString(QByteArrayView data, int offset, int lengthFieldSize, int *byteSize = nullptr);
// The same, but characters that run past the data are left out: the text is
// cut to what the data holds (a writer that counts one character too many).
QString ReadBiffStringCut(QByteArrayView data, int offset, int lengthFieldSize);
