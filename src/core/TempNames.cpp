#include "core/TempNames.h"

#include "core/OfficeLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

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
        if (!m_handedOut.contains(path) && claim(path))
            return path;
    }
    return reuseOldest(prefix, extension);
}

// Takes the name when no file stands in its way (one that does is deleted).
bool TempNames::claim(const QString &path)
{
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && (info.isDir() || !QFile::remove(path)))
        return false;
    m_handedOut.insert(path, m_count++);
    return true;
}

QString TempNames::reuseOldest(const QString &prefix, const QString &extension)
{
    std::vector<std::pair<quint64, QString>> spent;
    for (int n = 0; n < Limit; ++n) {
        const QString path = m_folder + u'/' + prefix + QString::number(n) + extension;
        if (const auto it = m_handedOut.constFind(path); it != m_handedOut.cend())
            spent.emplace_back(it.value(), path);
    }
    std::sort(spent.begin(), spent.end());
    for (const auto &[order, path] : spent) {
        if (!OfficeLock::heldOpen(QFileInfo(path)) && claim(path))
            return path;
    }
    return {};
}
