#include "DbfTestSupport.h"

#include "platform/db/DbfCodec.h"

#include <QDate>
#include <QRandomGenerator>

#include <cmath>
#include <csignal>
#include <functional>
#include <limits>
#include <sys/resource.h>

using namespace dbftest;

namespace {

QList<DbfField> sampleFields()
{
    return {{QStringLiteral("nume"), 'C', 10, 0, 0},
            {QStringLiteral("SUMA"), 'N', 10, 2, 0},
            {QStringLiteral("DATA"), 'D', 8, 0, 0},
            {QStringLiteral("ACTIV"), 'L', 1, 0, 0}};
}

quint32 u32At(const QByteArray &b, int at)
{
    return quint8(b[at]) | quint8(b[at + 1]) << 8 | quint8(b[at + 2]) << 16 | quint32(quint8(b[at + 3])) << 24;
}

// The bytes a value takes in a one-field table of the given shape.
QByteArray stored(char type, int length, int decimals, const QVariant &v)
{
    Scratch s;
    Dbf t = Dbf::create(s.path(QStringLiteral("v.dbf")), {{QStringLiteral("F"), type, length, decimals, 0}});
    const qint64 r = t.appendBlank();
    t.setValue(r, 0, v);
    return t.rawField(r, 0).toByteArray();
}

} // namespace

TEST(DbfWrite, CreatedHeaderBytes)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("new.dbf"));
    Dbf::create(path, sampleFields()).close();
    const QByteArray b = readAll(path);
    const QDate today = QDate::currentDate();

    ASSERT_EQ(b.size(), 32 + 4 * 32 + 1 + 1);
    EXPECT_EQ(quint8(b[0]), 0x03);                     // dBase III
    EXPECT_EQ(quint8(b[1]), today.year() - 1900);      // last update
    EXPECT_EQ(quint8(b[2]), today.month());
    EXPECT_EQ(quint8(b[3]), today.day());
    EXPECT_EQ(u32At(b, 4), 0u);                        // no records
    EXPECT_EQ(quint8(b[8]) | quint8(b[9]) << 8, 161);  // header length
    EXPECT_EQ(quint8(b[10]) | quint8(b[11]) << 8, 30); // 1 + 10 + 10 + 8 + 1
    EXPECT_EQ(quint8(b[29]), 0xC8);                    // code page 1250
    struct Descriptor { const char *name; char type; int offset; int length; int decimals; };
    const Descriptor expected[] = {{"NUME", 'C', 1, 10, 0}, {"SUMA", 'N', 11, 10, 2}, {"DATA", 'D', 21, 8, 0},
                                   {"ACTIV", 'L', 29, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        const QByteArray d = b.mid(32 + 32 * i, 32);
        EXPECT_EQ(d.left(11), QByteArray(expected[i].name).leftJustified(11, '\0')) << i;
        EXPECT_EQ(d[11], expected[i].type) << i;
        EXPECT_EQ(u32At(d, 12), quint32(expected[i].offset)) << i;
        EXPECT_EQ(quint8(d[16]), expected[i].length) << i;
        EXPECT_EQ(quint8(d[17]), expected[i].decimals) << i;
    }
    EXPECT_EQ(b[160], '\x0D');
    EXPECT_EQ(b[161], '\x1A');
}

TEST(DbfWrite, FieldListsThatCannotBeStored)
{
    struct Row { const char *name; QList<DbfField> fields; };
    const auto f = [](const char *n, char t, int l, int d = 0) { return DbfField{QString::fromLatin1(n), t, l, d, 0}; };
    QList<DbfField> wide; // 65,535 bytes of text
    for (int left = 65535; left > 0; left -= 254)
        wide.append(f(("F" + QByteArray::number(wide.size())).constData(), 'C', qMin(left, 254)));
    const Row rows[] = {
        {"no fields", {}},
        {"name too long", {f("NUMEFOARTELUNG", 'C', 5)}},
        {"empty name", {f("", 'C', 5)}},
        {"name with a blank", {f("NU ME", 'C', 5)}},
        {"same name twice, other case", {f("NUME", 'C', 5), f("nume", 'C', 6)}},
        {"text of width 0", {f("A", 'C', 0)}},
        {"text of width 255", {f("A", 'C', 255)}},
        {"number of width 21", {f("A", 'N', 21)}},
        {"decimals leave no room for the point", {f("A", 'N', 4, 3)}},
        {"memo", {f("A", 'M', 10)}},
        {"record of 65536 bytes with the deletion flag: its 16-bit length would wrap", wide},
    };
    Scratch s;
    for (const Row &row : rows) {
        const QString path = s.path(QStringLiteral("bad.dbf"));
        EXPECT_THROW(Dbf::create(path, row.fields), DbfError) << row.name;
        EXPECT_FALSE(QFile::exists(path)) << row.name;
    }
}

