#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/io/FolderSwap.h"
#include "platform/io/WriteLimit.h"
#include "KillAt.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Linked with --wrap (CMakeLists.txt): a call fails only while `failing` names it.
namespace failpoint {
enum class Call { None, Fsync, Close, ShortWrite };
Call failing = Call::None;
} // namespace failpoint

extern "C" {
int __real_fsync(int fd);
int __real_close(int fd);
ssize_t __real_write(int fd, const void *data, size_t size);
ssize_t __real_pwrite(int fd, const void *data, size_t size, off_t offset);

int __wrap_fsync(int fd)
{
    return failpoint::failing == failpoint::Call::Fsync ? (errno = EIO, -1) : __real_fsync(fd);
}

// Linux closes the descriptor even when close() reports a failure.
int __wrap_close(int fd)
{
    const int result = __real_close(fd);
    return failpoint::failing == failpoint::Call::Close ? (errno = EIO, -1) : result;
}

// A disk that takes three bytes at a time.
size_t piece(size_t size)
{
    return failpoint::failing == failpoint::Call::ShortWrite ? std::min<size_t>(size, 3) : size;
}
ssize_t __wrap_write(int fd, const void *data, size_t size) { return __real_write(fd, data, piece(size)); }
ssize_t __wrap_pwrite(int fd, const void *data, size_t size, off_t offset) { return __real_pwrite(fd, data, piece(size), offset); }
}

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

TEST(DurableFile, WritesSmallAndLargePiecesAndReplacesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bin");
    DurableFile::save(path, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QByteArray expected;
    DurableFile f(path);
    for (int i = 0; i < 300; ++i) {
        const QByteArray piece(i * 37 % 5000 + (i == 7 ? 200000 : 0), char('a' + i % 26));
        f.write(piece);
        expected += piece;
    }
    EXPECT_EQ(readAll(path), "old") << "nothing reaches the target before commit";
    f.commit();
    EXPECT_EQ(readAll(path), expected);
    EXPECT_EQ(entries(dir.path()), QStringList{"a.bin"});
    struct stat now {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0640u) << "the old file's mode is kept";
}

TEST(DurableFile, FullDiskKeepsTheOldFileAndNamesTheCause)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("setari.set");
    DurableFile::save(path, QByteArray(3000, 'x'));
    // A write far below the buffer size fails only at the flush: it must still fail.
    for (long bytes : {100L, 5000L, 300000L}) {
        const std::string said = failingWrite(2000, [&] { DurableFile::save(path, QByteArray(bytes, 'y')); });
        if (bytes <= 2000) {
            EXPECT_EQ(said, "no error");
            DurableFile::save(path, QByteArray(3000, 'x'));
            continue;
        }
        EXPECT_NE(said.find("Nu pot scrie fisierul"), std::string::npos) << said;
        EXPECT_NE(said.find("setari.set"), std::string::npos) << said;
        EXPECT_NE(said.find("Fisierul depaseste marimea permisa"), std::string::npos) << said;
        EXPECT_EQ(readAll(path), QByteArray(3000, 'x'));
        EXPECT_EQ(entries(dir.path()), QStringList{"setari.set"});
    }
}

// A failed sync or close fails the write; a short write is followed by the rest.
TEST(DurableFile, FailedSyncOrCloseFailsTheWriteAndShortWritesGoOn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Cereri.dbf");
    // In place at offset 0, as a table changes; a plain write() would land at the end.
    const auto inPlace = [](const QString &target, const QByteArray &bytes) {
        const int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC);
        ::lseek(fd, 0, SEEK_END);
        DurableFile::writeAt(fd, 0, bytes.constData(), bytes.size(), target);
        ::close(fd);
    };
    using failpoint::Call;
    const struct { const char *name; Call call; void (*act)(const QString &, const QByteArray &); bool fails; } cases[] = {
        {"sync fails", Call::Fsync, DurableFile::save, true},
        {"close fails", Call::Close, DurableFile::save, true},
        {"short writes", Call::ShortWrite, DurableFile::save, false},
        {"short writes in place", Call::ShortWrite, inPlace, false},
    };
    for (const auto &c : cases) {
        DurableFile::save(path, "old");
        std::string said = "no error";
        failpoint::failing = c.call;
        try {
            c.act(path, "0123456789");
        } catch (const FileWriteError &e) {
            said = e.what();
        }
        failpoint::failing = Call::None;
        EXPECT_NE(said.find(c.fails ? "Eroare de citire/scriere pe disc" : "no error"), std::string::npos) << c.name << ": " << said;
        EXPECT_EQ(readAll(path), c.fails ? QByteArray("old") : QByteArray("0123456789")) << c.name;
        EXPECT_EQ(entries(dir.path()), QStringList{"Cereri.dbf"}) << c.name;
    }
}

