#include "DbfTestSupport.h"

#include <QDate>

using namespace dbftest;

namespace {

// A dBase III table of two records, one deleted, written out by hand.
const unsigned char kPinned[] = {
    // file header
    0x03,                   // 0: dBase III, no memo
    0x7C, 0x03, 0x0F,       // 1: last update 2024-03-15 (year less 1900)
    0x02, 0x00, 0x00, 0x00, // 4: 2 records
    0xA1, 0x00,             // 8: header length 161 = 32 + 4 * 32 + 1
    0x18, 0x00,             // 10: record length 24 = 1 + 8 + 6 + 8 + 1
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // 12: reserved
    0xC8,                   // 29: code page 1250
    0, 0,                   // 30: reserved
    // field descriptors: name[11], type, address[4], length, decimals, 14 reserved
    'N', 'U', 'M', 'E', 0, 0, 0, 0, 0, 0, 0, 'C', 0, 0, 0, 0, 8, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'S', 'U', 'M', 'A', 0, 0, 0, 0, 0, 0, 0, 'N', 0, 0, 0, 0, 6, 2,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'D', 'A', 'T', 'A', 0, 0, 0, 0, 0, 0, 0, 'D', 0, 0, 0, 0, 8, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'A', 'C', 'T', 'I', 'V', 0, 0, 0, 0, 0, 0, 'L', 0, 0, 0, 0, 1, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0x0D, // 160: end of the field list
    // record 1: live
    ' ', 0xAA, 't', 'e', 'f', 'a', 'n', ' ', ' ', ' ', ' ', '2', '.', '5', '0',
    '2', '0', '2', '4', '0', '3', '1', '5', 'T',
    // record 2: deleted, every field blank
    '*', 'I', 'o', 'n', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
    ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', '?',
    0x1A, // end of file
};

QByteArray pinned() { return QByteArray(reinterpret_cast<const char *>(kPinned), sizeof kPinned); }

// Reads every field of every record the way a caller would; DbfError is the
// only failure allowed.
void readEverything(const Dbf &t)
{
    for (qint64 r = 0; r < t.recordCount(); ++r) {
        t.isDeleted(r);
        for (int f = 0; f < t.fields().size(); ++f) {
            t.isNull(r, f);
            t.text(r, f);
            t.number(r, f);
            t.date(r, f);
            try {
                t.value(r, f);
            } catch (const DbfError &) {
            }
        }
    }
}

} // namespace

TEST(DbfRead, PinnedTableLoads)
{
    const Dbf t = Dbf::fromBytes(pinned(), QStringLiteral("pinned.dbf"));
    EXPECT_EQ(t.version(), 0x03);
    EXPECT_EQ(t.codePage(), 0xC8);
    EXPECT_EQ(t.lastUpdate(), QDate(2024, 3, 15));
    EXPECT_EQ(t.headerLength(), 161);
    EXPECT_EQ(t.recordLength(), 24);
    ASSERT_EQ(t.recordCount(), 2);
    ASSERT_EQ(t.fields().size(), 4);

    const int offsets[] = {1, 9, 15, 23};
    const char types[] = {'C', 'N', 'D', 'L'};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t.fields()[i].offset, offsets[i]) << i;
        EXPECT_EQ(t.fields()[i].type, types[i]) << i;
    }
    EXPECT_EQ(t.fields()[1].decimals, 2);

    EXPECT_FALSE(t.isDeleted(0));
    EXPECT_EQ(t.value(0, 0), QVariant(QStringLiteral("Ştefan")));
    EXPECT_EQ(t.value(0, 1), QVariant(2.5));
    EXPECT_EQ(t.value(0, 2), QVariant(QDate(2024, 3, 15)));
    EXPECT_EQ(t.value(0, 3), QVariant(true));
    EXPECT_EQ(t.rawField(0, 1), QByteArrayView("  2.50"));

    EXPECT_TRUE(t.isDeleted(1));
    EXPECT_EQ(t.text(1, 0), QStringLiteral("Ion"));
    for (int f = 1; f < 4; ++f) {
        EXPECT_TRUE(t.isNull(1, f)) << f;
        EXPECT_FALSE(t.value(1, f).isValid()) << f;
    }
}

