#include "core/TempNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempNames::TempNames(QString folder) : m_folder(std::move(folder)) {}

void TempNames::setFolder(const QString &folder)
{
    m_folder = folder;
}

QString TempNames::next(const QString &prefix, const QString &extension)
{
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return {};
    for (int n = 0; n < Limit; ++n) {
        const QString path = m_folder + u'/' + prefix + QString::number(n) + extension;
        if (m_handedOut.contains(path))
            continue;
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink()) {
            if (info.isDir() || !QFile::remove(path))
                continue;
        }
        m_handedOut.insert(path);
        return path;
    }
    return {};
}
