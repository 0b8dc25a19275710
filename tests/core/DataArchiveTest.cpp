#include "TestSupport.h"

#include "core/DataArchive.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>

#include <zlib.h>

#include <gtest/gtest.h>

namespace {

using Entry = DataArchive::Entry;

QByteArray u32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray zlibOf(const QByteArray &data)
{
    uLongf n = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(n), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()), 9);
    out.truncate(qsizetype(n));
    return out;
}

// One entry written by hand, so a test can lie in any field.
QByteArray rawEntry(const QByteArray &name, quint32 statedSize, const QByteArray &stream)
{
    return u32(quint32(name.size())) + name + u32(statedSize) + stream;
}

TEST(DataArchive, LayoutIsPinnedByteForByte)
{
    const QByteArray bytes = DataArchive::encode({{QStringLiteral("a.txt"), QByteArray("abc")}});
    const QByteArray expected = QByteArray::fromHex(
        "01000000"                   // file count 1
        "05000000" "612e747874"      // name length 5, "a.txt"
        "03000000"                   // uncompressed size 3
        "78da4b4c4a0600024d0127");   // zlib stream, maximum compression (python zlib.compress(b"abc", 9))
    EXPECT_EQ(bytes.toHex(), expected.toHex());
}

struct RoundTripCase
{
    const char *name;
    QList<Entry> entries;
};

TEST(DataArchive, RoundTripsEmptyZeroByteAndDiacriticNames)
{
    const QList<RoundTripCase> cases = {
        {"no_files", {}},
        {"zero_byte_file", {{QStringLiteral("Gol.txt"), QByteArray()}}},
        {"diacritics_in_names", {{QStringLiteral("Cereri \u0218\u0162\u0103\u00ee\u00e2.dbf"), QByteArray("x\0y", 3)},
                                 {QStringLiteral("\u0102\u00ce\u00c2.set"), QByteArray(1000, 'a')}}},
        {"several", {{QStringLiteral("Cereri.dbf"), QByteArray(70000, '\x20')}, {QStringLiteral("Log.dbf"), QByteArray("\x03\x7b", 2)}}},
    };
    for (const RoundTripCase &c : cases) {
        const QList<Entry> back = DataArchive::decode(DataArchive::encode(c.entries));
        ASSERT_EQ(back.size(), c.entries.size()) << c.name;
        for (int i = 0; i < back.size(); ++i) {
            // S/T with comma below are kept as the code page's cedilla forms.
            EXPECT_EQ(back[i].name, QString(c.entries[i].name).replace(u'\u0218', u'\u015E')) << c.name;
            EXPECT_EQ(back[i].data, c.entries[i].data) << c.name;
        }
    }
}

TEST(DataArchive, FiftyMegabyteFileThroughTheFolderRoundTrip)
{
    auto dir = scratchDir();
    const QString data = dir->path() + QStringLiteral("/Data");
    const QString target = dir->path() + QStringLiteral("/Target");
    QDir().mkpath(data);
    QDir().mkpath(target);
    QByteArray big(50 * 1024 * 1024, ' ');
    QRandomGenerator rng(7);
    for (qsizetype i = 0; i < big.size(); i += 64)
        big[i] = char(rng.generate());   // mostly blanks, some noise: compresses as a table does
    writeBytes(data + QStringLiteral("/Cereri.dbf"), big);
    writeBytes(data + QStringLiteral("/Gol.txt"), QByteArray());
    const QString archive = dir->path() + QStringLiteral("/copie.L21");
    DataArchive::saveFolder(data, archive);
    DataArchive::restoreFolder(archive, target);
    EXPECT_EQ(snapshot(target), snapshot(data));
}

// A reader we did not write: Python's zlib walking the layout.
TEST(DataArchive, ReadByAnIndependentReader)
{
    auto dir = scratchDir();
    const QString data = dir->path() + QStringLiteral("/Data");
    QDir().mkpath(data);
    writeBytes(data + QStringLiteral("/Oameni.dbf"), QByteArray(5000, 'o'));
    writeBytes(data + QStringLiteral("/Tolvard.set"), "[SETARI]\r\nLocalitate=Ungureni\r\n");
    const QString archive = dir->path() + QStringLiteral("/a.L21");
    DataArchive::saveFolder(data, archive);

    const char *script = R"(
import struct, sys, zlib
b = open(sys.argv[1], 'rb').read()
n, = struct.unpack_from('<I', b, 0); p = 4
for i in range(n):
    l, = struct.unpack_from('<I', b, p); p += 4
    name = b[p:p+l].decode('cp1250'); p += l
    size, = struct.unpack_from('<I', b, p); p += 4
    d = zlib.decompressobj(); data = d.decompress(b[p:]); p = len(b) - len(d.unused_data)
    assert len(data) == size
    print(name, size, data[:6].decode('latin1'))
assert p == len(b)
)";
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(script), archive});
    ASSERT_TRUE(py.waitForFinished(30000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()),
              QStringLiteral("Oameni.dbf 5000 oooooo\nTolvard.set 31 [SETAR\n"));
}