TEST(DbfRead, FieldsFoundWithoutRegardToCase)
{
    const Dbf t = Dbf::fromBytes(pinned());
    EXPECT_EQ(t.fieldIndex(u"suma"), 1);
    EXPECT_EQ(t.fieldIndex(u"Activ"), 3);
    EXPECT_EQ(t.fieldIndex(u"SUM"), -1);
    EXPECT_EQ(t.fieldIndex(u""), -1);
}

TEST(DbfRead, OutOfRangeRecordOrFieldIsAnError)
{
    const Dbf t = Dbf::fromBytes(pinned());
    EXPECT_THROW(t.value(-1, 0), DbfError);
    EXPECT_THROW(t.value(2, 0), DbfError);
    EXPECT_THROW(t.value(0, 4), DbfError);
    EXPECT_THROW(t.rawField(0, -1), DbfError);
    EXPECT_THROW(t.isDeleted(2), DbfError);
}

// Every dBase and Visual FoxPro flavour: the header and record lengths come from
// the header, so a Visual FoxPro backlink area after the terminator is skipped.
TEST(DbfRead, HeaderFlavours)
{
    struct Row { const char *name; quint8 version; int backlink; };
    const Row rows[] = {
        {"dBase III", 0x03, 0},
        {"Visual FoxPro", 0x30, 263},
        {"Visual FoxPro autoincrement", 0x31, 263},
        {"dBase III with memo", 0x83, 0},
        {"dBase IV with memo", 0x8B, 0},
        {"FoxPro with memo", 0xF5, 0},
        {"dBase IV, padded header", 0x04, 31},
    };
    for (const Row &row : rows) {
        TableBytes tb;
        tb.version = row.version;
        tb.backlink = row.backlink;
        tb.fields = {{"NUME", 'C', 6}, {"NR", 'N', 4}};
        tb.records = {"Ana     7", "Maria  12"};
        const Dbf t = Dbf::fromBytes(tb.build(), QString::fromLatin1(row.name));
        EXPECT_EQ(t.headerLength(), 32 + 64 + 1 + row.backlink) << row.name;
        ASSERT_EQ(t.recordCount(), 2) << row.name;
        EXPECT_EQ(t.text(1, 0), QStringLiteral("Maria")) << row.name;
        EXPECT_EQ(t.number(1, 1), 12.0) << row.name;
    }
}

TEST(DbfRead, FoxProNullFlagsColumnIsHidden)
{
    TableBytes tb;
    tb.version = 0x30;
    tb.backlink = 263;
    tb.fields = {{"NUME", 'C', 4}, {"_NullFlags", '0', 1, 0, 0x05}, {"NR", 'N', 3}};
    tb.records = {QByteArray("Ana ") + char(0) + " 42"};
    const Dbf t = Dbf::fromBytes(tb.build());
    ASSERT_EQ(t.fields().size(), 2);
    EXPECT_EQ(t.fields()[1].name, QStringLiteral("NR"));
    EXPECT_EQ(t.fields()[1].offset, 6); // after the hidden byte
    EXPECT_EQ(t.value(0, 1), QVariant(42.0));
}