// N fields: right-aligned, "." before the decimals, rounded half away from
// zero as the number reads in decimal; a number that does not fit is refused.
TEST(DbfWrite, NumberFormatting)
{
    struct Row { const char *name; int length; int decimals; QVariant value; const char *expected; };
    const Row rows[] = {
        {"money", 10, 2, 1234.5, "   1234.50"},
        {"2.675 rounds up although stored below", 10, 2, 2.675, "      2.68"},
        {"negative rounds away from zero", 10, 2, -2.675, "     -2.68"},
        {"half to a whole number", 4, 0, 2.5, "   3"},
        {"negative half", 4, 0, -2.5, "  -3"},
        {"tiny negative is zero without sign", 10, 2, -0.001, "      0.00"},
        {"below one", 10, 2, 0.05, "      0.05"},
        {"fills the width", 10, 2, 9999999.99, "9999999.99"},
        {"negative fills the width", 10, 2, -999999.99, "-999999.99"},
        {"rounding carries into a new digit", 6, 2, 99.999, "100.00"},
        {"integer keeps every digit", 12, 0, QVariant(qlonglong(123456789012)), "123456789012"},
        {"integer with decimals", 8, 2, QVariant(-42), "  -42.00"},
        {"zero integer with decimals", 6, 2, QVariant(0), "  0.00"},
        {"small integer", 2, 0, QVariant(7), " 7"},
        {"text with a point", 8, 2, QStringLiteral(" 12.5 "), "   12.50"},
        {"empty text is blank", 8, 2, QStringLiteral(""), "        "},
        {"null is blank", 8, 2, QVariant(), "        "},
        {"one digit too many", 10, 2, 10000000.0, nullptr},
        {"rounding makes it too long", 10, 2, 9999999.995, nullptr},
        {"negative sign does not fit", 10, 2, -9999999.99, nullptr},
        {"integer too long", 12, 0, QVariant(qlonglong(1234567890123)), nullptr},
        {"small integer too long", 2, 0, QVariant(100), nullptr},
        {"small negative integer too long", 3, 1, QVariant(-10), nullptr},
        {"huge", 20, 0, 1e300, nullptr},
        {"not a number text", 8, 2, QStringLiteral("12,5"), nullptr},
        {"NaN", 8, 2, std::numeric_limits<double>::quiet_NaN(), nullptr},
        {"infinity", 8, 2, std::numeric_limits<double>::infinity(), nullptr},
        {"a date", 8, 2, QDate(2024, 1, 1), nullptr},
    };
    for (const Row &row : rows) {
        if (row.expected) {
            EXPECT_EQ(stored('N', row.length, row.decimals, row.value), QByteArray(row.expected)) << row.name;
        } else {
            EXPECT_THROW(stored('N', row.length, row.decimals, row.value), DbfError) << row.name;
        }
    }
}