struct HostileCase
{
    const char *name;
    QByteArray bytes;
    const char *said = nullptr; // part of the message, where it must name the cause
};

QList<HostileCase> hostileArchives()
{
    const QByteArray abc = zlibOf("abc");
    const QByteArray ok = rawEntry("a.txt", 3, abc);
    QByteArray corrupt = abc;
    corrupt[4] = char(corrupt[4] ^ 0x55);
    return {
        {"empty_file", QByteArray()},
        {"short_count", QByteArray("\x01\x00", 2)},
        {"count_without_files", u32(3) + ok},
        {"count_huge", u32(0xFFFFFFFFu) + ok},
        {"name_length_zero", u32(1) + rawEntry("", 3, abc)},
        {"name_length_huge", u32(1) + u32(0x7FFFFFFF) + QByteArray("a.txt") + u32(3) + abc},
        {"name_cut_short", u32(1) + u32(50) + QByteArray("a.txt")},
        {"name_with_slash", u32(1) + rawEntry("../x/a.txt", 3, abc)},
        {"name_absolute", u32(1) + rawEntry("/etc/passwd", 3, abc)},
        {"name_with_backslash", u32(1) + rawEntry("..\\a.txt", 3, abc)},
        {"name_dotdot", u32(1) + rawEntry("..", 3, abc)},
        {"name_dot", u32(1) + rawEntry(".", 3, abc)},
        {"name_with_control", u32(1) + rawEntry("a\nb", 3, abc)},
        {"name_with_unit_separator", u32(1) + rawEntry("a\x1f" "b.txt", 3, abc)},
        {"last_name_one_byte_short", u32(1) + u32(20) + QByteArray("Cereri-anul-2022.db"), "lipseste numele fisierului"},
        // The program's own working files: a restore would put them over its own.
        {"restore_journal_any_case", u32(2) + ok + rawEntry(".Restore-Journal", 3, abc), "\".Restore-Journal\" din ea poarta numele"},
        {"aside_folder_name", u32(1) + rawEntry(".restore-0", 3, abc), "\".restore-0\" din ea"},
        {"file_being_written", u32(1) + rawEntry(".Cereri.dbf.1x9k2c.part", 3, abc), "\".Cereri.dbf.1x9k2c.part\" din ea"},
        {"swap_journals", u32(1) + rawEntry("Inlocuiri", 3, abc), "\"Inlocuiri\" din ea"},
        {"name_with_drive_colon", u32(1) + rawEntry("C:a.txt", 3, abc)},
        {"duplicate_names_any_case", u32(2) + ok + rawEntry("A.TXT", 3, abc)},
        {"stated_size_too_small", u32(1) + rawEntry("a.txt", 2, abc)},
        {"stated_size_too_large", u32(1) + rawEntry("a.txt", 4, abc)},
        {"stated_size_absurd", u32(1) + rawEntry("a.txt", 0xFFFFFFF0u, abc)},
        {"stream_corrupt", u32(1) + rawEntry("a.txt", 3, corrupt)},
        {"stream_cut_short", u32(1) + rawEntry("a.txt", 3, abc.left(abc.size() - 3))},
        {"no_stream", u32(1) + rawEntry("a.txt", 3, QByteArray())},
        {"not_zlib", u32(1) + rawEntry("a.txt", 3, QByteArray("abc"))},
        {"bytes_after_last_file", u32(1) + ok + QByteArray("x")},
        {"second_entry_bad", u32(2) + ok + rawEntry("b/c", 3, abc)},
        // A few KB that would unpack to 4 MB of zeros: no office table compresses so well.
        {"unpacks_far_beyond_its_size", u32(1) + rawEntry("Cereri.dbf", 4 << 20, zlibOf(QByteArray(4 << 20, '\0')))},
    };
}

