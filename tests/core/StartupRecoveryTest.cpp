#include "KillAt.h"
#include "TestSupport.h"

#include "core/DataArchive.h"
#include "core/RecordingDialogs.h"
#include "core/RestoreJournal.h"
#include "core/StartupRecovery.h"
#include "platform/db/Dbf.h"
#include "platform/io/FolderSwap.h"
#include "platform/profile/AppFolders.h"
#include "tables/RequestTables.h"


#include <gtest/gtest.h>

namespace {

// A request table with these names in its first field.
void makeTable(const QString &path, const QStringList &names)
{
    const QList<DbfField> fields = RequestTables::fieldsOf(QFileInfo(path).fileName());
    const int text = int(std::find_if(fields.cbegin(), fields.cend(), [](const DbfField &f) { return f.type == 'C'; }) - fields.cbegin());
    Dbf t = Dbf::create(path, fields);
    for (const QString &name : names)
        t.setValue(t.appendBlank(), text, name);
    t.close();
}

class StartupRecoveryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        dir = scratchDir("recovery");
        data = dir->path() + QStringLiteral("/Data");
        temp = dir->path() + QStringLiteral("/Temp");
        QDir().mkpath(data);
        QDir().mkpath(temp);
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString data;
    QString temp;
};

enum class Whole { Old, New };

// The program killed at each named point of a restore or an append; the next
// start (recovery, then the table opened for writing) must find the old files
// or the new ones, byte for byte, with nothing of ours left over, and tell
// the clerk when a restore was cut short.
TEST_F(StartupRecoveryTest, AfterAKillAtEachPointTheOldOrTheNewIsWhole)
{
    struct Case
    {
        const char *name;
        const char *point;
        int nth;
        bool restore;              // else an append of three records to Cereri.dbf
        Whole expected;
        const char *told;          // what the start says, or nothing
        void (*afterKill)(const QString &data) = nullptr;
        // The archive carries a restore journal of its own, which its first
        // rename would put over ours: refused before anything is written.
        bool ownJournal = false;
    };
    const char *finished = "Restaurarea a fost intrerupta; a fost dusa la capat";
    const char *putBack = "Restaurarea a fost intrerupta; datele de dinainte au fost puse la loc";
    const Case cases[] = {
        {"restore: journal being renamed in", "durable.rename", 1, true, Whole::Old, nullptr},
        {"restore: journal written, nothing moved", "restore.move", 1, true, Whole::New, finished},
        {"restore: some old files aside", "restore.move", 3, true, Whole::New, finished},
        {"restore: all old files aside, no new one in", "restore.swap", 1, true, Whole::New, finished},
        {"restore: between the new files' renames", "durableSet.rename", 2, true, Whole::New, finished},
        {"restore: old files gone, journal not", "restore.forget", 1, true, Whole::New, finished},
        // A new file lost after the kill: the swap cannot be finished, so it is undone.
        {"restore: a new file not whole", "durableSet.rename", 2, true, Whole::Old, putBack,
         [](const QString &d) {
             for (const QString &n : QDir(d).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden))
                 writeBytes(d + u'/' + n, "cut");
         }},
        // As a restore killed before it kept a journal left the folder: only
        // temporary files beside the tables, which sit in .restore-0.
        {"restore: no journal, tables set aside", "restore.swap", 1, true, Whole::Old, putBack,
         [](const QString &d) { QFile::remove(d + u'/' + RestoreJournal::FileName); }},
        {"journal in the archive: kill at the next rename", "durableSet.rename", 2, true, Whole::Old, nullptr, nullptr, true},
        {"append: records written, end marker not", "dbf.records", 1, false, Whole::Old, nullptr},
        {"append: records and marker synced, count not", "dbf.count", 1, false, Whole::Old, nullptr},
    };
    for (const Case &c : cases) {
        SetUp();
        makeTable(data + QStringLiteral("/Cereri.dbf"), {QStringLiteral("Ana"), QStringLiteral("Ion")});
        makeTable(data + QStringLiteral("/Oameni.dbf"), {});
        writeBytes(data + QStringLiteral("/Motive.lst"), "only in the old data");
        const QMap<QString, QByteArray> old = snapshot(data);

        std::function<void()> work;
        QMap<QString, QByteArray> fresh;
        if (c.restore) {
            const QString source = dir->path() + QStringLiteral("/Source");
            QDir().mkpath(source);
            makeTable(source + QStringLiteral("/Cereri.dbf"), {QStringLiteral("Dan"), QStringLiteral("Eva"), QStringLiteral("Gil")});
            makeTable(source + QStringLiteral("/Oameni.dbf"), {QStringLiteral("Ana")});
            writeBytes(source + QStringLiteral("/Luni.lst"), "11.2022\r\n");
            fresh = snapshot(source);
            if (c.ownJournal) // saved under another name, which the save lets through
                writeBytes(source + QStringLiteral("/-restore-journal"),
                           R"({"aside":".restore-0","old":["Cereri.dbf","Oameni.dbf"],"new":[]})");
            const QString archive = dir->path() + QStringLiteral("/copie.L21");
            DataArchive::saveFolder(source, archive);
            writeBytes(archive, readBytes(archive).replace("-restore-journal", ".restore-journal"));
            work = [this, archive] { DataArchive::restoreFolder(archive, data); };
        } else {
            work = [this] {
                Dbf t = Dbf::open(data + QStringLiteral("/Cereri.dbf"), Dbf::Mode::ReadWrite);
                for (int i = 0; i < 3; ++i)
                    t.appendBlank();
                t.close();
            };
        }
        ASSERT_EQ(runKilledAt(c.point, c.nth, work), !c.ownJournal) << c.name << ": the point was reached or not";
        if (c.afterKill)
            c.afterKill(data);

        RecordingDialogs dialogs;
        StartupRecovery::run(dir->path(), data, temp);
        Dbf::open(data + QStringLiteral("/Cereri.dbf"), Dbf::Mode::ReadWrite).close();
        EXPECT_EQ(snapshot(data), c.expected == Whole::Old ? old : fresh) << c.name;
        if (c.told) {
            ASSERT_EQ(dialogs.messages.size(), 1) << c.name;
            EXPECT_TRUE(dialogs.messages[0].text.startsWith(QLatin1String(c.told))) << c.name;
        } else {
            EXPECT_TRUE(dialogs.messages.isEmpty()) << c.name;
        }
    }
}

