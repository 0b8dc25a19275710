#include "remote/ReplyFile.h"

#include "core/DataArchive.h"
#include "platform/codepage/Cp1250.h"

#include <QFile>

namespace {

ReplyFile::Attachment attachment(const QString &argument, int line)
{
    const qsizetype colon = argument.indexOf(u':');
    const QString name = (colon < 0 ? argument : argument.left(colon)).trimmed();
    const QString sizeText = colon < 0 ? QString() : argument.mid(colon + 1).trimmed();
    if (!ReplyFile::isSafeName(name))
        throw ReplyError(QStringLiteral("Serverul a trimis un fisier cu nume nepermis: \"%1\".").arg(name));
    bool ok = sizeText.size() <= 18;
    for (QChar c : sizeText)
        ok = ok && c.isDigit() && c.unicode() < 0x80;
    if (!ok || sizeText.isEmpty())
        throw ReplyError(QStringLiteral("Serverul a trimis o marime gresita pentru %1: \"%2\".").arg(name, sizeText));
    return {name, sizeText.toLongLong(), 0, line};
}

} // namespace

std::pair<QString, QString> ReplyFile::split(const QString &line)
{
    const qsizetype blank = line.indexOf(u' ');
    if (blank < 0)
        return {line, QString()};
    return {line.left(blank).trimmed().toUpper(), line.mid(blank + 1).trimmed().left(MaxArgument)};
}

bool ReplyFile::isSafeName(const QString &name)
{
    return DataArchive::isPlainName(name) && !name.contains(QStringLiteral(".."));
}

ReplyFile ReplyFile::parse(QByteArrayView head, qint64 fileSize)
{
    ReplyFile reply;
    qsizetype pos = 0;
    qint64 dataOffset = -1;
    while (pos < head.size() && pos < MaxHead) {
        qsizetype end = head.indexOf('\n', pos);
        const qsizetype next = end < 0 ? head.size() : end + 1;
        if (end < 0)
            end = head.size();
        QByteArrayView bytes = head.sliced(pos, end - pos);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        const QString line = Cp1250::decode(bytes);
        pos = next;
        if (line.trimmed().toUpper() == u"/END") {
            dataOffset = pos;
            break;
        }
        const auto [keyword, argument] = split(line);
        if (keyword == u"#ATTACH")
            reply.attachments.append(attachment(argument, int(reply.lines.size())));
        reply.lines.append(line);
    }
    if (dataOffset < 0)
        throw ReplyError(QStringLiteral("Raspunsul serverului este incomplet: lipseste linia /END."));
    qint64 offset = dataOffset;
    for (Attachment &a : reply.attachments) {
        if (a.size > fileSize - offset)
            throw ReplyError(QStringLiteral("Fisierul %1 anuntat de server (%2 octeti) depaseste raspunsul primit.")
                                 .arg(a.name)
                                 .arg(a.size));
        a.offset = offset;
        offset += a.size;
    }
    if (offset != fileSize)
        throw ReplyError(QStringLiteral("Raspunsul serverului are %1 octeti in plus fata de fisierele anuntate.")
                             .arg(fileSize - offset));
    return reply;
}

ReplyFile ReplyFile::read(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ReplyError(QStringLiteral("Nu pot citi raspunsul serverului %1: %2").arg(path, f.errorString()));
    return parse(f.read(MaxHead), f.size());
}