// Every cut and every one-byte change of a good archive: an error or plain
// entries, never a crash or an over-read (each input sits in an exact-size buffer).
TEST(DataArchive, TruncationAndCorruptionSweeps)
{
    const QByteArray good = DataArchive::encode({{QStringLiteral("Cereri.dbf"), QByteArray(300, 'c')},
                                                 {QStringLiteral("Log.dbf"), QByteArray("\x03log", 4)}});
    for (qsizetype n = 0; n < good.size(); ++n) {
        const std::unique_ptr<char[]> exact(new char[size_t(std::max<qsizetype>(n, 1))]);
        memcpy(exact.get(), good.constData(), size_t(n));
        EXPECT_THROW(DataArchive::decode(QByteArrayView(exact.get(), n)), ArchiveError) << "cut at " << n;
    }
    const QList<Entry> original = DataArchive::decode(good);
    for (qsizetype i = 0; i < good.size(); ++i) {
        for (unsigned char flip : {0x01, 0x80, 0xFF}) {
            QByteArray bad = good;
            bad[i] = char(bad[i] ^ flip);
            const std::unique_ptr<char[]> exact(new char[size_t(bad.size())]);
            memcpy(exact.get(), bad.constData(), size_t(bad.size()));
            try {
                const QList<Entry> back = DataArchive::decode(QByteArrayView(exact.get(), bad.size()));
                // What still reads is never wrong data: the zlib check sum and
                // the stated sizes catch every change but one inside a name.
                ASSERT_EQ(back.size(), original.size()) << "byte " << i;
                for (int k = 0; k < back.size(); ++k) {
                    EXPECT_TRUE(DataArchive::isPlainName(back[k].name));
                    EXPECT_EQ(back[k].data, original[k].data) << "byte " << i;
                }
            } catch (const ArchiveError &) {
            }
        }
    }
}

TEST(DataArchive, RefusedArchivesLeaveTheDataFolderByteIdentical)
{
    auto dir = scratchDir();
    const QString data = dir->path() + QStringLiteral("/Data");
    QDir().mkpath(data);
    writeBytes(data + QStringLiteral("/Cereri.dbf"), QByteArray(3000, 'c'));
    writeBytes(data + QStringLiteral("/Tolvard.set"), "[SETARI]\r\n");
    const QMap<QString, QByteArray> before = snapshot(data);

    for (const HostileCase &c : hostileArchives()) {
        const QString archive = dir->path() + QStringLiteral("/bad.L21");
        writeBytes(archive, c.bytes);
        EXPECT_THROW(DataArchive::decode(c.bytes), ArchiveError) << c.name;
        try {
            DataArchive::restoreFolder(archive, data);
            ADD_FAILURE() << c.name;
        } catch (const ArchiveError &e) {
            EXPECT_TRUE(!c.said || (e.message().contains(QLatin1String(c.said)) && e.message().contains(archive))) << c.name << ": " << e.what();
        }
        EXPECT_EQ(snapshot(data), before) << c.name;
    }
    // Each file within its bound, together past the archive's.
    const QByteArray two = u32(2) + rawEntry("a.txt", 3, zlibOf("abc")) + rawEntry("b.txt", 3, zlibOf("abc"));
    ArchiveLimits limits;
    limits.maxTotalSize = 6;
    EXPECT_EQ(DataArchive::decode(two, limits).size(), 2);
    limits.maxTotalSize = 5;
    EXPECT_THROW(DataArchive::decode(two, limits), ArchiveError);
}

// Refused by what the files claim, before any of them is unpacked.
TEST(DataArchive, ClaimsBeyondTheArchiveOrTheFreeSpaceAreRefusedInRomanian)
{
    const QByteArray bomb = u32(1) + rawEntry("Cereri.dbf", 4 << 20, zlibOf(QByteArray(4 << 20, '\0')));
    const QByteArray table = DataArchive::encode({{QStringLiteral("Cereri.dbf"), QByteArray(5000, 'c')}});
    ArchiveLimits smallDisk;
    smallDisk.freeSpace = 4999;
    struct Case { const char *name; QByteArray bytes; ArchiveLimits limits; const char *said; };
    const Case cases[] = {
        {"a hundred times its size", bomb, {}, "de mai mult de 100 de ori cat arhiva"},
        {"more than the free space", table, smallDisk, "Nu este spatiu pe disc pentru arhiva"},
    };
    for (const Case &c : cases) {
        try {
            DataArchive::decode(c.bytes, c.limits);
            ADD_FAILURE() << c.name;
        } catch (const ArchiveError &e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.said))) << c.name << ": " << e.what();
        }
    }
    smallDisk.freeSpace = 5000;
    EXPECT_EQ(DataArchive::decode(table, smallDisk).size(), 1);
}

