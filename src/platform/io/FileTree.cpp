#include "platform/io/FileTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FileTree {

bool remove(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        return QFile::remove(path);
    if (info.isDir())
        return QDir(path).removeRecursively(); // removes the links inside, never what they point to
    return true;
}

} // namespace FileTree