// One field of each type read from the stored bytes: value() gives the value,
// a null QVariant for blank, or an error naming the problem. The field follows
// one of digits and is read both last in the record and before another field
// of digits: readers that load the bytes around a field must leave them out.
TEST(DbfRead, FieldValues)
{
    struct Row { const char *name; char type; int length; int decimals; QByteArray raw; QVariant expected; const char *error; };
    const Row rows[] = {
        {"text right-trimmed", 'C', 8, 0, "Ana  ", QStringLiteral("Ana"), nullptr},
        {"text keeps leading blanks", 'C', 8, 0, "  Ana", QStringLiteral("  Ana"), nullptr},
        {"text padded with NULs", 'C', 8, 0, QByteArray("Ana\0\0\0\0\0", 8), QStringLiteral("Ana"), nullptr},
        {"text in CP1250", 'C', 8, 0, "\xAA\xFE\xE3\xEE\xE2", QStringLiteral("Şţăîâ"), nullptr},
        {"blank text is null", 'C', 8, 0, "", QVariant(), nullptr},
        {"wide text ending in blanks and NULs", 'C', 40, 0, QByteArray("Popescu Ion, str. Lunga\0\0  ", 27),
         QStringLiteral("Popescu Ion, str. Lunga"), nullptr},
        {"text of sixteen in a field of sixteen", 'C', 16, 0, "Ana-Maria Ionesc", QStringLiteral("Ana-Maria Ionesc"), nullptr},
        {"text of fifteen ending in CP1250", 'C', 15, 0, "Ana-Maria Io\xAA\xFE\xE3", QStringLiteral("Ana-Maria IoŞţă"),
         nullptr},
        {"text of seventeen ending in CP1250", 'C', 30, 0, "\xAAtefan Popescu-\xDE\xE3", QStringLiteral("Ştefan Popescu-Ţă"), nullptr},
        {"text of one in a field of one", 'C', 1, 0, "\xEE", QStringLiteral("î"), nullptr},
        {"text of thirty-two in a field of thirty-two", 'C', 32, 0, "Popescu-Ionescu Ana Maria, Ia\xBAi",
         QStringLiteral("Popescu-Ionescu Ana Maria, Iaşi"), nullptr},
        {"text of seventeen in a field of thirty-two", 'C', 32, 0, "Ana-Maria Ionesc\xE3", QStringLiteral("Ana-Maria Ionescă"),
         nullptr},
        {"text of thirty-two in a wide field", 'C', 60, 0, "Str. \xCEnv\xE3\xFE\xE3torului nr. 138, bl. A",
         QStringLiteral("Str. Învăţătorului nr. 138, bl. A"), nullptr},
        {"text of thirty-three in a wide field", 'C', 60, 0, "Str. \xCEnv\xE3\xFE\xE3torului nr. 138, bl. A\xAA",
         QStringLiteral("Str. Învăţătorului nr. 138, bl. AŞ"), nullptr},
        {"text at the end of a wide field", 'C', 50, 0, QByteArray(49, ' ') + "\xFE", QStringLiteral("ţ").rightJustified(50), nullptr},
        {"blank wide field is null", 'C', 120, 0, "", QVariant(), nullptr},
        {"number with decimals", 'N', 8, 2, "  -12.50", -12.5, nullptr},
        {"sixteen digits fill the field", 'N', 16, 0, "9007199254740993", 9007199254740993.0, nullptr},
        {"fifteen digits and a point", 'N', 16, 6, "-12345678.901234", -12345678.901234, nullptr},
        {"point first, fifteen digits", 'N', 16, 15, ".123456789012345", 0.123456789012345, nullptr},
        {"eight digits and eight decimals", 'N', 16, 7, "12345678.9876543", 12345678.9876543, nullptr},
        {"one digit in a field of one", 'N', 1, 0, "7", 7.0, nullptr},
        {"number with a point last", 'N', 4, 0, " 12.", 12.0, nullptr},
        {"number with blanks after it", 'N', 6, 0, "12", 12.0, nullptr},
        {"number between NULs", 'N', 6, 0, QByteArray("\0\0 5\0\0", 6), 5.0, nullptr},
        {"number with plus sign", 'N', 4, 0, "  +3", 3.0, nullptr},
        {"number without leading digit", 'N', 4, 2, " .25", 0.25, nullptr},
        {"float with exponent", 'F', 8, 0, "  1.5e3", 1500.0, nullptr},
        {"blank number is null", 'N', 6, 0, "", QVariant(), nullptr},
        {"comma is not a decimal point", 'N', 6, 2, "  12,5", QVariant(), "not a number"},
        {"overflow stars", 'N', 4, 0, "****", QVariant(), "not a number"},
        {"two numbers in one field", 'N', 6, 0, " 1 2  ", QVariant(), "not a number"},
        {"two points", 'N', 6, 0, " 1.2.3", QVariant(), "not a number"},
        {"minus inside", 'N', 6, 0, "  12-3", QVariant(), "not a number"},
        {"sign alone", 'N', 4, 0, "   -", QVariant(), "not a number"},
        {"point alone", 'N', 4, 0, "   .", QVariant(), "not a number"},
        {"leap day", 'D', 8, 0, "20240229", QDate(2024, 2, 29), nullptr},
        {"no leap day", 'D', 8, 0, "20230229", QVariant(), "not a date"},
        {"no leap day in a century", 'D', 8, 0, "19000229", QVariant(), "not a date"},
        {"leap day in a fourth century", 'D', 8, 0, "20000229", QDate(2000, 2, 29), nullptr},
        {"year zero", 'D', 8, 0, "00000101", QVariant(), "not a date"},
        {"date with letters", 'D', 8, 0, "2024O315", QVariant(), "not a date"},
        {"blank date is null", 'D', 8, 0, "", QVariant(), nullptr},
        {"zero date is null", 'D', 8, 0, "00000000", QVariant(), nullptr},
        {"logical T", 'L', 1, 0, "T", true, nullptr},
        {"logical y", 'L', 1, 0, "y", true, nullptr},
        {"logical N", 'L', 1, 0, "N", false, nullptr},
        {"logical unknown is null", 'L', 1, 0, "?", QVariant(), nullptr},
        {"logical X", 'L', 1, 0, "X", QVariant(), "not a logical value"},
        {"memo", 'M', 10, 0, "        12", QVariant(), "memo fields are not supported"},
        {"general", 'G', 10, 0, "         1", QVariant(), "memo fields are not supported"},
    };
    std::vector<DbfValue> record; // kept across rows, as a scan keeps it: a shorter text follows a longer one
    for (const Row &row : rows)
        for (const bool last : {true, false}) {
            const std::string name = std::string(row.name) + (last ? "" : " (followed)");
            TableBytes tb;
            tb.fields = {{"P", 'C', 16}, {"F", row.type, row.length, row.decimals}};
            tb.records = {"123456789012345 " + row.raw.leftJustified(row.length, ' ')};
            if (!last) {
                tb.fields.append({"Q", 'C', 16});
                tb.records[0] += "1234567890123456";
            }
            const Dbf t = Dbf::fromBytes(tb.build(), QStringLiteral("values.dbf"));
            if (row.error) {
                EXPECT_THROW(t.read(0, record), DbfError) << name;
                EXPECT_THROW(t.check(0, record), DbfError) << name;
                try {
                    t.value(0, 1);
                    ADD_FAILURE() << name << ": no error";
                } catch (const DbfError &e) {
                    const QString message = QString::fromUtf8(e.what());
                    EXPECT_TRUE(message.contains(QLatin1String(row.error))) << name << ": " << e.what();
                    EXPECT_TRUE(message.contains(QLatin1String("values.dbf"))) << name << ": " << e.what();
                    EXPECT_TRUE(message.contains(QLatin1String("record 1, field F"))) << name << ": " << e.what();
                }
                continue;
            }
            EXPECT_EQ(t.value(0, 1), row.expected) << name;
            EXPECT_EQ(t.isNull(0, 1), !row.expected.isValid()) << name;
            EXPECT_NO_THROW(t.check(0, record)) << name;
            t.read(0, record);
            const DbfValue &v = record.at(1);
            const QVariant scanned = v.kind == DbfValue::Text     ? QVariant(v.text)
                                     : v.kind == DbfValue::Number ? QVariant(v.number)
                                     : v.kind == DbfValue::Date   ? QVariant(v.date)
                                     : v.kind == DbfValue::Logical ? QVariant(v.logical)
                                                                   : QVariant();
            EXPECT_EQ(scanned, row.expected) << name << " (record read)";
        }
}