TEST(DataArchive, RestoreReplacesTheFilesAndKeepsExistingNameCase)
{
    auto dir = scratchDir();
    const QString data = dir->path() + QStringLiteral("/Data");
    QDir().mkpath(data);
    writeBytes(data + QStringLiteral("/Cereri.dbf"), "old requests");
    writeBytes(data + QStringLiteral("/Motive.lst"), "not in the archive");
    const QString archive = dir->path() + QStringLiteral("/win.L21");
    // An archive made on Windows names its tables in upper case.
    writeBytes(archive, DataArchive::encode({{QStringLiteral("CERERI.DBF"), "new requests"},
                                             {QStringLiteral("Luni.lst"), "11.2022\r\n"}}));
    DataArchive::restoreFolder(archive, data);
    const QMap<QString, QByteArray> expected = {{QStringLiteral("Cereri.dbf"), "new requests"},
                                                {QStringLiteral("Luni.lst"), "11.2022\r\n"}};
    EXPECT_EQ(snapshot(data), expected);
}

TEST(DataArchive, AFailedWritePutsTheOldFilesBack)
{
    auto dir = scratchDir();
    const QString data = dir->path() + QStringLiteral("/Data");
    // A folder where the archive wants a file: the write fails halfway.
    QDir().mkpath(data + QStringLiteral("/Luni.lst"));
    writeBytes(data + QStringLiteral("/Cereri.dbf"), "old");
    writeBytes(data + QStringLiteral("/Oameni.dbf"), "old members");
    const QMap<QString, QByteArray> before = snapshot(data);
    const QString archive = dir->path() + QStringLiteral("/a.L21");
    writeBytes(archive, DataArchive::encode({{QStringLiteral("Cereri.dbf"), "new"}, {QStringLiteral("Luni.lst"), "x"}}));
    EXPECT_THROW(DataArchive::restoreFolder(archive, data), ArchiveError);
    EXPECT_EQ(snapshot(data), before);
}

TEST(DataArchive, SavingIntoTheDataFolderLeavesTheArchiveAndOurWorkingFilesOut)
{
    auto dir = scratchDir();
    const QString data = dir->path() + QStringLiteral("/Data");
    QDir().mkpath(data + QStringLiteral("/sub"));
    writeBytes(data + QStringLiteral("/Log.dbf"), "log");
    // The program's own working files, which a restore would refuse.
    writeBytes(data + QStringLiteral("/.restore-journal"), "{}");
    writeBytes(data + QStringLiteral("/.Oameni.dbf.a1b2.part"), "half");
    writeBytes(data + QStringLiteral("/sub/ignored.txt"), "sub");
    const QString archive = data + QStringLiteral("/copie.L21");
    DataArchive::saveFolder(data, archive);
    DataArchive::saveFolder(data, archive); // the second run must not take in the first
    const QList<Entry> entries = DataArchive::readFile(archive);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].name, QStringLiteral("Log.dbf"));
}

TEST(DataArchive, RestoringFromAnArchiveInsideTheDataFolderKeepsTheArchive)
{
    auto dir = scratchDir();
    const QString data = dir->path() + QStringLiteral("/Data");
    QDir().mkpath(data);
    writeBytes(data + QStringLiteral("/Cereri.dbf"), "old");
    const QByteArray archive = DataArchive::encode({{QStringLiteral("Cereri.dbf"), "new"}});
    writeBytes(data + QStringLiteral("/copie.L21"), archive);
    DataArchive::restoreFolder(data + QStringLiteral("/copie.L21"), data);
    const QMap<QString, QByteArray> expected = {{QStringLiteral("Cereri.dbf"), "new"}, {QStringLiteral("copie.L21"), archive}};
    EXPECT_EQ(snapshot(data), expected);
}

TEST(DataArchive, MissingArchiveIsAClearError)
{
    auto dir = scratchDir();
    try {
        DataArchive::readFile(dir->path() + QStringLiteral("/none.L21"));
        FAIL();
    } catch (const ArchiveError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("none.L21")));
    }
}

} // namespace
