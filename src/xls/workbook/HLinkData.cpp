#include "xls/workbook/HLinkData.h"

#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"

namespace {

constexpr quint32 HasTarget = 0x01, Absolute = 0x02, HasTextMark = 0x08, HasDescription = 0x14,
                  HasFrame = 0x80, UncPath = 0x100;

const QByteArray StdLink = QByteArray::fromHex("d0c9ea79f9bace118c8200aa004ba90b");
const QByteArray UrlMoniker = QByteArray::fromHex("e0c9ea79f9bace118c8200aa004ba90b");
const QByteArray FileMoniker = QByteArray::fromHex("0303000000000000c000000000000046");

// A u32 character count (closing 0 included) and UTF-16 characters.
QString ReadCountedText(ByteCursor &in)
{
    const qsizetype count = in.checkedCount(in.u32(), 2);
    QString text;
    text.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        text.append(QChar(in.u16()));
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

// UTF-16 characters filling byteSize bytes; stops at the closing 0.
QString ReadSizedText(ByteCursor &in, qsizetype byteSize)
{
    in.require(byteSize);
    const qsizetype end = in.pos() + byteSize;
    QString text;
    while (in.pos() + 2 <= end) {
        const QChar c(in.u16());
        if (c.isNull())
            break;
        text.append(c);
    }
    in.seek(end);
    return text;
}

QString ReadFileMoniker(ByteCursor &in)
{
    const int upLevels = in.u16();
    const qsizetype shortLength = in.checkedCount(in.u32(), 1);
    QByteArray shortPath = in.copy(shortLength);
    while (shortPath.endsWith('\0'))
        shortPath.chop(1);
    in.skip(24);
    const quint32 extraSize = in.u32();
    QString path;
    if (extraSize > 0) {
        in.require(extraSize);
        const qsizetype wideBytes = in.checkedCount(in.u32(), 1);
        in.skip(2);
        path = ReadSizedText(in, wideBytes);
    } else {
        path = QString::fromLatin1(shortPath);
    }
    return QStringLiteral("../").repeated(upLevels) + path;
}

void AppendU32(QByteArray &out, quint32 value)
{
    const qsizetype at = out.size();
    out.resize(at + 4);
    WriteCardinal(out, at, value);
}

void AppendUtf16(QByteArray &out, const QString &text, bool closingZero)
{
    for (QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    if (closingZero)
        out.append(2, '\0');
}

void AppendCountedText(QByteArray &out, const QString &text)
{
    AppendU32(out, static_cast<quint32>(text.size() + 1));
    AppendUtf16(out, text, true);
}

// The path goes as given, "../" included, with no up-level count: readers
// that skip the count then still see the whole relative path.
void AppendFileMoniker(QByteArray &out, const QString &path)
{
    out.append(FileMoniker);
    out.append(2, '\0');
    // The 8-bit path keeps what fits; the full path follows as UTF-16.
    const QByteArray shortPath = path.toLatin1();
    AppendU32(out, static_cast<quint32>(shortPath.size() + 1));
    out.append(shortPath);
    out.append('\0');
    out.append(QByteArray::fromHex("ffffadde"));
    out.append(20, '\0');
    if (path.isEmpty()) {
        AppendU32(out, 0);
        return;
    }
    AppendU32(out, static_cast<quint32>(6 + 2 * path.size()));
    AppendU32(out, static_cast<quint32>(2 * path.size()));
    out.append('\x03');
    out.append('\0');
    AppendUtf16(out, path, false);
}

}  // namespace

THyperLink THLinkData::Read(const QByteArray &recordData)
{
    ByteCursor in(recordData, QStringLiteral("HLINK"));
    in.skip(8);
    if (in.bytes(16) != StdLink)
        in.fail(QStringLiteral("Unknown hyperlink kind"));
    in.skip(4);
    const quint32 flags = in.u32();
    THyperLink link;
    link.LinkType = THyperLinkType::hl_CurrentWorkbook;
    if ((flags & HasDescription) == HasDescription)
        link.Description = ReadCountedText(in);
    if (flags & HasFrame)
        ReadCountedText(in);
    if (flags & HasTarget) {
        if (flags & UncPath) {
            link.LinkType = THyperLinkType::hl_LocalFile;
            link.Target = ReadCountedText(in);
        } else {
            const QByteArrayView moniker = in.bytes(16);
            if (moniker == UrlMoniker) {
                link.LinkType = THyperLinkType::hl_URL;
                link.Target = ReadSizedText(in, in.u32());
            } else if (moniker == FileMoniker) {
                link.LinkType = THyperLinkType::hl_LocalFile;
                link.Target = ReadFileMoniker(in);
            } else {
                in.fail(QStringLiteral("Unknown hyperlink kind"));
            }
        }
    }
    if (flags & HasTextMark)
        link.TextMark = ReadCountedText(in);
    return link;
}

QByteArray THLinkData::Build(const TXlsCellRange &range, const THyperLink &link)
{
    QByteArray out(8, '\0');
    XlsDetail::WriteRange(out, 0, range);
    out.append(StdLink);
    AppendU32(out, 2);
    const bool target = link.LinkType != THyperLinkType::hl_CurrentWorkbook && !link.Target.isEmpty();
    quint32 flags = 0;
    if (target)
        flags |= HasTarget;
    if (target && link.LinkType == THyperLinkType::hl_URL)
        flags |= Absolute;
    if (!link.Description.isEmpty())
        flags |= HasDescription;
    if (!link.TextMark.isEmpty())
        flags |= HasTextMark;
    AppendU32(out, flags);
    if (!link.Description.isEmpty())
        AppendCountedText(out, link.Description);
    if (target && link.LinkType == THyperLinkType::hl_URL) {
        out.append(UrlMoniker);
        AppendU32(out, static_cast<quint32>(2 * (link.Target.size() + 1)));
        AppendUtf16(out, link.Target, true);
    } else if (target) {
        AppendFileMoniker(out, link.Target);
    }
    if (!link.TextMark.isEmpty())
        AppendCountedText(out, link.TextMark);
    return out;
}
