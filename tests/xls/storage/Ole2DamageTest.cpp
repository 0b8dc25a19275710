#include "Ole2TestSupport.h"

#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

#include <functional>
#include <gtest/gtest.h>

using namespace IndependentReaders;
using namespace Ole2Test;

namespace {

// Reads a copy placed at the very end of its own allocation, so an over-read
// is caught by the sanitizer build. Returns the error text, or "" when it opened.
QString openError(const QByteArray &bytes, QMap<QString, OleEntry> *entries = nullptr)
{
    const std::unique_ptr<char[]> exact(new char[size_t(std::max<qsizetype>(bytes.size(), 1))]);
    std::memcpy(exact.get(), bytes.constData(), size_t(bytes.size()));
    try {
        const auto doc = TOle2Storage::OpenBytes(QByteArrayView(exact.get(), bytes.size()));
        if (entries)
            *entries = flatten(*doc);
        return QString();
    } catch (const EExcelException &e) {
        return QString::fromUtf8(e.what());
    }
}

// Root with two large streams (regular sectors), a small one (mini-stream) and a storage.
Layout sample()
{
    TOle2Storage root;
    root.CreateStream(QStringLiteral("Big1")).SetData(QByteArray(5000, '1'));
    root.CreateStream(QStringLiteral("Big2")).SetData(QByteArray(5000, '2'));
    root.CreateStream(QStringLiteral("Small")).SetData(QByteArray(200, 's'));
    root.CreateStorage(QStringLiteral("Sub")).CreateStream(QStringLiteral("Leaf")).SetData("leaf");
    return Layout{root.ToBytes()};
}

} // namespace