// Texts of every length in fields of the widths the record reader treats
// apart, with a CP1250 letter at each place in turn, read last in the record
// and before another field, and into values kept across reads: the reader
// widens whole vectors past a text's end and must leave what lies after it
// out, and a copy of an earlier value must stay as it was.
TEST(DbfRead, TextLengthsAndLetterPlaces)
{
    for (const int width : {15, 16, 17, 31, 32, 33, 60}) {
        for (const bool last : {true, false}) {
            TableBytes tb;
            tb.fields = {{"T", 'C', width}};
            if (!last)
                tb.fields.append({"Q", 'C', 32});
            QList<QString> expected;
            for (int length = 0; length <= width; ++length)
                for (int at = 0; at < std::max(length, 1); ++at) {
                    QByteArray raw = QByteArray("Ana-Maria Popescu, str. Lunga 12, Bucuresti, sector 6, ap. 9").left(length);
                    QString text = QString::fromLatin1(raw);
                    if (at < length) {
                        raw[at] = '\xDE';
                        text[at] = QChar(0x0162);
                    }
                    while (text.endsWith(u' '))
                        text.chop(1);
                    expected.append(text);
                    tb.records.append(raw.leftJustified(width, ' ') + (last ? QByteArray() : QByteArray(32, '\xFE')));
                }
            const Dbf t = Dbf::fromBytes(tb.build());
            const std::string name = std::to_string(width) + (last ? " last" : " followed");
            std::vector<DbfValue> record;
            QString kept; // a copy of the last text read
            for (qsizetype r = 0; r < expected.size(); ++r) {
                const QString before(kept.constData(), kept.size()); // its own bytes, not shared
                t.read(r, record);
                const DbfValue &v = record.at(0);
                EXPECT_EQ(kept, before) << name;
                EXPECT_EQ(v.kind, expected[r].isEmpty() ? DbfValue::Null : DbfValue::Text) << name;
                EXPECT_EQ(v.kind == DbfValue::Text ? v.text : QString(), expected[r]) << name;
                if (v.kind == DbfValue::Text)
                    kept = v.text;
            }
        }
    }
}

