#include "xls/support/ErrorOf.h"
#include "Ole2TestSupport.h"

#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace IndependentReaders;
using namespace Ole2Test;

namespace {

QByteArray pattern(qsizetype size, quint32 seed)
{
    QByteArray out(size, '\0');
    QRandomGenerator gen(seed);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(gen.bounded(256));
    return out;
}


} // namespace

TEST(Ole2Writer, NamesAreCheckedWhenEntriesAreAdded)
{
    struct Row { const char *name; QString entry; bool ok; };
    const Row rows[] = {
        {"ordinary", QStringLiteral("Sheet"), true},
        {"31 characters", QString(31, 'a'), true},
        {"32 characters", QString(32, 'a'), false},
        {"empty", QString(), false},
        {"taken, other case", QStringLiteral("WORKBOOK"), false},
        {"taken, diacritics upper-cased", QStringLiteral("ŞIR"), false},
        {"null inside", QStringLiteral("a") + QChar(0) + QStringLiteral("b"), false},
        {"control prefix", QStringLiteral("\x05SummaryInformation"), true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        TOle2Storage root;
        root.CreateStream(QStringLiteral("Workbook"));
        root.CreateStorage(QStringLiteral("şir"));
        const QString error = ErrorOf([&] { root.CreateStream(r.entry); });
        EXPECT_EQ(error.isEmpty(), r.ok) << error.toStdString();
        EXPECT_EQ(root.Count(), r.ok ? 3 : 2);
    }
}

TEST(Ole2Writer, NamesChangedAfterAddingAreCheckedOnSave)
{
    TOle2Storage root;
    root.CreateStream(QStringLiteral("A"));
    root.CreateStream(QStringLiteral("B")).Name = QStringLiteral("a");
    EXPECT_THROW(root.ToBytes(), EExcelException);
    root.FindStream(u"a")->Name = QString(40, 'x');
    EXPECT_THROW(root.ToBytes(), EExcelException);
}

// Streams on both sides of the 4,096-byte cutoff, an empty one, and sizes that
// end exactly on and just past a sector, as olefile and libgsf read them.
TEST(Ole2Writer, StreamSizesAroundTheCutoffAndSectorEdges)
{
    const qsizetype sizes[] = {0, 1, 63, 64, 65, 511, 512, 513, 4095, 4096, 4097, 8192, 20000};
    TOle2Storage root;
    TOle2Storage &sub = root.CreateStorage(QStringLiteral("Sub"));
    for (qsizetype size : sizes) {
        root.CreateStream(QStringLiteral("s%1").arg(size)).SetData(pattern(size, quint32(size)));
        sub.CreateStream(QStringLiteral("t%1").arg(size)).SetData(pattern(size, quint32(size) + 7));
    }
    const QString file = scratchDir(QStringLiteral("ole2-sizes")) + QStringLiteral("/sizes.ole");
    root.SaveToFile(file);

    const auto theirs = listWithOlefile(file);
    const auto ours = flatten(root);
    ASSERT_EQ(theirs.keys(), ours.keys());
    for (const OleEntry &e : ours)
        EXPECT_TRUE(theirs[e.path].data == e.data) << e.path.toStdString();
    const auto gsf = listWithGsf(file);
    for (qsizetype size : sizes)
        EXPECT_EQ(gsf.value(QStringLiteral("Sub/t%1").arg(size), -2), size);
    EXPECT_EQ(flatten(*TOle2Storage::OpenFile(file)).keys(), ours.keys());
}

// Class ids, state bits and both time stamps of every entry kind are written
// where other readers look for them.
TEST(Ole2Writer, ClassIdsAndTimeStampsReachOtherReaders)
{
    TOle2Storage root;
    root.ClassId = QByteArray::fromHex("1008020000000000c000000000000046");
    root.ModificationTime = 0x01DA5E0F12345678ull;
    TOle2Storage &vba = root.CreateStorage(QStringLiteral("_VBA_PROJECT_CUR"));
    vba.ClassId = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    vba.CreationTime = 0x01D9000000000001ull;
    vba.ModificationTime = 0x01D9000000000002ull;
    vba.StateBits = 0x12345678;
    TOle2Stream &s = vba.CreateStream(QStringLiteral("PROJECT"));
    s.SetData("ID=\"{00000000-0000-0000-0000-000000000000}\"");
    s.ModificationTime = 0x01D9000000000003ull;

    const QString file = scratchDir(QStringLiteral("ole2-props")) + QStringLiteral("/props.ole");
    root.SaveToFile(file);
    const auto theirs = listWithOlefile(file);
    EXPECT_EQ(theirs[""].classId.toHex(), root.ClassId.toHex());
    EXPECT_EQ(theirs[""].modificationTime, root.ModificationTime);
    EXPECT_EQ(theirs["_VBA_PROJECT_CUR"].classId.toHex(), vba.ClassId.toHex());
    EXPECT_EQ(theirs["_VBA_PROJECT_CUR"].creationTime, vba.CreationTime);
    EXPECT_EQ(theirs["_VBA_PROJECT_CUR"].modificationTime, vba.ModificationTime);
    EXPECT_EQ(theirs["_VBA_PROJECT_CUR/PROJECT"].modificationTime, s.ModificationTime);
    EXPECT_EQ(TOle2Storage::OpenFile(file)->FindStorage(u"_vba_project_cur")->StateBits, 0x12345678u);
}

// Past 109 FAT sectors (about 7 MB) the FAT is listed in DIFAT sectors.
TEST(Ole2Writer, LargeStreamsNeedDifatSectors)
{
    TOle2Storage root;
    const QByteArray big = pattern(9 * 1024 * 1024 + 123, 42);
    root.CreateStream(QStringLiteral("Workbook")).SetData(big);
    root.CreateStream(QStringLiteral("Small")).SetData("small");
    const QString file = scratchDir(QStringLiteral("ole2-large")) + QStringLiteral("/large.ole");
    root.SaveToFile(file);

    const QByteArray bytes = readFile(file);
    const quint32 numFat = ReadCardinal(bytes, 44), numDifat = ReadCardinal(bytes, 72);
    EXPECT_GT(numFat, 109u);
    EXPECT_GE(numDifat, 1u);
    EXPECT_EQ(bytes.size() % 512, 0);

    const auto theirs = listWithOlefile(file);
    EXPECT_TRUE(theirs["Workbook"].data == big);
    EXPECT_EQ(theirs["Small"].data, QByteArray("small"));
    EXPECT_EQ(listWithGsf(file).value(QStringLiteral("Workbook")), big.size());
    EXPECT_TRUE(TOle2Storage::OpenBytes(bytes)->OpenStream(u"Workbook").Data() == big);
}

// Many entries make a deep sibling tree; it must come back sorted the way the
// directory sorts (shorter names first, then upper-cased text), and readable by olefile.
TEST(Ole2Writer, ManyEntriesKeepTheDirectoryOrder)
{
    TOle2Storage root;
    for (int i = 0; i < 300; ++i)
        root.CreateStream(QStringLiteral("n%1").arg(i * 7919 % 1000)).SetData(QByteArray::number(i));
    root.CreateStream(QStringLiteral("ZZ"));
    root.CreateStream(QStringLiteral("aaaa"));
    const QString file = scratchDir(QStringLiteral("ole2-many")) + QStringLiteral("/many.ole");
    root.SaveToFile(file);
    EXPECT_EQ(listWithOlefile(file).size(), 303);

    const auto reread = TOle2Storage::OpenFile(file);
    ASSERT_EQ(reread->Count(), 302);
    for (int i = 1; i < reread->Count(); ++i) {
        const QString &a = reread->Entries()[i - 1]->Name, &b = reread->Entries()[i]->Name;
        EXPECT_TRUE(a.size() < b.size() || (a.size() == b.size() && a.toUpper() < b.toUpper()))
            << a.toStdString() << " before " << b.toStdString();
    }
}

TEST(Ole2Stream, ReadWriteAndSeek)
{
    TOle2Stream s(QStringLiteral("Workbook"));
    s.Write("abcdef", 6);
    EXPECT_EQ(s.Position(), 6);
    s.Seek(-4);
    s.Write("XY", 2);
    EXPECT_EQ(s.Data(), QByteArray("abXYef"));
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 2);
    EXPECT_EQ(QByteArray(buf, 2), QByteArray("ef"));
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_EQ(s.Seek(100, TOle2Stream::SeekOrigin::Begin), 6);
    EXPECT_THROW(s.Seek(-7), EExcelException);
    EXPECT_EQ(s.Seek(-2, TOle2Stream::SeekOrigin::End), 4);
}