// The start tells the clerk which report a folder killed mid-swap now holds.
TEST_F(StartupRecoveryTest, AReportFolderSettledAtStartIsTold)
{
    const struct { const char *point; bool hadOld; const char *told; } cases[] = {
        {"folder.aside", true, "; raportul de dinainte a fost pus la loc."},
        {"folder.aside", false, " si nu a fost facut."},
        {"folder.in", true, "; a fost dus la capat: directorul are acum raportul nou."},
    };
    for (const auto &c : cases) {
        SetUp();
        const QString target = dir->path() + QStringLiteral("/Rapoarte/Lemne_Trezorerie");
        QDir().mkpath(c.hadOld ? target : QFileInfo(target).path());
        ASSERT_TRUE(runKilledAt(c.point, 1, [&] {
            FolderSwap swap(target, AppFolders::swapJournalDir(dir->path()));
            writeBytes(swap.work() + QStringLiteral("/Anexa2.xls"), "new");
            swap.commit();
        })) << c.point;
        RecordingDialogs dialogs;
        StartupRecovery::run(dir->path(), data, temp);
        ASSERT_EQ(dialogs.messages.size(), 1) << c.point;
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Raportul din directorul ") + target + " a fost intrerupt" + QLatin1String(c.told)))
            << dialogs.messages[0].text.toStdString();
    }
}

// Only the program's own leftovers go: its temporary files beside the tables,
// a finished restore's old files, copies of refused archives.
TEST_F(StartupRecoveryTest, LeftoversOfOurOwnAreRemovedAndNothingElse)
{
    makeTable(data + QStringLiteral("/Cereri.dbf"), {});
    for (const char *name : {"Data/.Cereri.dbf.1x9k2c.part", "Data/..restore-journal.a1.part", "Data/.restore-2/Cereri.dbf",
                             "Data/notite.part", "Data/.Cereri.dbf.tmp", "Data/.ascuns.txt", "Data/Copie.dbf.x1.part",
                             "Temp/SAV0/.Cereri.dbf.zz.part", "Temp/SAV0/.restore-0/.Oameni.dbf.b2.part",
                             "Temp/SAV1/Cereri.dbf", "Temp/SAVE/x.part", "Temp/SAV3/.restore-journal"}) {
        const QString path = dir->path() + u'/' + QLatin1String(name);
        QDir().mkpath(QFileInfo(path).path());
        writeBytes(path, "x");
    }
    QDir().mkpath(temp + QStringLiteral("/SAV2"));
    // Links under our names are never followed: what they point to stays.
    QTemporaryDir elsewhere;
    writeBytes(elsewhere.filePath(QStringLiteral(".x.dbf.a1.part")), "x");
    QFile::link(elsewhere.path(), data + QStringLiteral("/.restore-3"));
    QFile::link(elsewhere.path(), temp + QStringLiteral("/SAV4"));
    RecordingDialogs dialogs;
    StartupRecovery::run(dir->path(), data, temp);
    EXPECT_TRUE(QFileInfo::exists(elsewhere.filePath(QStringLiteral(".x.dbf.a1.part"))));
    QFile::remove(data + QStringLiteral("/.restore-3"));
    QFile::remove(temp + QStringLiteral("/SAV4"));
    QStringList left = snapshot(dir->path()).keys();
    EXPECT_EQ(left, (QStringList{QStringLiteral("Data"), QStringLiteral("Data/.Cereri.dbf.tmp"), QStringLiteral("Data/.ascuns.txt"),
                                 QStringLiteral("Data/Cereri.dbf"), QStringLiteral("Data/Copie.dbf.x1.part"),
                                 QStringLiteral("Data/notite.part"), QStringLiteral("Temp"), QStringLiteral("Temp/SAV1"),
                                 QStringLiteral("Temp/SAV1/Cereri.dbf"), QStringLiteral("Temp/SAVE"), QStringLiteral("Temp/SAVE/x.part")}));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // A link named as an aside folder is no restore's: the missing table is made.
    QTemporaryDir planted;
    makeTable(planted.filePath(QStringLiteral("Cereri.dbf")), {QStringLiteral("Ana")});
    QFile::link(planted.path(), data + QStringLiteral("/.restore-7"));
    QFile::remove(data + QStringLiteral("/Cereri.dbf"));
    EXPECT_TRUE(RequestTables::createMissing(data).contains(data + QStringLiteral("/Cereri.dbf")));
    QFile::remove(data + QStringLiteral("/.restore-7"));

    // A table still set aside is never replaced by an empty one.
    QDir().mkpath(data + QStringLiteral("/.restore-0"));
    QFile::rename(data + QStringLiteral("/Cereri.dbf"), data + QStringLiteral("/.restore-0/CERERI.DBF"));
    EXPECT_THROW(RequestTables::createMissing(data), DbfError);
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/Cereri.dbf")));
}

} // namespace