// A record read names the first field, in the record's order, that cannot be read.
TEST(DbfRead, RecordReadNamesTheFirstUnreadableField)
{
    TableBytes tb;
    tb.fields = {{"NUME", 'C', 4}, {"DATA", 'D', 8}, {"SUMA", 'N', 4}};
    tb.records = {"Ana 2024O315****"};
    const Dbf t = Dbf::fromBytes(tb.build(), QStringLiteral("first.dbf"));
    std::vector<DbfValue> record;
    try {
        t.read(0, record);
        ADD_FAILURE() << "no error";
    } catch (const DbfError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QLatin1String("record 1, field DATA: \"2024O315\" is not a date"))) << e.what();
    }
}

// Files that cannot be tables open with a clear error and nothing else.
TEST(DbfRead, BrokenFilesAreRefused)
{
    const auto valid = [] {
        TableBytes tb;
        tb.fields = {{"NUME", 'C', 6}, {"NR", 'N', 4}};
        tb.records = {"Ana     7", "Maria  12"};
        return tb.build();
    };
    const auto patched = [&](int at, QByteArrayView bytes) {
        QByteArray b = valid();
        b.replace(at, bytes.size(), bytes.toByteArray());
        return b;
    };
    // The clerk reads what is wrong in Romanian; the reader's detail follows.
    struct Row { const char *name; QByteArray bytes; const char *problem; const char *error; };
    const QByteArray good = valid();
    const Row rows[] = {
        {"empty", QByteArray(), "prea scurt pentru o tabela", "too short"},
        {"header cut short", good.left(31), "prea scurt pentru o tabela", "too short"},
        {"unknown first byte", patched(0, "\x42"), "nu este o tabela dBase", "not a dBase table (first byte 0x42)"},
        {"record count past the end", patched(4, QByteArrayView("\x03\x00\x00\x00", 4)),
         "antetul numara 3 inregistrari, dar fisierul are loc doar pentru 2", "record count 3"},
        {"huge record count", patched(4, "\xFF\xFF\xFF\xFF"), "antetul numara 4294967295 inregistrari", "runs past the end"},
        {"header length past the end", patched(8, "\xFF\xFF"), "antetul este mai lung decat fisierul", "header length 65535"},
        {"header length too small", patched(8, QByteArrayView("\x40\x00", 2)), "lista campurilor nu", "too small"},
        {"header length shorter than the header", patched(8, QByteArrayView("\x10\x00", 2)), "lista campurilor nu", "too small"},
        {"field outside the record", patched(10, QByteArrayView("\x08\x00", 2)), "campul NR iese din inregistrare",
         "field NR (offset 7, length 4) lies outside the record of 8 bytes"},
        {"record length 0", patched(10, QByteArrayView("\x00\x00", 2)), "lungimea 0", "record length is 0"},
        {"field longer than the record", patched(32 + 16, "\xF0"), "campul NUME iese din inregistrare", "outside the record"},
        {"no terminator", patched(32 + 64, QByteArrayView("\x00", 1)), "lista campurilor nu", "too small"},
        {"no fields", patched(32, "\x0D"), "tabela nu are niciun camp", "no fields"},
        {"cut inside the records", good.left(good.size() - 5), "dar fisierul are loc doar pentru 1", "runs past the end"},
    };
    for (const Row &row : rows) {
        try {
            Dbf::fromBytes(row.bytes, QStringLiteral("Data/broken.dbf"));
            ADD_FAILURE() << row.name << ": opened";
        } catch (const DbfError &e) {
            const QString message = QString::fromUtf8(e.what());
            EXPECT_TRUE(message.startsWith(QLatin1String("Tabela broken.dbf este deteriorata: "))) << row.name << ": " << e.what();
            const qsizetype detail = message.indexOf(QLatin1String(". (Data/broken.dbf: offset "));
            EXPECT_GT(detail, 0) << row.name << ": " << e.what();
            EXPECT_TRUE(message.left(detail).contains(QLatin1String(row.problem))) << row.name << ": " << e.what();
            EXPECT_TRUE(message.mid(detail).contains(QLatin1String(row.error))) << row.name << ": " << e.what();
        }
    }
}