// Numbers are written by a quick path where binary and decimal rounding agree
// and by decimal digits elsewhere; both must give the same text.
TEST(DbfWrite, QuickAndDecimalNumberPathsAgree)
{
    Scratch s;
    QList<DbfField> fields;
    for (int dec = 0; dec <= 4; ++dec)
        fields << DbfField{QStringLiteral("N%1").arg(dec), 'N', 20, dec, 0};
    Dbf t = Dbf::create(s.path(QStringLiteral("n.dbf")), fields);
    const qint64 r = t.appendBlank();
    QRandomGenerator random(1234);
    for (int i = 0; i < 20000; ++i) {
        // Whole cents, halves and arbitrary doubles over many magnitudes.
        const double magnitude = std::pow(10.0, random.bounded(12));
        double v = random.generateDouble() * magnitude;
        if (i % 3 == 0)
            v = std::round(v * 100) / 100;
        if (i % 3 == 1)
            v = std::floor(v) + 0.5;
        if (i % 2)
            v = -v;
        for (int dec = 0; dec <= 4; ++dec) {
            t.setValue(r, dec, v);
            ASSERT_EQ(t.rawField(r, dec).toByteArray(), DbfCodec::formatNumber(v, 20, dec))
                << QByteArray::number(v, 'g', 17).constData() << " with " << dec << " decimals";
        }
    }
}

TEST(DbfWrite, OtherTypesFormatting)
{
    struct Row { const char *name; char type; int length; QVariant value; QByteArray expected; };
    const Row rows[] = {
        {"text padded", 'C', 6, QStringLiteral("Ana"), "Ana   "},
        {"text cut to the width", 'C', 4, QStringLiteral("Mariana"), "Mari"},
        {"comma-below letters as cedilla", 'C', 4, QStringLiteral("șțȘȚ"), "\xBA\xFE\xAA\xDE"},
        {"letters the code page lacks", 'C', 3, QStringLiteral("a€\u4E2D"), "a\x80?"},
        {"a character outside the BMP is one '?'", 'C', 3, QStringLiteral("a\U0001F600b"), "a?b"},
        {"date", 'D', 8, QDate(2024, 2, 29), "20240229"},
        {"date as text", 'D', 8, QStringLiteral("15.03.2024"), "20240315"},
        {"date before year 1000", 'D', 8, QDate(999, 1, 2), "09990102"},
        {"null date", 'D', 8, QVariant(), "        "},
        {"true", 'L', 1, true, "T"},
        {"false", 'L', 1, false, "F"},
        {"logical as text", 'L', 1, QStringLiteral("n"), "F"},
        {"null logical", 'L', 1, QVariant(), " "},
    };
    for (const Row &row : rows)
        EXPECT_EQ(stored(row.type, row.length, 0, row.value), row.expected) << row.name;
    EXPECT_THROW(stored('D', 8, 0, QStringLiteral("31.02.2024")), DbfError);
    // Refused, never stored as "00000102".
    try {
        ADD_FAILURE() << stored('D', 8, 0, QDate(10000, 1, 2)).toStdString();
    } catch (const DbfError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QLatin1String("anul trebuie sa fie intre 1 si 9999"))) << e.what();
    }
    EXPECT_THROW(stored('L', 1, 0, QStringLiteral("poate")), DbfError);
}

TEST(DbfWrite, RefusedValueChangesNothing)
{
    Scratch s;
    Dbf t = Dbf::create(s.path(QStringLiteral("t.dbf")), sampleFields());
    const qint64 r = t.appendBlank();
    t.setValue(r, 1, 12.5);
    try {
        t.setValue(r, 1, 1e9);
        FAIL() << "no error";
    } catch (const DbfError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QLatin1String("record 1, field SUMA"))) << e.what();
    }
    EXPECT_EQ(t.value(r, 1), QVariant(12.5));

    // Several fields at once: one refused value keeps the others out too.
    EXPECT_THROW(t.setValues(r, {{0, QStringLiteral("Ana")}, {1, 1e9}}), DbfError);
    EXPECT_TRUE(t.isNull(r, 0));
    EXPECT_EQ(t.value(r, 1), QVariant(12.5));
    t.setValues(r, {{0, QStringLiteral("Ana")}, {1, 7.25}});
    EXPECT_EQ(t.value(r, 0), QVariant(QStringLiteral("Ana")));
    EXPECT_EQ(t.value(r, 1), QVariant(7.25));
}

