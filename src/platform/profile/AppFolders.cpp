#include "platform/profile/AppFolders.h"

#include <QDir>

QString AppFolders::programDir()
{
    const QString home = qEnvironmentVariable("KESTRUN_HOME");
    if (!home.trimmed().isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/share/Kestrun"));
}

QString AppFolders::dataDir()
{
    return programDir() + QStringLiteral("/Data");
}

QString AppFolders::tempDir()
{
    return programDir() + QStringLiteral("/Temp");
}

QString AppFolders::windowsDir()
{
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config/Kestrun"));
}

QString AppFolders::documentsDir(const QString &programDir)
{
    return programDir + QStringLiteral("/Documente");
}

QString AppFolders::swapJournalDir(const QString &programDir)
{
    return programDir + u'/' + SwapJournalFolder;
}

QString AppFolders::settingsPath(const QString &dataDir)
{
    return QDir::cleanPath(dataDir) + u'/' + SettingsFile;
}

QString AppFolders::localSettingsPath()
{
    return programDir() + u'/' + LocalFile;
}

QString AppFolders::machineStorePath()
{
    return windowsDir() + u'/' + MachineFile;
}

bool AppFolders::ensureFolders()
{
    QDir d;
    return d.mkpath(dataDir()) && d.mkpath(tempDir()) && d.mkpath(windowsDir());
}
