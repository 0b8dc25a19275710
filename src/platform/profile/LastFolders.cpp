#include "platform/profile/LastFolders.h"

#include "platform/profile/AppFolders.h"
#include "platform/profile/ProfileError.h"
#include "platform/profile/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

QString LastFolders::key(const QString &kind)
{
    QString key;
    for (const QChar ch : kind)
        key.append(ch.isLetterOrNumber() && ch.unicode() < 0x80 ? ch : QChar(u'_'));
    return key;
}

QString LastFolders::folder(const QString &kind)
{
    if (kind.isEmpty())
        return {};
    try {
        const QString folder = ProfileFile(AppFolders::machineStorePath()).read(Section, key(kind));
        return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
    } catch (const ProfileError &) {
        return {};  // an unreadable store only costs the chooser its start folder
    }
}

void LastFolders::remember(const QString &kind, const QString &folder)
{
    if (kind.isEmpty() || folder.isEmpty())
        return;
    try {
        ProfileFile(AppFolders::machineStorePath()).write(Section, key(kind), QDir::cleanPath(folder));
    } catch (const ProfileError &) {
        // The choice itself stands; only the next chooser's start folder is lost.
    }
}