TEST(DbfWrite, AppendEditDeleteAndReopen)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("t.dbf"));
    {
        Dbf t = Dbf::create(path, sampleFields());
        for (int i = 0; i < 3; ++i) {
            const qint64 r = t.appendBlank();
            EXPECT_EQ(r, i);
            t.setValue(r, 0, QStringLiteral("Ion %1").arg(i));
            t.setValue(r, 1, i * 1.25);
            t.setValue(r, 2, QDate(2024, 1, 1 + i));
            t.setValue(r, 3, i % 2 == 0);
        }
        t.setValue(1, 0, QStringLiteral("Ştefănuţ"));
        t.setDeleted(2, true);
        t.close();
    }
    QByteArray b = readAll(path);
    ASSERT_EQ(b.size(), 161 + 3 * 30 + 1);
    EXPECT_EQ(u32At(b, 4), 3u);
    EXPECT_EQ(b.back(), '\x1A');
    {
        Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
        ASSERT_EQ(t.recordCount(), 3);
        EXPECT_EQ(t.lastUpdate(), QDate::currentDate());
        EXPECT_EQ(t.value(1, 0), QVariant(QStringLiteral("Ştefănuţ")));
        EXPECT_EQ(t.value(2, 1), QVariant(2.5));
        EXPECT_EQ(t.value(2, 2), QVariant(QDate(2024, 1, 3)));
        EXPECT_EQ(t.value(1, 3), QVariant(false));
        EXPECT_TRUE(t.isDeleted(2));
        t.setDeleted(2, false);
        const qint64 r = t.appendBlank();
        t.setValue(r, 0, QStringLiteral("Nou"));
        t.setValue(0, 0, QStringLiteral("Primul")); // an earlier record after a later one
        t.flush();
        b = readAll(path);
        EXPECT_EQ(b.size(), 161 + 4 * 30 + 1);
        EXPECT_EQ(u32At(b, 4), 4u);
        EXPECT_EQ(b.back(), '\x1A');
        EXPECT_EQ(b[161 + 2 * 30], ' ');
    }
    const Dbf t = Dbf::open(path);
    EXPECT_EQ(t.text(3, 0), QStringLiteral("Nou"));
    EXPECT_EQ(t.text(0, 0), QStringLiteral("Primul"));
    EXPECT_TRUE(t.isNull(3, 1));
}

// A template's header bytes other than the count and date stay as they were,
// and so do bytes the file holds past its last record.
TEST(DbfWrite, AppendKeepsOtherHeaderBytes)
{
    TableBytes tb;
    tb.fields = {{"CODJUD", 'C', 2}, {"SUMA", 'N', 10, 2}};
    QByteArray original = tb.build();
    for (int at : {12, 20, 28, 30, 31, 32 + 12, 32 + 20, 64 + 13, 64 + 31})
        original[at] = char(0x40 + at % 32);
    Scratch s;
    const QString path = s.path(QStringLiteral("template.dbf"));
    writeAll(path, original);
    {
        Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
        const qint64 r = t.appendBlank();
        t.setValue(r, 0, QStringLiteral("05"));
        t.setValue(r, 1, 150.0);
    }
    const QByteArray now = readAll(path);
    ASSERT_EQ(now.size(), original.size() + 13);
    for (int i = 0; i < tb.fields.size() * 32 + 33; ++i) {
        if (i < 1 || i > 7) {
            EXPECT_EQ(now[i], original[i]) << "header byte " << i;
        }
    }
    EXPECT_EQ(now.mid(now.size() - 14), QByteArray(" 05    150.00\x1A"));
}

TEST(DbfWrite, TableInMemory)
{
    TableBytes tb;
    tb.fields = {{"CODJUD", 'C', 2}, {"SUMA", 'N', 10, 2}};
    tb.records = {"01    100.00"};
    tb.backlink = 263; // Visual FoxPro's bytes after the field list, kept as they are
    const QByteArray source = tb.build();
    const int headerLength = 32 + 2 * 32 + 1 + 263;
    Dbf t = Dbf::inMemory(source);
    t.setValue(0, 0, QStringLiteral("02"));
    t.setValue(t.appendBlank(), 1, 7.5);
    EXPECT_EQ(t.text(0, 0), QStringLiteral("02")) << "an edit reads back";
    t.flush();
    const QByteArray made = t.bytes(QDate(2023, 1, 20));
    EXPECT_EQ(made.first(8).toHex(), QByteArray("037b011402000000")) << "the date given, two records";
    EXPECT_EQ(made.sliced(8, headerLength - 8), source.sliced(8, headerLength - 8));
    EXPECT_EQ(made.sliced(headerLength), QByteArray(" 02    100.00" "         7.50" "\x1A"));
    EXPECT_EQ(source, tb.build()) << "the source bytes are left alone";
}

