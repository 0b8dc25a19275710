#include "DbfTestSupport.h"

#include <QDate>

using namespace dbftest;

namespace {

// Five people, the second and fourth deleted.
QString makeTable(const Scratch &s, quint8 version = 0x03, int backlink = 0)
{
    TableBytes tb;
    tb.version = version;
    tb.backlink = backlink;
    tb.fields = {{"NUME", 'C', 6}, {"ADRESA", 'C', 8}, {"SUMA", 'N', 7, 2}};
    // NUME 6, ADRESA 8, SUMA 7
    tb.records = {"Ana   Str. 1    10.00", "Bogdanstr. 2    20.00", "CostelNr 3      30.00",
                  "Dan   Nr 4      40.00", "Elena Nr 5      50.00"};
    tb.deleted = {false, true, false, true, false};
    const QString path = s.path(QStringLiteral("Tabel.dbf"));
    writeAll(path, tb.build());
    return path;
}

QStringList column(const Dbf &t, int field)
{
    QStringList out;
    for (qint64 r = 0; r < t.recordCount(); ++r)
        out << t.text(r, field);
    return out;
}

QStringList folderContents(const Scratch &s)
{
    return QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(DbfRestructure, PackDropsDeletedRecords)
{
    Scratch s;
    const QString path = makeTable(s);
    Dbf::pack(s.path(QStringLiteral("TABEL.DBF"))); // found without regard to case
    const Dbf t = Dbf::open(path);
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_EQ(column(t, 0), (QStringList{"Ana", "Costel", "Elena"}));
    EXPECT_EQ(column(t, 2), (QStringList{"10.00", "30.00", "50.00"}));
    for (qint64 r = 0; r < 3; ++r)
        EXPECT_FALSE(t.isDeleted(r));
    EXPECT_EQ(t.lastUpdate(), QDate::currentDate());
    const QByteArray b = readAll(path);
    EXPECT_EQ(b.size(), t.headerLength() + 3 * t.recordLength() + 1);
    EXPECT_EQ(b.back(), '\x1A');
    EXPECT_EQ(folderContents(s), QStringList{"Tabel.dbf"});
}

TEST(DbfRestructure, PackOfEveryRecordDeleted)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("t.dbf"));
    {
        Dbf t = Dbf::create(path, {{QStringLiteral("A"), 'C', 3, 0, 0}});
        for (int i = 0; i < 3; ++i)
            t.setDeleted(t.appendBlank(), true);
    }
    Dbf::pack(path);
    const Dbf t = Dbf::open(path);
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(readAll(path).size(), t.headerLength() + 1);
}

// A file that cannot be read is left exactly as it was, with no leftovers.
TEST(DbfRestructure, FailureLeavesTheTableWhole)
{
    Scratch s;
    const QString path = makeTable(s);
    QByteArray broken = readAll(path);
    broken.chop(10); // the last record cut short
    writeAll(path, broken);
    EXPECT_THROW(Dbf::pack(path), DbfError);
    EXPECT_THROW(Dbf::widenCharField(path, QStringLiteral("NUME"), 10), DbfError);
    EXPECT_EQ(readAll(path), broken);
    EXPECT_EQ(folderContents(s), QStringList{"Tabel.dbf"});
}

TEST(DbfRestructure, WidenKeepsEveryRecord)
{
    Scratch s;
    const QString path = makeTable(s);
    Dbf::widenCharField(path, QStringLiteral("nume"), 12);
    const Dbf t = Dbf::open(path);
    ASSERT_EQ(t.recordCount(), 5);
    EXPECT_EQ(t.fields()[0].length, 12);
    EXPECT_EQ(t.fields()[1].offset, 13);
    EXPECT_EQ(t.fields()[2].offset, 21);
    EXPECT_EQ(t.recordLength(), 1 + 12 + 8 + 7);
    EXPECT_EQ(column(t, 0), (QStringList{"Ana", "Bogdan", "Costel", "Dan", "Elena"}));
    EXPECT_EQ(column(t, 1), (QStringList{"Str. 1", "str. 2", "Nr 3", "Nr 4", "Nr 5"}));
    EXPECT_EQ(t.value(4, 2), QVariant(50.0));
    EXPECT_TRUE(t.isDeleted(1));
    EXPECT_TRUE(t.isDeleted(3));
    EXPECT_FALSE(t.isDeleted(4));
    EXPECT_EQ(readAll(path).size(), t.headerLength() + 5 * t.recordLength() + 1);

    // The widened field takes a value that did not fit before.
    Dbf w = Dbf::open(path, Dbf::Mode::ReadWrite);
    w.setValue(0, 0, QStringLiteral("Anastasia Ion"));
    EXPECT_EQ(w.text(0, 0), QStringLiteral("Anastasia Io"));
}

TEST(DbfRestructure, WidenRefusals)
{
    struct Row { const char *name; const char *field; int width; };
    const Row rows[] = {
        {"missing field", "PRENUME", 10},
        {"numeric field", "SUMA", 10},
        {"narrower", "ADRESA", 4},
        {"past the widest text", "NUME", 255},
    };
    Scratch s;
    const QString path = makeTable(s);
    const QByteArray before = readAll(path);
    for (const Row &row : rows) {
        EXPECT_THROW(Dbf::widenCharField(path, QString::fromLatin1(row.field), row.width), DbfError) << row.name;
        EXPECT_EQ(readAll(path), before) << row.name;
    }
    Dbf::widenCharField(path, QStringLiteral("NUME"), 6); // the same width: nothing to do
    EXPECT_EQ(readAll(path), before);
}

// Visual FoxPro keeps each field's place in its descriptor; after widening the
// places follow, and the backlink area is kept.
TEST(DbfRestructure, WidenFoxProTable)
{
    Scratch s;
    const QString path = makeTable(s, 0x30, 263);
    Dbf::widenCharField(path, QStringLiteral("NUME"), 10);
    const QByteArray b = readAll(path);
    const auto place = [&](int i) { return quint8(b[32 + 32 * i + 12]) | quint8(b[32 + 32 * i + 13]) << 8; };
    EXPECT_EQ(place(0), 1);
    EXPECT_EQ(place(1), 11);
    EXPECT_EQ(place(2), 19);
    const Dbf t = Dbf::open(path);
    EXPECT_EQ(t.headerLength(), 32 + 96 + 1 + 263);
    EXPECT_EQ(column(t, 1), (QStringList{"Str. 1", "str. 2", "Nr 3", "Nr 4", "Nr 5"}));
}
