#include "core/OfficeLock.h"

#include <QDir>

namespace OfficeLock {

bool heldOpen(const QFileInfo &file)
{
    static const QString prefix = QStringLiteral(".~lock.");
    const QString name = file.fileName();
    if (name.startsWith(prefix) && name.endsWith(u'#'))
        return file.dir().exists(name.mid(prefix.size()).chopped(1));
    return file.dir().exists(prefix + name + u'#');
}

} // namespace OfficeLock
