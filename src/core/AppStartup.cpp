#include "core/AppStartup.h"

#include "core/ActionLog.h"
#include "core/CoreError.h"
#include "core/DataArchive.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form21.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/OfficeLock.h"
#include "core/ResourceStore.h"
#include "core/StartupRecovery.h"
#include "platform/db/Dbf.h"
#include "platform/io/FileTree.h"
#include "tables/RequestTables.h"
#include "platform/profile/AppFolders.h"
#include "platform/profile/ProfileFile.h"
#include "platform/shell/Shell.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>

QString AppStartup::archiveArgument(const QStringList &arguments)
{
    for (const QString &arg : arguments.mid(1)) {
        const QFileInfo info(arg);
        if (info.isFile() && info.suffix().compare(u"L21", Qt::CaseInsensitive) == 0)
            return info.absoluteFilePath();
    }
    return {};
}

QString AppStartup::unpackArchive(const QString &archive)
{
    const QString temp = Form1().TempDir();
    for (int n = 0; n < 1000; ++n) {
        const QString folder = temp + QStringLiteral("/SAV%1").arg(n);
        if (QFileInfo::exists(folder))
            continue;
        if (!QDir().mkpath(folder))
            break;
        try {
            DataArchive::restoreFolder(archive, folder);
        } catch (...) {
            FileTree::remove(folder); // a refused archive leaves no copy behind
            throw;
        }
        return folder;
    }
    throw CoreError(QStringLiteral("Nu pot face un director pentru arhiva in %1.").arg(temp));
}

bool AppStartup::holdsTables(const QString &folder)
{
    for (const QString &table : RequestTables::fileNames())
        if (!QFileInfo(Dbf::resolve(folder + u'/' + table)).isFile())
            return false;
    return true;
}

void AppStartup::warnMissingTemplates(const QString &dataDir)
{
    const QStringList missing = ResourceStore::unavailable(dataDir);
    if (missing.isEmpty())
        return;
    TErori::Mesaj(QStringLiteral("Pornire program"),
                  QStringLiteral("Programul nu contine modelele %1, iar directorul de date nu le are.\n"
                                 "Documentele facute din ele nu se pot lista. Reinstalati programul.")
                      .arg(missing.join(QStringLiteral(", "))),
                  0, TErori::OK);
}

QString AppStartup::statusText(Mode mode, const QString &where)
{
    switch (mode) {
    case Mode::Network: return QStringLiteral("Lucru in retea: ") + QDir::toNativeSeparators(where);
    case Mode::Archive: return QStringLiteral("Lucru in salvarea: ") + QDir::toNativeSeparators(where);
    case Mode::Local: break;
    }
    return QStringLiteral("Lucru local.");
}

AppStartup::Mode AppStartup::start(const QStringList &arguments)
{
    if (!AppFolders::ensureFolders())
        throw CoreError(QStringLiteral("Nu pot crea directoarele programului in %1.").arg(AppFolders::programDir()));
    TForm1 &f = Form1();
    f.setFolders(AppFolders::programDir(), AppFolders::dataDir(), AppFolders::tempDir());
    s_keepTemp = false;
    TForm1::WriteMachine(QStringLiteral("AppDir"), f.AppDir());
    TForm1::WriteMachine(QStringLiteral("Versiune"), QCoreApplication::applicationVersion());
    StartupRecovery::run(f.AppDir(), f.DataDir(), f.TempDir());

    Mode mode = Mode::Local;
    QString where;
    const QString archive = archiveArgument(arguments);
    const QString server = TForm1::ReadMachine(QStringLiteral("Server")).trimmed();
    if (!archive.isEmpty()) {
        f.setDataDir(unpackArchive(archive));
        f.setArchivePath(archive);
        mode = Mode::Archive;
        where = archive;
    } else if (!server.isEmpty()) {
        if (holdsTables(server)) {
            f.setDataDir(server);
            mode = Mode::Network;
            where = server;
        } else {
            TErori::Mesaj(QStringLiteral("Lucru in retea"),
                          QStringLiteral("Directorul din retea %1 nu contine tabelele Cereri, Oameni si Log.\n"
                                         "Se lucreaza local.").arg(QDir::toNativeSeparators(server)),
                          0, TErori::OK);
        }
    }

    RequestTables::createMissing(f.DataDir());
    ActionLog::trim(f.DataDir());
    weeklyPack(f.DataDir(), QDate::currentDate());
    ActionLog::alignCounters(f.DataDir());
    f.ExtractFiles();
    warnMissingTemplates(f.DataDir());
    Form4().Load();
    Form4().JudetCChange();
    Form3().loadMonths();
    Form3().showWhereDataLives(statusText(mode, where));
    ActionLog::write(f.DataDir(), QStringLiteral("Pornire program"));
    return mode;
}

