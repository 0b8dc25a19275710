#include "xls/records/ExcelString.h"

#include "xls/records/BaseRecord.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

namespace {
constexpr quint8 FlagWide = 0x01;
constexpr quint8 FlagExtension = 0x04;
constexpr quint8 FlagRichText = 0x08;

// Reads count bytes across the continue chain. The buffer grows by at most one
// record's worth ahead of the bytes actually read, so a count the chain cannot
// hold raises without a large allocation, and without measuring the rest of
// the chain first (a string table reads many strings from one long chain).
QByteArray ReadChunkAcrossContinue(const TBaseRecord *&record, int &pos, qint64 count)
{
    constexpr qint64 Step = 8224;  // the most data a BIFF8 record carries
    QByteArray bytes;
    for (qint64 done = 0; done < count;) {
        const int n = static_cast<int>(qMin(count - done, Step));
        bytes.resize(static_cast<qsizetype>(done + n));
        ReadAcrossContinue(record, pos, n, bytes.data() + done);
        done += n;
    }
    return bytes;
}

quint32 ReadIntAcrossContinue(const TBaseRecord *&record, int &pos, int size)
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    ReadAcrossContinue(record, pos, size, reinterpret_cast<char *>(bytes));
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (quint32(bytes[3]) << 24);
}

int MaxCharacters(int lengthFieldSize)
{
    return lengthFieldSize == 1 ? 0xFF : 0xFFFF;
}

// Where the parts of a string stand in a flat buffer.
struct TStringLayout
{
    int CharCount = 0;
    bool Wide = false;
    qsizetype CharsOffset = 0;
    qint64 TotalSize = 0;
};

// With cut, characters that run past the data are left out instead of refused.
TStringLayout ParseLayout(QByteArrayView data, int offset, int lengthFieldSize, int givenLength, bool cut = false)
{
    ByteCursor cursor(data);
    cursor.seek(offset);
    TStringLayout layout;
    if (lengthFieldSize == 1)
        layout.CharCount = cursor.u8();
    else if (lengthFieldSize == 2)
        layout.CharCount = cursor.u16();
    else
        layout.CharCount = givenLength;
    const quint8 flags = cursor.u8();
    const int runs = (flags & FlagRichText) ? cursor.u16() : 0;
    const qint64 extension = (flags & FlagExtension) ? cursor.u32() : 0;
    layout.Wide = (flags & FlagWide) != 0;
    layout.CharsOffset = cursor.pos();
    qint64 rest = qint64(layout.CharCount) * (layout.Wide ? 2 : 1) + qint64(runs) * 4 + extension;
    if (cut && rest > cursor.remaining()) {
        layout.CharCount = qMin(layout.CharCount, int(cursor.remaining() / (layout.Wide ? 2 : 1)));
        rest = cursor.remaining();
    }
    if (layout.CharCount < 0 || rest > cursor.remaining())
        cursor.fail(QString::fromLatin1(XlsRecordMessages::ErrReadingRecord));
    layout.TotalSize = cursor.pos() - offset + rest;
    return layout;
}

QString LaidOutText(QByteArrayView data, const TStringLayout &layout)
{
    const QByteArrayView chars = data.sliced(layout.CharsOffset);
    if (!layout.Wide)
        return QString::fromLatin1(chars.first(layout.CharCount));
    QString text(layout.CharCount, Qt::Uninitialized);
    for (int i = 0; i < layout.CharCount; ++i)
        text[i] = QChar(static_cast<quint8>(chars[2 * i]) | (static_cast<quint8>(chars[2 * i + 1]) << 8));
    return text;
}
} // namespace

