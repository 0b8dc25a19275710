#include "../platform/db/DbfTestSupport.h"

#include "platform/sql/SqlQuote.h"
#include "platform/sql/TField.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"
#include "tables/RequestTables.h"
#include "tables/SupplementKinds.h"

using namespace dbftest;

namespace {

const DbfField *find(const QList<DbfField> &fields, const char *name)
{
    for (const DbfField &f : fields)
        if (f.name == QLatin1String(name))
            return &f;
    return nullptr;
}

} // namespace

TEST(RequestTables, CreatedWhenMissingAndOnlyThen)
{
    Scratch s;
    const QStringList created = RequestTables::createMissing(s.dir.path());
    ASSERT_EQ(created.size(), 3);
    for (const QString &name : RequestTables::fileNames()) {
        const Dbf t = Dbf::open(s.path(name));
        EXPECT_EQ(t.recordCount(), 0) << name.toStdString();
        EXPECT_EQ(t.codePage(), 0xC8) << name.toStdString();
        const QList<DbfField> expected = RequestTables::fieldsOf(name);
        ASSERT_EQ(t.fields().size(), expected.size()) << name.toStdString();
        for (qsizetype i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(t.fields()[i].name, expected[i].name);
            EXPECT_EQ(t.fields()[i].type, expected[i].type);
            EXPECT_EQ(t.fields()[i].length, expected[i].length);
            EXPECT_EQ(t.fields()[i].decimals, expected[i].decimals);
        }
    }
    EXPECT_TRUE(RequestTables::createMissing(s.dir.path()).isEmpty());
}

// A table already there, under any letter case, keeps its rows.
TEST(RequestTables, ExistingTablesAreKept)
{
    Scratch s;
    {
        Dbf t = Dbf::create(s.path(QStringLiteral("CERERI.DBF")), RequestTables::cereriFields());
        t.setValue(t.appendBlank(), 0, 7);
    }
    const QStringList created = RequestTables::createMissing(s.dir.path());
    EXPECT_EQ(created, (QStringList{s.path(QStringLiteral("Oameni.dbf")), s.path(QStringLiteral("Log.dbf"))}));
    EXPECT_EQ(Dbf::open(s.path(QStringLiteral("Cereri.dbf"))).recordCount(), 1);
    EXPECT_FALSE(QFile::exists(s.path(QStringLiteral("Cereri.dbf"))));
}

// The columns the documents, reports and exports read, with the kind of value
// each holds there.
TEST(RequestTables, CereriHoldsWhatTheDocumentsRead)
{
    const QList<DbfField> fields = RequestTables::cereriFields();
    const char *money[] = {"TVENIT", "VENITM", "CUANTUM", "TOTAL", "SUMAL", "SUMAG", "SUMAE", "SUMAT"};
    const char *flags[] = {"CUAJUT", "CUMODIF", "L416", "ASF"};
    const char *wholeNumbers[] = {"NRCRT", "LUNACRT", "LUNADEC", "NR_MEMBRI", "COPII14", "COPII18",
                                  "NR_LUNI", "NR_CERE", "NR_REF"};
    const char *dates[] = {"DATACERE", "DATADISP"};
    const char *texts[] = {"TITULAR", "CNP", "LOCALIT", "ADRESA", "NR_DISP", "STATUT", "MOTIVR", "STCIV",
                           "SITSCOL", "SITPROF", "MODPLATA", "CONT", "BANCA", "TITG", "CNPG", "FURNG",
                           "CODCLG", "PODG", "TITE", "CNPE", "FURNE", "CODCLE", "PODE", "TITT", "CNPT",
                           "FURNT", "CODCLT"};
    for (const char *n : money) {
        const DbfField *f = find(fields, n);
        ASSERT_TRUE(f) << n;
        EXPECT_EQ(f->type, 'N') << n;
        EXPECT_EQ(f->length, 10) << n;
        EXPECT_EQ(f->decimals, 2) << n;
    }
    for (const char *n : flags) {
        const DbfField *f = find(fields, n);
        ASSERT_TRUE(f) << n;
        EXPECT_EQ(f->type, 'C') << n;
        EXPECT_EQ(f->length, 1) << n;
    }
    for (const char *n : wholeNumbers) {
        const DbfField *f = find(fields, n);
        ASSERT_TRUE(f) << n;
        EXPECT_EQ(f->type, 'N') << n;
        EXPECT_EQ(f->decimals, 0) << n;
    }
    for (const char *n : dates) {
        const DbfField *f = find(fields, n);
        ASSERT_TRUE(f) << n;
        EXPECT_EQ(f->type, 'D') << n;
    }
    for (const char *n : texts) {
        const DbfField *f = find(fields, n);
        ASSERT_TRUE(f) << n;
        EXPECT_EQ(f->type, 'C') << n;
    }
    EXPECT_EQ(find(fields, "CNP")->length, 13);
    // The reports copy these into tables of their own without cutting them.
    EXPECT_LE(find(fields, "LOCALIT")->length + 1 + find(fields, "ADRESA")->length, 121);
    EXPECT_LE(find(fields, "NR_DISP")->length + 1 + 10, 27);
    EXPECT_LE(find(fields, "TITULAR")->length, 32);
    EXPECT_LE(find(fields, "FURNE")->length, 60);
    // The longest status and codes fit.
    EXPECT_GE(find(fields, "STATUT")->length, int(strlen("MODIFICAT")));
    EXPECT_GE(find(fields, "SITPROF")->length, int(strlen("indemnizatie handicap")));
    EXPECT_GE(find(fields, "MODPLATA")->length, int(strlen("MANDAT POSTAL")));
}