QString AppStartup::backupName(const QString &folder, const QDate &day)
{
    const QString stem = day.toString(QStringLiteral("ddMMyyyy"));
    for (int n = 0; n < 10000; ++n) {
        const QString path = folder + QStringLiteral("/%1_%2.L21").arg(stem).arg(n);
        if (!QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool AppStartup::weeklyPack(const QString &dataDir, const QDate &today)
{
    const QString week = QString::number(QDate(1899, 12, 30).daysTo(today) / 7);
    ProfileFile settings(AppFolders::settingsPath(dataDir));
    if (settings.read(QStringLiteral("CONST"), QStringLiteral("LASTPACK")).trimmed() == week)
        return false;
    for (const QString &table : RequestTables::fileNames())
        Dbf::pack(Dbf::resolve(dataDir + u'/' + table));
    settings.write(QStringLiteral("CONST"), QStringLiteral("LASTPACK"), week);
    return true;
}

void AppStartup::logExit()
{
    ActionLog::write(Form1().DataDir(), QStringLiteral("Inchidere Program."));
}

QString AppStartup::offerBackup(Mode mode)
{
    if (mode == Mode::Archive) {
        if (TErori::Mesaj(QStringLiteral("Iesire"), QStringLiteral("\rDoriti sa salvati modificarile ?"), 3,
                          TErori::Da | TErori::Nu) != TErori::ResultDa)
            return {};
        const QString archive = Form1().ArchivePath();
        if (Form21().SaveToArchive(archive))
            return archive;
        // The changes live only in the working copy: deleting Temp would lose them.
        s_keepTemp = true;
        TErori::Mesaj(QStringLiteral("Iesire"),
                      QStringLiteral("Modificarile au ramas in %1.").arg(QDir::toNativeSeparators(Form1().DataDir())), 0,
                      TErori::OK);
        return {};
    }
    const QString folder = TForm1::ReadMachine(QStringLiteral("Salvare")).trimmed();
    if (mode != Mode::Local || folder.isEmpty())
        return {};
    if (TErori::Mesaj(QStringLiteral("Iesire"), QStringLiteral("\rDoriti sa facem o copie la datele de azi?"), 3,
                      TErori::Da | TErori::Nu) != TErori::ResultDa)
        return {};
    if (!QDir().mkpath(folder)) {
        TErori::Mesaj(QStringLiteral("Iesire"), QStringLiteral("Nu pot crea directorul de salvari %1.").arg(folder), 1, TErori::OK);
        return {};
    }
    const QString name = backupName(folder, QDate::currentDate());
    return !name.isEmpty() && Form21().SaveToArchive(name) ? name : QString();
}

namespace {

// Removes everything below the folder but the documents held open (and their
// lock files), then the folder when nothing is left. False when something stays.
bool removeUnlocked(const QString &folder)
{
    bool kept = false;
    const QDir dir(folder);
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        if (entry.isDir() && !entry.isSymLink())
            kept |= !removeUnlocked(entry.filePath());
        else if (OfficeLock::heldOpen(entry))
            kept = true;
        else
            Shell::removePath(entry.filePath());
    }
    return !kept && QDir().rmdir(folder);
}

} // namespace

void AppStartup::finish()
{
    const QString temp = Form1().TempDir();
    // A document still open in the word processor stays until a later exit,
    // so the clerk can still save it.
    if (!temp.isEmpty() && !s_keepTemp && QFileInfo(temp).isDir())
        removeUnlocked(temp);
}