TExcelString::TExcelString(int lengthFieldSize, const TBaseRecord *&record, int &pos)
    : FLengthFieldSize(lengthFieldSize)
{
    if (lengthFieldSize != 1 && lengthFieldSize != 2)
        throw EExcelException(QStringLiteral("Invalid string length field size (%1)").arg(lengthFieldSize));
    const int charCount = static_cast<int>(ReadIntAcrossContinue(record, pos, lengthFieldSize));
    FOptionFlags = static_cast<quint8>(ReadIntAcrossContinue(record, pos, 1));
    const int runs = (FOptionFlags & FlagRichText) ? static_cast<int>(ReadIntAcrossContinue(record, pos, 2)) : 0;
    const qint64 extension = (FOptionFlags & FlagExtension) ? ReadIntAcrossContinue(record, pos, 4) : 0;
    // A later part of the text may be wide: the whole string is then.
    FValue = ReadStringAcrossContinue(record, pos, charCount, FOptionFlags);
    FRichRuns = ReadChunkAcrossContinue(record, pos, qint64(runs) * 4);
    FExtension = ReadChunkAcrossContinue(record, pos, extension);
}

TExcelString::TExcelString(int lengthFieldSize, const QString &text) : FLengthFieldSize(lengthFieldSize), FValue(text)
{
    if (lengthFieldSize != 1 && lengthFieldSize != 2)
        throw EExcelException(QStringLiteral("Invalid string length field size (%1)").arg(lengthFieldSize));
    if (text.size() > MaxCharacters(lengthFieldSize))
        throw EExcelException(QStringLiteral("Text too long for its record (%1 characters, at most %2)")
                                  .arg(text.size())
                                  .arg(MaxCharacters(lengthFieldSize)));
    for (QChar c : text)
        if (c.unicode() > 0xFF) {
            FOptionFlags = FlagWide;
            break;
        }
}

TExcelString::TExcelString(int lengthFieldSize, const QString &text, const QByteArray &richRuns)
    : TExcelString(lengthFieldSize, text)
{
    FRichRuns = richRuns;
    if (!richRuns.isEmpty())
        FOptionFlags |= FlagRichText;
}

int TExcelString::TotalSize() const
{
    return FLengthFieldSize + 1 + (FRichRuns.isEmpty() ? 0 : 2) + ((FOptionFlags & FlagExtension) ? 4 : 0)
         + int(FValue.size()) * (IsWide() ? 2 : 1) + int(FRichRuns.size()) + int(FExtension.size());
}

QByteArray TExcelString::ToBytes(bool withLength) const
{
    QByteArray out;
    out.reserve(TotalSize());
    auto put = [&out](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    if (withLength)
        put(static_cast<quint32>(FValue.size()), FLengthFieldSize);
    quint8 flags = FOptionFlags & ~(FlagRichText);
    if (!FRichRuns.isEmpty())
        flags |= FlagRichText;
    put(flags, 1);
    if (!FRichRuns.isEmpty())
        put(static_cast<quint32>(FRichRuns.size() / 4), 2);
    if (flags & FlagExtension)
        put(static_cast<quint32>(FExtension.size()), 4);
    for (QChar c : FValue)
        put(c.unicode(), IsWide() ? 2 : 1);
    out.append(FRichRuns);
    out.append(FExtension);
    return out;
}

void TExcelString::CopyToPtr(QByteArray &data, int offset, bool withLength) const
{
    const QByteArray bytes = ToBytes(withLength);
    if (offset < 0 || offset + bytes.size() > data.size())
        throw EExcelException(XlsRecordMessages::ErrReadingRecord);
    std::copy(bytes.cbegin(), bytes.cend(), data.begin() + offset);
}

bool TExcelString::operator==(const TExcelString &other) const
{
    return FValue == other.FValue && FRichRuns == other.FRichRuns && FExtension == other.FExtension
        && IsWide() == other.IsWide();
}

int StringByteSize(QByteArrayView data, int offset, int lengthFieldSize, int givenLength)
{
    return static_cast<int>(ParseLayout(data, offset, lengthFieldSize, givenLength).TotalSize);
}

QString ReadBiffString(QByteArrayView data, int offset, int lengthFieldSize, int *byteSize)
{
    const TStringLayout layout = ParseLayout(data, offset, lengthFieldSize, 0);
    if (byteSize)
        *byteSize = static_cast<int>(layout.TotalSize);
    return LaidOutText(data, layout);
}

QString ReadBiffStringCut(QByteArrayView data, int offset, int lengthFieldSize)
{
    return LaidOutText(data, ParseLayout(data, offset, lengthFieldSize, 0, true));
}
