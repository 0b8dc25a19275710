#include "documents/PendingFile.h"

#include "documents/RTFReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

PendingFile::PendingFile(const QString &finalPath) : m_final(finalPath)
{
    const QFileInfo info(finalPath);
    QTemporaryFile reserve(info.dir().filePath(info.completeBaseName() + QStringLiteral("-XXXXXX.tmp")));
    reserve.setAutoRemove(false);
    if (!reserve.open())
        throw EInOutError("Nu pot scrie fisierul " + QDir::toNativeSeparators(finalPath).toStdString());
    m_path = reserve.fileName();
}

PendingFile::~PendingFile()
{
    if (!m_committed)
        QFile::remove(m_path);
}

void PendingFile::commit()
{
    if (!QFile::rename(m_path, m_final))
        throw EInOutError("Nu pot scrie fisierul " + QDir::toNativeSeparators(m_final).toStdString());
    m_committed = true;
}
