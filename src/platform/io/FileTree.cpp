#include "platform/io/FileTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FileTree {

void remove(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isDir())) {
        QFile::remove(path);
        return;
    }
    if (!info.isDir())
        return;
    // Qt's own recursive removal would follow a link inside; ours does not.
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries)
        remove(entry.filePath());
    QDir().rmdir(path);
}

} // namespace FileTree