TEST(DurableFile, AbandonedOrMissingFolderLeavesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("b.txt");
    {
        DurableFile f(path);
        f.write("partial");
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty());
    try {
        DurableFile::save(dir.filePath("nu/exista.txt"), "x");
        FAIL() << "a missing folder must fail";
    } catch (const FileWriteError &e) {
        EXPECT_NE(std::string(e.what()).find("Directorul nu exista"), std::string::npos) << e.what();
    }
    // A rename that fails (the target is a folder) reports it and leaves no temporary behind.
    ASSERT_TRUE(QDir(dir.path()).mkpath("c.txt/x"));
    EXPECT_THROW(DurableFile::save(dir.filePath("c.txt"), "x"), FileWriteError);
    EXPECT_THROW(
        {
            DurableFileSet set;
            set.add(dir.filePath("c.txt"), "x");
            set.commit();
        },
        FileWriteError);
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(DurableFileSet, SwapsInNothingUntilEveryFileIsWritten)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("Oameni.dbf"), b = dir.filePath("Cereri.dbf");
    DurableFile::save(a, "old a");
    DurableFile::save(b, "old b");
    const std::string said = failingWrite(1000, [&] {
        DurableFileSet set;
        set.add(a, QByteArray(10, 'a'));
        set.add(b, QByteArray(5000, 'b'));
        set.commit();
    });
    EXPECT_NE(said.find("Cereri.dbf"), std::string::npos) << said;
    EXPECT_EQ(readAll(a), "old a");
    EXPECT_EQ(readAll(b), "old b");
    EXPECT_EQ(entries(dir.path()).size(), 2);

    DurableFileSet set;
    set.add(a, "new a");
    set.add(b, "new b");
    // The set's waiting file is no leftover to another save of b.
    DurableFile::save(b, "old b");
    EXPECT_EQ(readAll(a), "old a");
    set.commit();
    EXPECT_EQ(readAll(a), "new a");
    EXPECT_EQ(readAll(b), "new b");
    EXPECT_EQ(entries(dir.path()).size(), 2);
}

// A streaming writer sees only a refused write and raises its own error: the
// cause the file gives (a full disk) is what comes out, and nothing is swapped in.
TEST(DurableFileSet, StreamingWriterLandsOrReportsTheDiskNotItsOwnError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Stat.xls");
    DurableFile::save(path, "old");
    // Like some libraries, it writes on after a refusal and complains only at the end:
    // the first refusal's cause is the one kept.
    const auto writer = [](QIODevice &device) {
        bool refused = false;
        for (int i = 0; i < 100; ++i)
            refused |= device.write(QByteArray(1000, char('a' + i % 26))) != 1000;
        if (refused)
            throw std::runtime_error("Error writing output file");
    };
    const std::string said = failingWrite(20000, [&] {
        DurableFileSet set;
        set.add(path, writer);
        set.commit();
    });
    EXPECT_NE(said.find("Nu pot scrie fisierul"), std::string::npos) << said;
    EXPECT_NE(said.find("Fisierul depaseste marimea permisa"), std::string::npos) << said;
    EXPECT_EQ(readAll(path), "old");
    EXPECT_EQ(entries(dir.path()), QStringList{"Stat.xls"});

    DurableFileSet set;
    set.add(path, writer);
    EXPECT_EQ(readAll(path), "old");
    set.commit();
    EXPECT_EQ(readAll(path).size(), 100000);
    EXPECT_EQ(entries(dir.path()), QStringList{"Stat.xls"});
}

TEST(DurableFile, AKillBeforeTheRenameLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("t.bin");
    DurableFile::save(target, "old");
    EXPECT_TRUE(runKilledAt("durable.rename", 1, [&] { DurableFile::save(target, "new"); }));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));

    // The next save removes the killed one's temporary file, not a running
    // save's nor that of the neighbour t.bin.1.
    EXPECT_TRUE(runKilledAt("durable.rename", 1, [&] { DurableFile::save(target + ".1", "new"); }));
    DurableFile running(target);
    running.write("theirs");
    DurableFile::save(target, "new");
    running.commit();
    EXPECT_EQ(readAll(target), "theirs");
    const QStringList left = entries(dir.path());
    EXPECT_TRUE(left.size() == 2 && left.front().startsWith(".t.bin.1.")) << left.join(u' ').toStdString();
    EXPECT_FALSE(runKilledAt("durable.rename", 2, [&] { DurableFile::save(target, "new"); }));
}

TEST(DurableFile, OnlyItsOwnTemporaryFilesAreRemoved)
{
    QTemporaryDir dir;
    struct Case { const char *name; bool removed; };
    const Case cases[] = {
        {".Dispozitie de Stabilire 1-5.rtf.1z141z3.part", true},
        {".Stat.xls.0.part", true},
        {"Stat.xls.k3.part", false},        // not hidden: not our name
        {".Stat.xls.4-2.part", false},      // not a number
        {".Stat.xls.K3.part", false},       // our numbers are lower case
        {".Stat.xls.12345678.part", false}, // longer than a 32-bit number in base 36
        {"Stat.xls", false},
    };
    // Made plainly: a save of Stat.xls would remove its temporary files itself.
    for (const Case &c : cases)
        ASSERT_TRUE(QFile(dir.filePath(QString::fromUtf8(c.name))).open(QIODevice::WriteOnly)) << c.name;
    EXPECT_EQ(DurableFile::removeTemporaries(dir.path()), 2);
    for (const Case &c : cases)
        EXPECT_EQ(QFile::exists(dir.filePath(QString::fromUtf8(c.name))), !c.removed) << c.name;
}