TEST(DbfWrite, ReadOnlyTableRefusesWrites)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("t.dbf"));
    {
        Dbf t = Dbf::create(path, sampleFields());
        t.appendBlank();
    }
    const QByteArray before = readAll(path);
    Dbf t = Dbf::open(path);
    EXPECT_THROW(t.appendBlank(), DbfError);
    EXPECT_THROW(t.setValue(0, 0, QStringLiteral("x")), DbfError);
    EXPECT_THROW(t.setDeleted(0, true), DbfError);
    t.close();
    EXPECT_EQ(readAll(path), before);
    EXPECT_THROW(t.value(0, 0), DbfError); // closed
}

TEST(DbfWrite, StampNoticesChanges)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("t.dbf"));
    EXPECT_EQ(Dbf::stamp(path), Dbf::Stamp{});
    Dbf t = Dbf::create(path, sampleFields());
    const Dbf::Stamp empty = Dbf::stamp(path);
    EXPECT_EQ(empty.records, 0);
    t.appendBlank();
    t.flush();
    const Dbf::Stamp one = Dbf::stamp(path);
    EXPECT_EQ(one.records, 1);
    EXPECT_EQ(one.size, empty.size + 30);
    EXPECT_NE(one, empty);
    EXPECT_EQ(Dbf::stamp(path.toUpper().replace(s.dir.path().toUpper(), s.dir.path())), one);
}

TEST(DbfWrite, MovedTableStaysUsable)
{
    Scratch s;
    Dbf a = Dbf::create(s.path(QStringLiteral("t.dbf")), sampleFields());
    a.setValue(a.appendBlank(), 0, QStringLiteral("Ana"));
    Dbf b = std::move(a);
    EXPECT_EQ(b.text(0, 0), QStringLiteral("Ana"));
    Dbf c = Dbf::create(s.path(QStringLiteral("u.dbf")), sampleFields());
    c = std::move(b);
    EXPECT_EQ(c.recordCount(), 1);
    c.close();
    EXPECT_EQ(Dbf::open(s.path(QStringLiteral("t.dbf"))).text(0, 0), QStringLiteral("Ana"));
}

// What we write, a reader we did not write reads the same.
TEST(DbfWrite, ReadBackByDbfread)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("persoane.dbf"));
    struct Person { QString name; QVariant sum; QVariant day; QVariant active; };
    const QList<Person> people = {
        {QStringLiteral("Ţăranu Ştefan"), 1234.5, QDate(2024, 3, 15), true},
        {QStringLiteral("Îngerul Ână"), -7.25, QVariant(), false},
        {QStringLiteral("Popa"), QVariant(), QDate(1999, 12, 31), QVariant()},
    };
    {
        Dbf t = Dbf::create(path, sampleFields());
        for (const Person &p : people) {
            const qint64 r = t.appendBlank();
            t.setValue(r, 0, p.name);
            t.setValue(r, 1, p.sum);
            t.setValue(r, 2, p.day);
            t.setValue(r, 3, p.active);
        }
    }
    const QString script = QStringLiteral(
        "import sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='cp1250')\n"
        "print([(f.name, f.type, f.length, f.decimal_count) for f in t.fields])\n"
        "for r in t:\n"
        "    print('|'.join('' if v is None else (v.isoformat() if hasattr(v, 'isoformat') else str(v)) for v in r.values()))\n");
    bool ok = false;
    const QString out = python(script, {path}, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    const QStringList lines = out.trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4) << out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("[('NUME', 'C', 10, 0), ('SUMA', 'N', 10, 2), ('DATA', 'D', 8, 0), ('ACTIV', 'L', 1, 0)]"));
    EXPECT_EQ(lines[1], QStringLiteral("Ţăranu Şte|1234.5|2024-03-15|True"));
    EXPECT_EQ(lines[2], QStringLiteral("Îngerul Ân|-7.25||False"));
    EXPECT_EQ(lines[3], QStringLiteral("Popa||1999-12-31|"));
}

