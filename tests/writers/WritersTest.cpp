// Every writer of files for the user, made to fail part way: the call fails
// with the cause in Romanian, the old files stay byte for byte, and nothing
// (no temporary file, no half-written table) is left beside them.
#include "core/DataArchive.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/TestSupport.h"
#include "core/ResourceStore.h"
#include "documents/RTFReplace.h"
#include "platform/automation/XlsxWorkbook.h"
#include "platform/db/Dbf.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FolderSwap.h"
#include "platform/io/WriteLimit.h"
#include "platform/profile/ProfileFile.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "sample-data/SampleGenerator.h"
#include "xls/storage/Ole2Storage.h"
#include "xls/storage/Ole2Stream.h"
#include "xls/workbook/XLSAdapter.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using Snapshot = QMap<QString, QByteArray>;

// The names that were added, removed or changed; empty when none was.
std::string differences(const Snapshot &before, const Snapshot &after)
{
    QStringList names;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (after.value(it.key(), "<missing>") != it.value())
            names << it.key();
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key()))
            names << QStringLiteral("new ") + it.key();
    return names.join(u", ").toStdString();
}

QByteArray noise(qsizetype n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    QRandomGenerator rnd(n);
    for (char &c : bytes)
        c = char(rnd.generate());
    return bytes;
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

const QList<DbfField> kFields = {{QStringLiteral("NUME"), 'C', 40}, {QStringLiteral("VENIT"), 'N', 10, 2}};

void fillTable(const QString &path, int records, int deleteEvery = 0)
{
    Dbf t = Dbf::create(path, kFields);
    for (int r = 0; r < records; ++r) {
        t.appendBlank();
        t.setValue(r, 0, QStringLiteral("Popescu Ion %1").arg(r));
        t.setValue(r, 1, r * 10.5);
        if (deleteEvery && r % deleteEvery == 0)
            t.setDeleted(r, true);
    }
    t.close();
}

const QString kFixtures = QStringLiteral(KESTRUN_FIXTURES);

QString scratchBase()
{
    const QString base = qEnvironmentVariable("KESTRUN_TEST_TMP", QDir::tempPath());
    QDir().mkpath(base);
    return base + QStringLiteral("/writers-XXXXXX");
}

struct Writer
{
    const char *name;
    const char *file; // the file the message names
    long room;        // bytes the write may take before the disk fails it
    std::function<void(const QString &target, const QString &source)> setup;
    std::function<void(const QString &target, const QString &source)> write;
    // On a disk found full before anything is written: the file that message names.
    const char *fullDiskFile = nullptr;
};

const std::vector<Writer> &writers()
{
    static const std::vector<Writer> rows = {
        {"data archive", "Copie.L21", 50000,
         [](const QString &t, const QString &s) {
             put(s + "/Cereri.dbf", noise(200000));
             put(s + "/Tolvard.set", "[SETARI]\r\n");
             put(t + "/Copie.L21", DataArchive::encode({{"Cereri.dbf", "old"}}));
         },
         [](const QString &t, const QString &s) { DataArchive::saveFolder(s, t + "/Copie.L21"); }},
        // The first file fits; the second does not, and the first must not be swapped in alone.
        {"archive restore", "Tolvard.set", 50000,
         [](const QString &t, const QString &s) {
             put(t + "/Oameni.dbf", "old members");
             put(t + "/Tolvard.set", "[SETARI]\r\n");
             put(t + "/Extra.txt", "not in the archive");
             put(s + "/Copie.L21",
                 DataArchive::encode({{"Oameni.dbf", noise(30000)}, {"Tolvard.set", noise(80000)}}));
         },
         [](const QString &t, const QString &s) { DataArchive::restoreFolder(s + "/Copie.L21", t); },
         // The free space is checked first: the archive is refused whole.
         "Copie.L21"},
        {"settings", "Tolvard.set", 4000,
         [](const QString &t, const QString &) {
             ProfileFile(t + "/Tolvard.set").write("SETARI", "Localitate", "Comuna");
         },
         [](const QString &t, const QString &) {
             ProfileFile(t + "/Tolvard.set").write("SETARI", "Nota", QString(20000, u'n'));
         }},
        {"workbook", "Raport.xls", 2000,
         [](const QString &t, const QString &) { put(t + "/Raport.xls", "old workbook"); },
         [](const QString &t, const QString &) {
             TXLSAdapter adapter;
             auto file = adapter.CreateExcelFile();
             file->Connect();
             file->OpenFile(kFixtures + "/xls/lo-basic.xls");
             file->Save(t + "/Raport.xls");
         }},
        {"compound document", "Document.ole", 4000,
         [](const QString &t, const QString &) { put(t + "/Document.ole", "old document"); },
         [](const QString &t, const QString &) {
             TOle2Storage doc;
             doc.CreateStream("Date").SetData(noise(50000));
             doc.SaveToFile(t + "/Document.ole");
         }},
        {"xlsx workbook", "Lista.xlsx", 1000,
         [](const QString &t, const QString &) {
             QFile::copy(kFixtures + "/automation/lista.xlsx", t + "/Lista.xlsx");
         },
         [](const QString &t, const QString &) {
             XlsxWorkbook book;
             book.open(t + "/Lista.xlsx");
             book.setValue(1, 1, QStringLiteral("nou"));
             book.save();
         }},
        {"RTF document", "Dispozitie0.rtf", 8000,
         [](const QString &t, const QString &s) {
             put(s + "/Model.rtf", "{\\rtf1\\ansi\r\n\\pard Dispozitia nr. [NR] pentru [NUME]\\par\r\n}\r\n");
             put(t + "/Dispozitie0.rtf", "old document");
         },
         [](const QString &t, const QString &s) {
             TRTFReplace rtf;
             rtf.RTFSursa = s + "/Model.rtf";
             rtf.RTFDest = t + "/Dispozitie0.rtf";
             if (!rtf.IncepeDocument())
                 throw std::runtime_error("no document begun");
             for (int i = 0; i < 400; ++i) {
                 rtf.AdaugaCheie("[NR]", QString::number(i));
                 rtf.AdaugaCheie("[NUME]", QStringLiteral("Popescu Ion"));
                 rtf.AdaugaPagini(1);
                 rtf.PaginaNoua();
             }
             rtf.InchideDocument();
         }},
        // The second file of a report does not fit: the old report stays whole, and no work folder.
        {"report folder", "Anexa2.xls", 20000,
         [](const QString &t, const QString &) {
             QDir(t).mkpath("Lemne_Trezorerie");
             put(t + "/Lemne_Trezorerie/Anexa2.xls", "old annex");
         },
         [](const QString &t, const QString &s) {
             FolderSwap report(t + "/Lemne_Trezorerie", s + "/Inlocuiri");
             DurableFile::save(report.work() + "/Trezorerie.dbf", noise(10000));
             DurableFile::save(report.work() + "/Anexa2.xls", noise(50000));
             report.commit();
         }},
        {"table create", "Cereri.dbf", 50,
         [](const QString &t, const QString &) { fillTable(t + "/Cereri.dbf", 20); },
         [](const QString &t, const QString &) { Dbf::create(t + "/Cereri.dbf", kFields); }},
        {"table pack", "Oameni.dbf", 8000,
         [](const QString &t, const QString &) { fillTable(t + "/Oameni.dbf", 2000, 3); },
         [](const QString &t, const QString &) { Dbf::pack(t + "/Oameni.dbf"); }},
        {"table widen", "Oameni.dbf", 8000,
         [](const QString &t, const QString &) { fillTable(t + "/Oameni.dbf", 2000); },
         [](const QString &t, const QString &) { Dbf::widenCharField(t + "/Oameni.dbf", "NUME", 60); }},
        // The working copy fits; the inserted rows do not, and the message names the table.
        {"SQL insert", "Log.dbf", 40000,
         [](const QString &t, const QString &) { fillTable(t + "/Log.dbf", 500); },
         [](const QString &t, const QString &) {
             TQuery q;
             const QString table = SqlQuote::table(t + "/Log.dbf");
             q.SQL() << "INSERT INTO " + table + " (NUME, VENIT)" << "SELECT NUME, VENIT FROM " + table;
             q.ExecSQL();
         }},
        // The window is made in the child only, where the write runs.
        {"month list", "Luni.lst", 5,
         [](const QString &t, const QString &) { put(t + "/Luni.lst", "11.2022\r\n"); },
         [](const QString &t, const QString &s) {
             testApp();
             Form1().setFolders(s, t, s + "/Temp");
             Form3().loadMonths();
             Form3().setWorkingMonth("12.2022");
         }},
        {"template resource", "Stat.xls", 1000,
         [](const QString &t, const QString &) { put(t + "/Stat.xls", "old template"); },
         [](const QString &t, const QString &) { ResourceStore::extract("Stat.xls", "MODEL", t + "/Stat.xls"); }},
        // The tables are made, then fail as they fill: their .part files must go.
        {"sample data", "Cereri.dbf", 20000,
         [](const QString &t, const QString &) { put(t + "/Luni.lst", "11.2022\r\n"); },
         [](const QString &t, const QString &) { SampleGenerator::generate({t, 7, 60}); }},
    };
    return rows;
}

// Runs the writer in a child whose disk fails (as `limit` says) and checks
// what it leaves.
void expectFailsWhole(const Writer &w, const QString &target, const QString &source, long limit,
                      const char *cause, const std::function<void()> &fillDisk = {})
{
    w.setup(target, source);
    const Snapshot before = snapshot(target);
    if (fillDisk)
        fillDisk();
    const std::string said = failingWrite(limit, [&] { w.write(target, source); });
    EXPECT_NE(said.find(cause), std::string::npos) << w.name << ": " << said;
    EXPECT_NE(said.find(w.file), std::string::npos) << w.name << ": " << said;
    EXPECT_EQ(said.find("Unknown error"), std::string::npos) << w.name << ": " << said;
    EXPECT_EQ(differences(before, snapshot(target)), "") << w.name << ": " << said;
}

TEST(Writers, AFailedWriteKeepsTheOldFilesAndNamesTheCause)
{
    for (const Writer &w : writers()) {
        QTemporaryDir target(scratchBase()), source(scratchBase());
        expectFailsWhole(w, target.path(), source.path(), w.room, "Fisierul depaseste marimea permisa");
    }
}

// A tmpfs mounted for the test and taken away after it.
class SmallDisk
{
public:
    SmallDisk() : m_path(m_dir.path() + "/disk")
    {
        QDir().mkpath(m_path);
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", 0, "size=4m") == 0;
        if (!m_mounted)
            m_error = errno;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    int error() const { return m_error; }
    const QString &path() const { return m_path; }

    // Fills the disk, then frees `room` bytes of it.
    void fill(long room) const
    {
        const QByteArray name = QFile::encodeName(m_path + "/filler");
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const QByteArray block(65536, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        while (::write(fd, "f", 1) == 1) {
        }
        const off_t size = ::lseek(fd, 0, SEEK_END);
        (void)!::ftruncate(fd, size > room ? size - room : 0);
        ::close(fd);
    }
    void empty() const
    {
        QFile::remove(m_path + "/filler");
        QDir(m_path + "/work").removeRecursively();
    }

private:
    QTemporaryDir m_dir{scratchBase()};
    QString m_path;
    bool m_mounted = false;
    int m_error = 0;
};

TEST(Writers, OnARealFullDisk)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root; the write-limit run above stands in for it";
    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << strerror(disk.error());
    for (Writer w : writers()) {
        if (w.fullDiskFile)
            w.file = w.fullDiskFile;
        const QString target = disk.path() + "/work";
        QDir().mkpath(target);
        QTemporaryDir source(scratchBase());
        expectFailsWhole(w, target, source.path(), -1, "Nu este spatiu pe disc", [&] { disk.fill(w.room); });
        disk.empty();
    }
}

// Growing a table in place: the records and end marker go before the count,
// and a write cut short is cut back to the last counted record.
TEST(Writers, AFailedAppendLeavesTheTableAtItsLastCountedRecord)
{
    struct Case
    {
        const char *name;
        int appended;
        double room; // records' worth of bytes the file may grow by
    };
    const Case cases[] = {
        {"cut inside a record", 3, 1.5},
        {"records whole, end marker cut", 2, 2.0},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir(scratchBase());
        const QString path = dir.filePath("Cereri.dbf");
        fillTable(path, 10);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        const Dbf probe = Dbf::open(path);
        const long limit = long(probe.headerLength() + (10 + c.room) * probe.recordLength());

        const std::string said = failingWrite(limit, [&] {
            Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
            for (int i = 0; i < c.appended; ++i)
                t.setValue(t.appendBlank(), 0, QStringLiteral("Nou %1").arg(i));
            try {
                t.flush();
            } catch (const DbfError &e) {
                throw std::runtime_error(std::string(e.what()) + " | " + std::to_string(t.recordCount()));
            }
        });
        EXPECT_NE(said.find("Fisierul depaseste marimea permisa"), std::string::npos) << c.name << ": " << said;
        EXPECT_NE(said.find("| 10"), std::string::npos) << c.name << ": the table forgets the lost records: " << said;
        QFile after(path);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), before) << c.name;
    }
}

} // namespace
