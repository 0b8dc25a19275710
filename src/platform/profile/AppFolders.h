#pragma once

#include <QString>

// Where the program keeps its files on this machine. The program folder is
// $KESTRUN_HOME, else ~/.local/share/Kestrun, with Data and Temp below it;
// ~/.config/Kestrun stands in for the Windows folder that holds the
// machine-level store. Paths carry no trailing slash.
class AppFolders
{
public:
    static inline const QString SettingsFile = QStringLiteral("Tolvard.set");
    static inline const QString LocalFile = QStringLiteral("Local.set");
    static inline const QString MachineFile = QStringLiteral("GMT.dII");
    static inline const QString MachineSection = QStringLiteral("92");
    static inline const QString SwapJournalFolder = QStringLiteral("Inlocuiri");

    static QString programDir();
    static QString dataDir();
    static QString tempDir();
    static QString windowsDir();

    // Below a program folder: the documents made for the clerk, kept for
    // good, and the journals of report folders being replaced.
    static QString documentsDir(const QString &programDir);
    static QString swapJournalDir(const QString &programDir);

    static QString settingsPath(const QString &dataDir);
    static QString localSettingsPath();
    static QString machineStorePath();

    // Creates Data, Temp and the Windows folder when missing; false when one
    // of them cannot be made.
    static bool ensureFolders();
};