TEST(DbfWrite, MemoFieldsAreRefusedClearly)
{
    TableBytes tb;
    tb.version = 0x83;
    tb.fields = {{"NUME", 'C', 4}, {"NOTA", 'M', 10}};
    tb.records = {"Ana          1"};
    Scratch s;
    const QString path = s.path(QStringLiteral("memo.dbf"));
    writeAll(path, tb.build());
    Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
    EXPECT_EQ(t.text(0, 0), QStringLiteral("Ana"));
    for (const auto &attempt : {std::function<void()>([&] { t.value(0, 1); }),
                                std::function<void()>([&] { t.setValue(0, 1, QStringLiteral("text")); })}) {
        try {
            attempt();
            ADD_FAILURE() << "no error";
        } catch (const DbfError &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).endsWith(QLatin1String("field NOTA: memo fields are not supported")))
                << e.what();
        }
    }
}

// Whole but uncounted records, part of one, stale bytes after the marker: a
// table opened for writing keeps only its counted records, so a reader that
// follows the count (ours) and one that follows the end marker (dbfread) read
// the same. A failed append is cut back there in the same way.
TEST(DbfWrite, UncountedTailIsDroppedWhenOpenedForWriting)
{
    TableBytes tb;
    tb.fields = {{"NUME", 'C', 6}};
    tb.records = {"Ana", "Maria", "Ion", "Vasile", "Dan"};
    const QByteArray five = tb.build();
    const int header = 32 + 32 + 1, length = 7;
    const auto counting = [](QByteArray b, char n) {
        b[4] = n;
        return b;
    };
    const auto reopen = [](const QString &path) { Dbf::open(path, Dbf::Mode::ReadWrite).close(); };
    const auto failedAppend = [](const QString &path) {
        // Room for one and a half records more: the append is cut short.
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = old;
        limited.rlim_cur = rlim_t(header + 2 * length + length * 3 / 2);
        ::setrlimit(RLIMIT_FSIZE, &limited);
        Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
        for (const char *name : {"Nou1", "Nou2", "Nou3"})
            t.setValue(t.appendBlank(), 0, QString::fromLatin1(name));
        EXPECT_THROW(t.flush(), DbfError);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
        EXPECT_EQ(t.recordCount(), 2);
    };
    struct Case
    {
        const char *name;
        QByteArray bytes; // the header counts two records
        std::function<void(const QString &)> act;
    };
    const Case cases[] = {
        {"whole uncounted records and a marker past them", counting(five, 2), reopen},
        {"part of a record past the count, no marker", counting(five.left(header + 3 * length + 3), 2), reopen},
        {"stale bytes after the marker", counting(five, 2).left(header + 2 * length) + "\x1A" + five.mid(header), reopen},
        {"an append cut short by a full disk", counting(five, 2).left(header + 2 * length) + "\x1A", failedAppend},
    };
    Scratch s;
    QStringList paths;
    for (const Case &c : cases) {
        const QString path = s.path(QString::fromLatin1(c.name).replace(u' ', u'_') + QStringLiteral(".dbf"));
        writeAll(path, c.bytes);
        c.act(path);
        const QByteArray after = readAll(path);
        EXPECT_EQ(after.size(), header + 2 * length + 1) << c.name;
        EXPECT_EQ(after.back(), '\x1A') << c.name;
        const Dbf t = Dbf::open(path);
        EXPECT_EQ(t.recordCount(), 2) << c.name;
        paths << path;
    }
    bool ok = false;
    const QString out = python(QStringLiteral("import sys, dbfread\n"
                                              "for p in sys.argv[1:]:\n"
                                              "    print(','.join(r['NUME'] for r in dbfread.DBF(p, encoding='cp1250')))\n"),
                               paths, &ok);
    ASSERT_TRUE(ok) << out.toStdString();
    const QStringList read = out.trimmed().split(u'\n');
    ASSERT_EQ(read.size(), std::size(cases)) << out.toStdString();
    for (qsizetype i = 0; i < read.size(); ++i)
        EXPECT_EQ(read[i], QStringLiteral("Ana,Maria")) << cases[i].name;
}