// A stream written late, straight into the device, must give the document
// that holding its bytes gives; one that writes other than it announced is refused.
TEST(Ole2Writer, LateStreamGivesTheSameDocument)
{
    struct Row { const char *name; qsizetype size; qsizetype written; };
    const Row rows[] = {
        {"in sectors of its own", 70000, 70000},
        {"in the mini-stream", 3000, 3000},
        {"exactly the cutoff", 4096, 4096},
        {"empty", 0, 0},
        {"writes short", 70000, 69999},
        {"writes long, mini-stream", 100, 101},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const QByteArray bytes = pattern(r.written, 7);
        TOle2Storage held;
        held.CreateStream(QStringLiteral("Small")).SetData(pattern(200, 1));
        held.CreateStream(QStringLiteral("Workbook")).SetData(bytes.left(r.size));
        held.CreateStream(QStringLiteral("Zeta")).SetData(pattern(9000, 2));

        TOle2Storage late;
        late.CreateStream(QStringLiteral("Small")).SetData(pattern(200, 1));
        const TOle2LateStream stream{&late.CreateStream(QStringLiteral("Workbook")), r.size,
                                     [&](QIODevice &out) { out.write(bytes); }};
        late.CreateStream(QStringLiteral("Zeta")).SetData(pattern(9000, 2));
        QByteArray written;
        QBuffer device(&written);
        device.open(QIODevice::WriteOnly);
        const QString error = ErrorOf([&] { late.SaveToDevice(device, &stream); });
        if (r.size != r.written) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(written, held.ToBytes());
    }
}