TEST(Ole2Damage, CraftedFaultsRaiseWithAClearMessage)
{
    struct Row { const char *name; std::function<void(Layout &)> damage; const char *expect; };
    const Row rows[] = {
        {"not a compound document", [](Layout &l) { l.bytes[0] = 'P'; }, "is not a compound document"},
        {"shorter than a header", [](Layout &l) { l.bytes.truncate(300); }, "is not a compound document"},
        {"byte order", [](Layout &l) { WriteWord(l.bytes, 28, 0xFEFF); }, "byte-order"},
        {"sector shift", [](Layout &l) { WriteWord(l.bytes, 30, 10); }, "sector shift"},
        {"mini-stream cutoff", [](Layout &l) { WriteCardinal(l.bytes, 56, 2048); }, "cutoff"},
        {"more FAT sectors than the file", [](Layout &l) { WriteCardinal(l.bytes, 44, 5000); }, "FAT sectors in a file"},
        {"FAT sector beyond the end", [](Layout &l) { WriteCardinal(l.bytes, 76, 4000); }, "beyond the end of the file"},
        {"DIFAT lists too few", [](Layout &l) { WriteCardinal(l.bytes, 44, 2); }, "the DIFAT lists"},
        {"cyclic FAT chain",
         [](Layout &l) { const quint32 s = l.startOf(l.indexOf("Big1")); WriteCardinal(l.bytes, l.fatLink(s + 1), s); },
         "loops back"},
        {"chain to an out-of-range sector",
         [](Layout &l) { WriteCardinal(l.bytes, l.fatLink(l.startOf(l.indexOf("Big1"))), 100000); }, "beyond the end of the file"},
        {"chain into a free sector",
         [](Layout &l) { WriteCardinal(l.bytes, l.fatLink(l.startOf(l.indexOf("Big1"))), 0xFFFFFFFF); }, "special"},
        {"chain too short for the size",
         [](Layout &l) { WriteCardinal(l.bytes, l.fatLink(l.startOf(l.indexOf("Big1"))), 0xFFFFFFFE); }, "chain of only"},
        {"two streams share sectors",
         [](Layout &l) { WriteCardinal(l.bytes, l.entry(l.indexOf("Big2")) + 116, l.startOf(l.indexOf("Big1"))); },
         "belongs to another chain"},
        {"stream claims more than the file",
         [](Layout &l) { WriteCardinal(l.bytes, l.entry(l.indexOf("Big1")) + 120, 0x7FFFFFFF); }, "more than the document holds"},
        {"mini-stream sector out of range",
         [](Layout &l) { WriteCardinal(l.bytes, l.entry(l.indexOf("Small")) + 116, 500); }, "outside"},
        {"directory loop: entry is its own left sibling",
         [](Layout &l) { const quint32 i = l.indexOf("Big2"); WriteCardinal(l.bytes, l.entry(i) + 68, i); }, "linked twice"},
        {"directory loop: storage holds the root",
         [](Layout &l) { WriteCardinal(l.bytes, l.entry(l.indexOf("Sub")) + 76, 0); }, "linked twice"},
        {"directory link out of range",
         [](Layout &l) { WriteCardinal(l.bytes, l.entry(l.indexOf("Small")) + 72, 9999); }, "points to entry"},
        {"linked entry is unused", [](Layout &l) { l.bytes[l.entry(l.indexOf("Small")) + 66] = 0; }, "has type 0"},
        {"first entry is not the root", [](Layout &l) { l.bytes[l.entry(0) + 66] = 1; }, "not the root"},
        {"name length odd", [](Layout &l) { WriteWord(l.bytes, l.entry(l.indexOf("Small")) + 64, 11); }, "bad name length"},
        {"name length too long", [](Layout &l) { WriteWord(l.bytes, l.entry(l.indexOf("Small")) + 64, 66); }, "bad name length"},
        {"duplicate names",
         [](Layout &l) { WriteWord(l.bytes, l.entry(l.indexOf("Big2")) + 6, '1'); }, "appears twice"},
        {"last sector cut off", [](Layout &l) { l.bytes.chop(512); }, "beyond the end"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        Layout l = sample();
        ASSERT_EQ(openError(l.bytes), QString());
        r.damage(l);
        const QString error = openError(l.bytes);
        EXPECT_TRUE(error.contains(QString::fromUtf8(r.expect))) << "got: " << error.toStdString();
    }
}

// Storages nested past the limit are refused both ways; at the limit they pass.
TEST(Ole2Damage, DeepDirectoriesAreRefused)
{
    TOle2Storage root;
    TOle2Storage *s = &root;
    for (int depth = 1; depth <= TOle2Storage::MaxDepth; ++depth)
        s = &s->CreateStorage(QStringLiteral("d%1").arg(depth));
    s->CreateStream(QStringLiteral("x")).SetData("x");
    root.CreateStorage(QStringLiteral("e")); // a spare storage to hang deeper
    Layout l{root.ToBytes()};
    ASSERT_EQ(openError(l.bytes), QString());

    // Detach "e" from the root's tree and hang it below the deepest storage.
    const quint32 e = l.indexOf("e"), d1 = l.indexOf("d1");
    ASSERT_EQ(ReadCardinal(l.bytes, l.entry(0) + 76), e); // "e" is the root of the root's tree
    WriteCardinal(l.bytes, l.entry(e) + 72, 0xFFFFFFFF);
    WriteCardinal(l.bytes, l.entry(e) + 68, 0xFFFFFFFF);
    WriteCardinal(l.bytes, l.entry(0) + 76, d1);
    const quint32 deepest = l.indexOf(QStringLiteral("d%1").arg(TOle2Storage::MaxDepth));
    ASSERT_EQ(openError(l.bytes), QString());
    WriteCardinal(l.bytes, l.entry(deepest) + 76, e);
    EXPECT_TRUE(openError(l.bytes).contains(QStringLiteral("nested more than"))) << openError(l.bytes).toStdString();

    s->CreateStorage(QStringLiteral("too-deep"));
    EXPECT_THROW(root.ToBytes(), EExcelException);
}

// A damaged fixture either raises or reads exactly as the intact one; it never
// crashes and never opens with a stream missing or changed.
TEST(Ole2Damage, TruncationSweepOverTheFixtures)
{
    for (const QString &file : fixtureFiles()) {
        const QByteArray bytes = readFile(file);
        if (bytes.size() > 100000)
            continue;
        SCOPED_TRACE(file.toStdString());
        QMap<QString, OleEntry> intact;
        ASSERT_EQ(openError(bytes, &intact), QString());
        // Every sector edge and its neighbours, and a stride through the sectors.
        QVector<qsizetype> cuts;
        for (qsizetype edge = 0; edge < bytes.size(); edge += 512)
            cuts << edge << edge + 1 << edge + 511;
        for (qsizetype cut = 0; cut < bytes.size(); cut += 97)
            cuts << cut;
        for (qsizetype cut : cuts) {
            QMap<QString, OleEntry> read;
            if (openError(bytes.left(cut), &read).isEmpty()) {
                EXPECT_EQ(read.keys(), intact.keys()) << "cut at " << cut;
                for (const OleEntry &e : intact)
                    EXPECT_TRUE(read[e.path].data == e.data) << "cut at " << cut << " " << e.path.toStdString();
            }
        }
    }
}

TEST(Ole2Damage, OneByteCorruptionSweepOverTheStructure)
{
    for (const QString &file : fixtureFiles()) {
        const QByteArray bytes = readFile(file);
        if (bytes.size() > 100000)
            continue;
        SCOPED_TRACE(file.toStdString());
        const Layout l{bytes};
        // The header, the first FAT sector and the first directory sector hold
        // every link; stream bytes can change without damaging the document.
        QVector<qsizetype> offsets;
        for (qsizetype i = 0; i < 512; ++i)
            offsets << i;
        for (qsizetype base : {l.sectorOffset(l.firstFat()), l.sectorOffset(l.firstDir())})
            for (qsizetype i = 0; i < std::min<qsizetype>(l.sectorSize(), 1024) && base + i < bytes.size(); ++i)
                offsets << base + i;
        int opened = 0;
        for (qsizetype off : offsets) {
            for (char x : {'\x01', '\x80', '\xFF'}) {
                QByteArray damaged = bytes;
                damaged[off] = char(damaged[off] ^ x);
                QMap<QString, OleEntry> read;
                if (!openError(damaged, &read).isEmpty())
                    continue;
                // Unused fields, free links, names, class ids, times, sizes: whatever
                // opens must be a document we can write and read back alike.
                ++opened;
                QMap<QString, OleEntry> again;
                ASSERT_EQ(openError(TOle2Storage::OpenBytes(damaged)->ToBytes(), &again), QString()) << "offset " << off;
                EXPECT_EQ(again.keys(), read.keys()) << "offset " << off;
            }
        }
        EXPECT_GT(opened, 0);
    }
}