// A table cut at every length opens only once all its records are there; a
// missing end-of-file marker is no fault.
TEST(DbfRead, TruncationSweep)
{
    const QByteArray whole = pinned();
    const qsizetype dataEnd = whole.size() - 1;
    for (qsizetype n = 0; n <= whole.size(); ++n) {
        const QByteArray cut(whole.constData(), n);
        if (n < dataEnd) {
            EXPECT_THROW(Dbf::fromBytes(cut), DbfError) << n;
        } else {
            const Dbf t = Dbf::fromBytes(cut);
            EXPECT_EQ(t.recordCount(), 2) << n;
            readEverything(t);
        }
    }
}

// Any single byte changed anywhere gives a table that reads, or DbfError.
TEST(DbfRead, CorruptionSweep)
{
    const QByteArray whole = pinned();
    int read = 0, refused = 0;
    for (qsizetype at = 0; at < whole.size(); ++at)
        for (char v : {'\x00', '\xFF', '\x0D', '*', '9', '\x80'}) {
            QByteArray b = whole;
            b[at] = v;
            try {
                readEverything(Dbf::fromBytes(b));
                ++read;
            } catch (const DbfError &) {
                ++refused;
            }
        }
    // Both ends of the sweep are reached: header damage refused, record damage read.
    EXPECT_GT(read, 0);
    EXPECT_GT(refused, 0);
}