namespace {

using Files = QMap<QString, QByteArray>;

Files filesOf(const QString &folder)
{
    Files files;
    for (const QString &name : QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        files.insert(name, readAll(folder + u'/' + name));
    return files;
}

void writeFolder(const QString &folder, const Files &files)
{
    for (auto it = files.begin(); it != files.end(); ++it)
        DurableFile::save(folder + u'/' + it.key(), it.value());
}

} // namespace

TEST(FolderSwap, AKillAtAnyStepLeavesTheOldFolderOrTheNewOneWhole)
{
    const Files oldFiles{{"a.dbf", "old a"}, {"b.xls", "old b"}};
    const Files newFiles{{"a.dbf", "new a"}, {"c.xls", "new c"}, {"d.txt", "new d"}};
    struct Case
    {
        const char *point;
        int nth;
        bool newIn; // which folder the target holds after recovery
        bool emptyNew = false; // a report of no files is a new folder all the same
    };
    const Case cases[] = {
        {"folder.begun", 1, false},
        {"durable.rename", 3, false}, // the journal, then one new file of three
        {"folder.whole", 1, false},
        {"durable.rename", 5, false}, // the journal marked as being committed
        {"folder.aside", 1, false},   // the old folder renamed aside, the new one not yet in
        {"folder.in", 1, true},
        {"folder.workRemoved", 1, true}, // the old one still aside
        {"folder.in", 1, true, true},
    };
    for (bool hadOld : {true, false}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.point) + (hadOld ? " over an old folder" : " into no folder") + (c.emptyNew ? ", empty" : ""));
            QTemporaryDir dir;
            const QString reports = dir.filePath("Rapoarte"), target = reports + "/Lemne_Trezorerie";
            const QString journals = dir.filePath("Inlocuiri");
            const Files made = c.emptyNew ? Files{} : newFiles;
            QDir().mkpath(reports);
            if (hadOld) {
                QDir().mkpath(target);
                writeFolder(target, oldFiles);
            }
            EXPECT_TRUE(runKilledAt(c.point, c.nth, [&] {
                FolderSwap swap(target, journals);
                writeFolder(swap.work(), made);
                swap.commit();
            }));
            // With the drive away at one start, the journal waits for the next.
            QDir().rename(reports, reports + "-plecat");
            EXPECT_TRUE(FolderSwap::recover(journals).isEmpty());
            QDir().rename(reports + "-plecat", reports);
            const QList<FolderSwap::Mended> mended = FolderSwap::recover(journals);
            ASSERT_EQ(mended.size(), 1);
            EXPECT_EQ(mended[0].target, target);
            EXPECT_EQ(mended[0].left, c.newIn ? FolderSwap::Left::New : hadOld ? FolderSwap::Left::Old : FolderSwap::Left::Nothing);
            if (c.newIn || hadOld) {
                EXPECT_EQ(filesOf(target), c.newIn ? made : oldFiles);
            }
            EXPECT_EQ(QDir(reports).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                      QFileInfo::exists(target) ? QStringList{"Lemne_Trezorerie"} : QStringList{});
            EXPECT_TRUE(QDir(journals).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        }
    }
}

TEST(FolderSwap, AFailedRunLeavesTheOldFolderAndNoWorkFolder)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("Raport"), journals = dir.filePath("Inlocuiri");
    QDir().mkpath(target);
    DurableFile::save(target + "/vechi.txt", "old");
    QTemporaryDir elsewhere; // a link in the work folder is removed, never followed
    DurableFile::save(elsewhere.filePath("strain.txt"), "keep");
    {
        FolderSwap swap(target, journals);
        DurableFile::save(swap.work() + "/nou.txt", "new");
        QFile::link(elsewhere.path(), swap.work() + "/legatura");
    }
    EXPECT_EQ(filesOf(elsewhere.path()), (Files{{"strain.txt", "keep"}}));
    EXPECT_EQ(filesOf(dir.path()).keys(), (QStringList{"Inlocuiri", "Raport"}));
    EXPECT_EQ(filesOf(target), (Files{{"vechi.txt", "old"}}));
    EXPECT_TRUE(QDir(journals).isEmpty());
    EXPECT_TRUE(FolderSwap::recover(journals).isEmpty());

    FolderSwap swap(target, journals);
    DurableFile::save(swap.work() + "/nou.txt", "new");
    swap.commit();
    EXPECT_EQ(filesOf(target), (Files{{"nou.txt", "new"}}));
    EXPECT_EQ(filesOf(dir.path()).keys(), (QStringList{"Inlocuiri", "Raport"}));
}
