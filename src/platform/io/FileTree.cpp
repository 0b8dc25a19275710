#include "platform/io/FileTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FileTree {

void remove(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        QFile::remove(path);
    else if (info.isDir())
        QDir(path).removeRecursively(); // removes the links inside, never what they point to
}

} // namespace FileTree