TEST(DbfRead, FileNamesFoundWithoutRegardToCase)
{
    Scratch s;
    QDir(s.dir.path()).mkdir(QStringLiteral("DATA"));
    const QString real = s.path(QStringLiteral("DATA/CERERI.DBF"));
    writeAll(real, pinned());

    EXPECT_EQ(Dbf::resolve(s.path(QStringLiteral("Data/Cereri.dbf"))), real);
    EXPECT_EQ(Dbf::resolve(real), real);
    const QString missing = s.path(QStringLiteral("Data/Oameni.dbf"));
    EXPECT_EQ(Dbf::resolve(missing), missing);

    const Dbf t = Dbf::open(s.path(QStringLiteral("data/cereri.dbf")));
    EXPECT_EQ(t.path(), real);
    EXPECT_EQ(t.recordCount(), 2);
}

TEST(DbfRead, MissingOrEmptyFileIsAnError)
{
    Scratch s;
    // Missing is said as such, for writing too: not as a disk that refused.
    for (const Dbf::Mode mode : {Dbf::Mode::ReadOnly, Dbf::Mode::ReadWrite}) {
        try {
            Dbf::open(s.path(QStringLiteral("nothing.dbf")), mode);
            ADD_FAILURE() << "a missing table opened";
        } catch (const DbfError &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QLatin1String(": Tabela nu exista."))) << e.what();
        }
    }
    EXPECT_THROW(Dbf::open(s.dir.path()), DbfError); // a folder
    writeAll(s.path(QStringLiteral("empty.dbf")), QByteArray());
    EXPECT_THROW(Dbf::open(s.path(QStringLiteral("empty.dbf"))), DbfError);
    EXPECT_THROW(Dbf::open(s.path(QStringLiteral("empty.dbf")), Dbf::Mode::ReadWrite), DbfError);
}

TEST(DbfRead, MappedFileReadsLikeBytes)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("pinned.dbf"));
    writeAll(path, pinned());
    const Dbf mapped = Dbf::open(path);
    const Dbf memory = Dbf::fromBytes(pinned());
    for (qint64 r = 0; r < 2; ++r)
        for (int f = 0; f < 4; ++f)
            EXPECT_EQ(mapped.rawField(r, f), memory.rawField(r, f));
}

// Made by LibreOffice (see the fixtures' README): code-page byte 0, two-digit year.
TEST(DbfRead, TableWrittenByLibreOffice)
{
    const Dbf t = Dbf::open(QStringLiteral(KESTRUN_FIXTURES "/db/libreoffice-persons.dbf"));
    ASSERT_EQ(t.recordCount(), 3);
    EXPECT_EQ(t.codePage(), 0);
    EXPECT_GE(t.lastUpdate().year(), 2000);
    const int titular = t.fieldIndex(u"TITULAR"), cnp = t.fieldIndex(u"CNP"), suma = t.fieldIndex(u"SUMA"),
              data = t.fieldIndex(u"DATACERE"), membri = t.fieldIndex(u"NRMEMBRI");
    EXPECT_EQ(t.value(0, titular).toString(), QStringLiteral("Popescu Ion"));
    EXPECT_EQ(t.value(0, cnp).toString(), QStringLiteral("1850101123456"));
    EXPECT_EQ(t.value(0, suma).toDouble(), 1234.25);
    EXPECT_EQ(t.value(0, data).toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(t.value(1, titular).toString(), QStringLiteral("Ţăranu Ştefan"));
    EXPECT_EQ(t.value(1, suma).toDouble(), -7.25);
    EXPECT_EQ(t.value(2, titular).toString(), QStringLiteral("Învăţătorul Ână Îi"));
    EXPECT_FALSE(t.value(2, cnp).isValid());
    EXPECT_FALSE(t.value(2, data).isValid());
    EXPECT_EQ(t.value(2, membri).toDouble(), 12.0);
}