TEST(RequestTables, LongestValuesRoundTrip)
{
    Scratch s;
    RequestTables::createMissing(s.dir.path());
    const QString address = QStringLiteral("Str. Mihai Eminescu nr. 123, bl. A4, sc. 2, et. 3, ap. 45 ţă"); // 60
    ASSERT_EQ(address.size(), 60);
    {
        Dbf t = Dbf::open(s.path(RequestTables::Cereri), Dbf::Mode::ReadWrite);
        const qint64 r = t.appendBlank();
        t.setValue(r, t.fieldIndex(u"ADRESA"), address);
        t.setValue(r, t.fieldIndex(u"NRCRT"), QVariant(qlonglong(999999999999)));
        t.setValue(r, t.fieldIndex(u"LUNACRT"), 9999 * 12 + 11);
        t.setValue(r, t.fieldIndex(u"TOTAL"), 9999999.99);
    }
    const Dbf t = Dbf::open(s.path(RequestTables::Cereri));
    EXPECT_EQ(t.value(0, t.fieldIndex(u"ADRESA")).toString(), address);
    EXPECT_EQ(t.value(0, t.fieldIndex(u"NRCRT")).toDouble(), 999999999999.0);
    EXPECT_EQ(t.value(0, t.fieldIndex(u"LUNACRT")).toDouble(), 119999.0);
    EXPECT_EQ(t.value(0, t.fieldIndex(u"TOTAL")).toDouble(), 9999999.99);
}

// Each status rule over one request of each status: the requests it takes.
// Statuses compare case-sensitively; a request without one is not granted.
TEST(RequestRules, RequestsEachRuleTakes)
{
    Scratch s;
    RequestTables::createMissing(s.dir.path());
    const QStringList statuses = {"APROBAT", "MODIFICAT", "INCETAT", "RESPINS", "", "aprobat"};
    {
        Dbf t = Dbf::open(s.path(RequestTables::Cereri), Dbf::Mode::ReadWrite);
        for (int i = 0; i < statuses.size(); ++i) {
            const qint64 r = t.appendBlank();
            t.setValues(r, {{t.fieldIndex(u"NRCRT"), i + 1}, {t.fieldIndex(u"STATUT"), statuses[i]}});
        }
    }
    const struct
    {
        const char *name;
        QString condition;
        QList<int> taken;
    } cases[] = {
        {"approved", RequestRules::approved(), {1, 2}},
        {"approved, read from an aliased table", RequestRules::approved(QStringLiteral("B")), {1, 2}},
        {"not approved", RequestRules::notApproved(), {3, 4, 5, 6}},
        {"first approval", RequestRules::firstApproval(), {1}},
        {"not refused", RequestRules::notRefused(), {1, 2, 5, 6}},
    };
    for (const auto &c : cases) {
        TQuery q;
        q.SQL() = {QStringLiteral("SELECT NRCRT FROM ") + SqlQuote::table(s.path(RequestTables::Cereri))
                       + QStringLiteral(" B"),
                   QStringLiteral("WHERE ") + c.condition, QStringLiteral("ORDER BY NRCRT")};
        q.Open();
        QList<int> taken;
        for (q.First(); !q.Eof(); q.Next())
            taken << q.Fields().at(0)->AsInteger();
        EXPECT_EQ(taken, c.taken) << c.name;
    }
}

// Every column a supplement kind names is a column of Cereri of the right kind.
TEST(SupplementKinds, ColumnsAreCereriColumns)
{
    const QList<DbfField> fields = RequestTables::cereriFields();
    for (const SupplementKind &kind : SupplementKinds::All) {
        const DbfField *amount = find(fields, kind.amount);
        ASSERT_TRUE(amount) << kind.amount;
        EXPECT_EQ(amount->decimals, 2) << kind.amount;
        EXPECT_TRUE(QLatin1String(kind.amount).endsWith(QLatin1Char(kind.letter))) << kind.amount;
        for (const char *text : {kind.holder, kind.cnp, kind.supplier, kind.clientCode, kind.point})
            if (text) {
                const DbfField *f = find(fields, text);
                ASSERT_TRUE(f) << text;
                EXPECT_EQ(f->type, 'C') << text;
            }
    }
}
