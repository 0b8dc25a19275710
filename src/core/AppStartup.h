#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The start and the end of a run: where the data lives, the tables and
// templates, the settings; at exit the offered backup and the Temp folder.
class AppStartup
{
public:
    enum class Mode { Local, Network, Archive };

    // Sets up the folders and chooses the data folder: an .L21 archive named
    // on the command line (unpacked under Temp), else the server folder of
    // the machine-level store when it holds the three tables, else Data.
    // Then creates missing tables, extracts missing templates and loads the
    // settings into the administration form. Throws on a failure that leaves
    // the program without data.
    static Mode start(const QStringList &arguments);

    // The status bar text for the mode.
    static QString statusText(Mode mode, const QString &where);

    // Packs the three tables once a week: when the whole weeks since the
    // date origin (30.12.1899) differ from [CONST] LASTPACK. True when packed.
    static bool weeklyPack(const QString &dataDir, const QDate &today);

    // Logs the end of the run.
    static void logExit();

    // The backup offered at exit: back into the opened archive, or into the
    // backup folder under <ddMMyyyy>_<n>.L21. Returns the archive written, or
    // empty. Changes that cannot be saved back into the opened archive stay
    // in their working copy, which finish() then leaves in place.
    static QString offerBackup(Mode mode);
    // The name for today's backup in the folder: the date, "_", the first free number, ".L21".
    static QString backupName(const QString &folder, const QDate &day);

    // Deletes the program's Temp folder, unless it holds unsaved changes;
    // documents the word processor still holds open stay for a later exit.
    static void finish();

private:
    static inline bool s_keepTemp = false;
    static QString archiveArgument(const QStringList &arguments);
    static QString unpackArchive(const QString &archive);
    static bool holdsTables(const QString &folder);
    // Says which templates the documents need that neither the program nor
    // the data folder holds.
    static void warnMissingTemplates(const QString &dataDir);
};
