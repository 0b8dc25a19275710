#include "remote/RequestFile.h"

#include "platform/io/KestrunError.h"
#include "platform/codepage/Cp1250.h"
#include "platform/io/DurableFile.h"

#include <QFile>
#include <QFileInfo>

void RequestFile::appendFile(DurableFile &out, const QString &path, qint64 size)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw KestrunError(QStringLiteral("Nu pot citi fisierul %1: %2").arg(path, in.errorString()));
    constexpr qint64 Chunk = 1 << 20;
    for (qint64 left = size; left > 0;) {
        const QByteArray piece = in.read(std::min(Chunk, left));
        if (piece.isEmpty())
            throw KestrunError(QStringLiteral("Fisierul %1 s-a schimbat in timpul transmiterii.").arg(path));
        out.write(piece);
        left -= piece.size();
    }
}

void RequestFile::write(const QString &path, const QStringList &commands, const QStringList &attachments)
{
    QList<QFileInfo> present;
    for (const QString &a : attachments)
        if (QFileInfo(a).isFile())
            present.append(QFileInfo(a));
    QString head;
    for (const QString &c : commands)
        head += c + QStringLiteral("\r\n");
    for (const QFileInfo &a : present)
        head += QStringLiteral("#ATTACH %1 : %2\r\n").arg(a.fileName()).arg(a.size());
    head += QStringLiteral("/END\r\n");
    DurableFile out(path);
    out.write(Cp1250::encode(head));
    for (const QFileInfo &a : present)
        appendFile(out, a.filePath(), a.size());
    out.commit();
}
