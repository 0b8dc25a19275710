#include "core/StartupRecovery.h"

#include "core/CoreError.h"
#include "core/DataArchive.h"
#include "core/Erori.h"
#include "core/RestoreJournal.h"
#include "platform/db/Dbf.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileTree.h"
#include "platform/profile/AppFolders.h"
#include "tables/RequestTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QDir::Filters Everything = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
const QString PutBack = QStringLiteral("Restaurarea a fost intrerupta; datele de dinainte au fost puse la loc. Restaurati arhiva din nou.");

// A table the aside folder holds and the data folder lacks.
bool holdsMissingTable(const QString &dataDir, const QString &aside)
{
    for (const QString &table : RequestTables::fileNames())
        if (QFileInfo::exists(Dbf::resolve(aside + u'/' + table)) && !QFileInfo::exists(Dbf::resolve(dataDir + u'/' + table)))
            return true;
    return false;
}

} // namespace

void StartupRecovery::run(const QString &appDir, const QString &dataDir, const QString &tempDir)
{
    recoverOutputs(appDir);
    if (QFileInfo(dataDir).isDir()) {
        recoverRestore(dataDir);
        DurableFile::removeTemporaries(dataDir);
    }
    removeRefusedArchiveCopies(tempDir);
}

void StartupRecovery::recoverOutputs(const QString &appDir)
{
    for (const FolderSwap::Mended &report : FolderSwap::recover(AppFolders::swapJournalDir(appDir)))
        tellReport(report);
    // The documents lie one level down, in the folder of their month.
    const QString documents = AppFolders::documentsDir(appDir);
    DurableFile::removeTemporaries(documents);
    for (const QFileInfo &month : QDir(documents).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        DurableFile::removeTemporaries(month.filePath());
}

void StartupRecovery::recoverRestore(const QString &dataDir)
{
    try {
        switch (RestoreJournal::recover(dataDir)) {
        case RestoreJournal::Outcome::Finished:
            tell(QStringLiteral("Restaurarea a fost intrerupta; a fost dusa la capat: directorul de date are acum datele din arhiva."));
            break;
        case RestoreJournal::Outcome::PutBack:
            tell(PutBack);
            break;
        case RestoreJournal::Outcome::Nothing:
            break;
        }
        for (const QString &name : QDir(dataDir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks))
            if (RequestTables::isAsideFolderName(name))
                settleAsideFolder(dataDir, name);
    } catch (const ArchiveError &e) {
        // Starting would show an office without its tables: better not start.
        throw CoreError(QStringLiteral("Restaurarea a fost intrerupta, iar datele de dinainte nu au putut fi puse la loc.\n%1")
                            .arg(e.text()));
    }
}

// A ".restore-N" without a journal: left by a restore killed before it kept
// one, or by one killed after its new files were all in.
void StartupRecovery::settleAsideFolder(const QString &dataDir, const QString &aside)
{
    const QString path = dataDir + u'/' + aside;
    if (!holdsMissingTable(dataDir, path)) {
        FileTree::remove(path);
        return;
    }
    // The tables went aside and never came back in: the old files are the last whole data.
    RestoreJournal old;
    old.aside = aside;
    old.old = QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::System);
    old.putBack(dataDir);
    tell(PutBack);
}

void StartupRecovery::removeRefusedArchiveCopies(const QString &tempDir)
{
    static const QRegularExpression copy(QStringLiteral("^SAV\\d{1,3}$"));
    for (const QString &name : QDir(tempDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        if (copy.match(name).hasMatch() && holdsOnlyLeftovers(tempDir + u'/' + name))
            FileTree::remove(tempDir + u'/' + name);
}

// Nothing of the archive arrived: only our temporary files, a journal, empty aside folders.
bool StartupRecovery::holdsOnlyLeftovers(const QString &folder)
{
    for (const QFileInfo &entry : QDir(folder).entryInfoList(Everything)) {
        const QString name = entry.fileName();
        const bool leftover = entry.isDir() && !entry.isSymLink()
                                  ? RequestTables::isAsideFolderName(name) && holdsOnlyLeftovers(entry.filePath())
                                  : DurableFile::isTemporaryName(name) || name == RestoreJournal::FileName;
        if (!leftover)
            return false;
    }
    return true;
}

// The clerk learns which report the folder holds, as after a restore.
void StartupRecovery::tellReport(const FolderSwap::Mended &report)
{
    const QString folder = QDir::toNativeSeparators(report.target);
    QString what;
    switch (report.left) {
    case FolderSwap::Left::New:
        what = QStringLiteral("Raportul din directorul %1 a fost intrerupt; a fost dus la capat: directorul are acum raportul nou.");
        break;
    case FolderSwap::Left::Old:
        what = QStringLiteral("Raportul din directorul %1 a fost intrerupt; raportul de dinainte a fost pus la loc. Faceti raportul din nou.");
        break;
    case FolderSwap::Left::Nothing:
        what = QStringLiteral("Raportul din directorul %1 a fost intrerupt si nu a fost facut. Faceti raportul din nou.");
        break;
    }
    tell(what.arg(folder), QStringLiteral("Raport intrerupt"));
}

void StartupRecovery::tell(const QString &what, const QString &title)
{
    TErori::Mesaj(title, what, 0, TErori::OK);
}
