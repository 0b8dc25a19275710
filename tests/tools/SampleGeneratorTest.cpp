#include "platform/db/Dbf.h"
#include "tables/RequestTables.h"
#include "platform/profile/ProfileFile.h"
#include "sample-data/SampleGenerator.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Rows = QList<QVariantHash>;

std::unique_ptr<QTemporaryDir> scratch(const char *name)
{
    const QString base = qEnvironmentVariable("KESTRUN_TEST_TMP", QDir::tempPath());
    QDir().mkpath(base);
    auto dir = std::make_unique<QTemporaryDir>(base + u'/' + QLatin1String(name) + QStringLiteral("-XXXXXX"));
    EXPECT_TRUE(dir->isValid());
    return dir;
}

Rows readTable(const QString &path)
{
    const Dbf t = Dbf::open(path);
    Rows rows;
    for (qint64 r = 0; r < t.recordCount(); ++r) {
        QVariantHash row;
        for (int f = 0; f < t.fields().size(); ++f)
            row.insert(t.fields()[f].name, t.value(r, f));
        rows.append(row);
    }
    return rows;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString s(const QVariantHash &row, const char *field) { return row.value(QLatin1String(field)).toString(); }
double n(const QVariantHash &row, const char *field) { return row.value(QLatin1String(field)).toDouble(); }
bool null(const QVariantHash &row, const char *field) { return row.value(QLatin1String(field)).isNull(); }

// One modest sample shared by the checks that only read it.
class SampleFolder : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = scratch("sample").release();
        summary = SampleGenerator::generate({dir->path(), 3, 240});
        cereri = readTable(dir->filePath(QStringLiteral("Cereri.dbf")));
        oameni = readTable(dir->filePath(QStringLiteral("Oameni.dbf")));
        log = readTable(dir->filePath(QStringLiteral("Log.dbf")));
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }

    template <typename List, typename Pred>
    static int count(const List &rows, Pred p)
    {
        return int(std::count_if(rows.begin(), rows.end(), p));
    }

    static inline QTemporaryDir *dir = nullptr;
    static inline SampleGenerator::Summary summary;
    static inline Rows cereri, oameni, log;
};

TEST_F(SampleFolder, HoldsTheAskedRowsInTheDeclaredTables)
{
    EXPECT_EQ(cereri.size(), 240);
    EXPECT_EQ(summary.requests, 240);
    EXPECT_EQ(oameni.size(), summary.members);
    EXPECT_EQ(log.size(), summary.logRows);
    // Every declared column is there (the payment column may be wider than declared).
    const Dbf t = Dbf::open(dir->filePath(QStringLiteral("Cereri.dbf")));
    for (const DbfField &f : RequestTables::cereriFields())
        EXPECT_GE(t.fieldIndex(f.name), 0) << f.name.toStdString();
}

// Python's dbfread reads the tables and checks every CNP and IBAN by the published rules.
TEST_F(SampleFolder, IndependentReaderFindsValidCodes)
{
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral(KESTRUN_SOURCE_DIR "/tests/tools/check_sample.py"), dir->path()});
    ASSERT_TRUE(py.waitForFinished(120000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    const QJsonObject r = QJsonDocument::fromJson(py.readAllStandardOutput()).object();
    EXPECT_EQ(r.value("requests").toInt(), 240);
    EXPECT_EQ(r.value("members").toInt(), oameni.size());
    EXPECT_GT(r.value("cnps").toInt(), 240);
    EXPECT_EQ(r.value("bad_cnps").toArray(), QJsonArray()) << QJsonDocument(r.value("bad_cnps").toArray()).toJson().toStdString();
    EXPECT_GT(r.value("ibans").toInt(), 0);
    EXPECT_EQ(r.value("bad_ibans").toArray(), QJsonArray()) << QJsonDocument(r.value("bad_ibans").toArray()).toJson().toStdString();
    // The diacritics came through the code page as the other reader sees them.
    bool cedilla = false;
    for (const QJsonValue &v : r.value("names").toArray())
        cedilla |= v.toString().contains(QRegularExpression(QStringLiteral(u"[ŞŢ]")));
    EXPECT_TRUE(cedilla);
}

TEST_F(SampleFolder, EveryStatusPaymentKindSupplementAndBorderValueIsPresent)
{
    const struct { const char *name; std::function<bool(const QVariantHash &)> is; } kinds[] = {
        {"APROBAT", [](const auto &r) { return s(r, "STATUT") == u"APROBAT"; }},
        {"MODIFICAT", [](const auto &r) { return s(r, "STATUT") == u"MODIFICAT"; }},
        {"INCETAT", [](const auto &r) { return s(r, "STATUT") == u"INCETAT"; }},
        {"RESPINS", [](const auto &r) { return s(r, "STATUT") == u"RESPINS"; }},
        {"CEC", [](const auto &r) { return s(r, "MODPLATA") == u"CEC"; }},
        {"OP", [](const auto &r) { return s(r, "MODPLATA") == u"OP"; }},
        {"MANDAT POSTAL stored whole", [](const auto &r) { return s(r, "MODPLATA") == u"MANDAT POSTAL"; }},
        {"solid fuel", [](const auto &r) { return n(r, "SUMAL") > 0; }},
        {"gas", [](const auto &r) { return n(r, "SUMAG") > 0 && !s(r, "PODG").isEmpty(); }},
        {"electricity", [](const auto &r) { return n(r, "SUMAE") > 0 && !s(r, "PODE").isEmpty(); }},
        {"heat", [](const auto &r) { return n(r, "SUMAT") > 0 && !s(r, "FURNT").isEmpty(); }},
        {"L416", [](const auto &r) { return s(r, "L416") == u"X"; }},
        {"CUMODIF", [](const auto &r) { return s(r, "CUMODIF") == u"X"; }},
        {"granted without aid", [](const auto &r) { return s(r, "STATUT") == u"APROBAT" && s(r, "CUAJUT").isEmpty(); }},
        {"empty locality", [](const auto &r) { return s(r, "LOCALIT").isEmpty(); }},
        {"one-word name", [](const auto &r) { return !s(r, "TITULAR").contains(u' '); }},
        {"60-character address", [](const auto &r) { return s(r, "ADRESA").size() == 60; }},
        {"zero amounts", [](const auto &r) { return !null(r, "CUANTUM") && n(r, "CUANTUM") == 0 && !null(r, "TOTAL") && n(r, "TOTAL") == 0; }},
        {"blank amounts", [](const auto &r) { return null(r, "CUANTUM") && null(r, "TOTAL"); }},
        {"locality with diacritics", [](const auto &r) { return s(r, "LOCALIT").contains(QRegularExpression(QStringLiteral(u"[ăâîşţ]"))); }},
    };
    for (const auto &k : kinds)
        EXPECT_GT(count(cereri, k.is), 0) << k.name;

    // The same supplier in more than one spelling, as clerks type them.
    QMap<QString, QSet<QString>> spellings;
    for (const QVariantHash &r : cereri)
        if (!s(r, "FURNE").isEmpty())
            spellings[s(r, "FURNE").toLower()].insert(s(r, "FURNE"));
    EXPECT_GT(count(spellings.values(), [](const QSet<QString> &v) { return v.size() > 1; }), 0);

    QSet<QString> roles;
    for (const QVariantHash &m : oameni)
        roles.insert(s(m, "CALITATE"));
    EXPECT_EQ(roles, (QSet<QString>{"beneficiar", "partener", "adult", "copil"}));
}

TEST_F(SampleFolder, RowsAgreeWithTheRulesOfTheOffice)
{
    const QSet<int> amounts{320, 294, 267, 240, 214, 187, 160, 134, 107, 80};
    for (const QVariantHash &r : cereri) {
        const std::string id = s(r, "NRCRT").toStdString();
        const int code = int(n(r, "LUNACRT"));
        const int month = code % 12 + 1;
        // Heating seasons run from November to March.
        EXPECT_TRUE(month >= 11 || month <= 3) << id;
        const int left = month >= 11 ? 5 - (month - 11) : 3 - month + 1;
        EXPECT_EQ(n(r, "NR_LUNI"), left) << id;
        const QDate asked = r.value("DATACERE").toDate();
        const QDate working(code / 12, month, 1);
        EXPECT_TRUE(asked.isValid() && asked < working.addMonths(1) && asked >= working.addMonths(-1)) << id;
        EXPECT_GE(r.value("DATADISP").toDate(), asked) << id;
        if (!null(r, "CUANTUM")) {
            EXPECT_EQ(n(r, "TOTAL"), n(r, "CUANTUM") * n(r, "NR_LUNI")) << id;
            if (s(r, "CUAJUT") == u"X") {
                EXPECT_TRUE(amounts.contains(int(n(r, "CUANTUM")))) << id;
            } else {
                EXPECT_EQ(n(r, "CUANTUM"), 0) << id;
            }
        }
        if (s(r, "STATUT") == u"RESPINS") {
            EXPECT_FALSE(s(r, "MOTIVR").isEmpty()) << id;
            EXPECT_EQ(n(r, "SUMAL") + n(r, "SUMAG") + n(r, "SUMAE") + n(r, "SUMAT"), 0) << id;
        }
        if (s(r, "MODPLATA") == u"OP") {
            EXPECT_EQ(s(r, "CONT").size(), 24) << id;
            EXPECT_FALSE(s(r, "BANCA").isEmpty()) << id;
        } else {
            EXPECT_TRUE(s(r, "CONT").isEmpty() && s(r, "BANCA").isEmpty()) << id;
        }
        EXPECT_NEAR(n(r, "VENITM"), n(r, "TVENIT") / n(r, "NR_MEMBRI"), 0.005) << id;
    }
}

TEST_F(SampleFolder, NumbersRunPerMonthWithoutGaps)
{
    QMap<int, Rows> byMonth;
    QSet<qint64> keys;
    for (const QVariantHash &r : cereri) {
        byMonth[int(n(r, "LUNACRT"))].append(r);
        keys.insert(qint64(n(r, "NRCRT")));
    }
    EXPECT_EQ(keys.size(), cereri.size());
    for (auto it = byMonth.begin(); it != byMonth.end(); ++it) {
        Rows rows = it.value();
        std::sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return n(a, "NR_CERE") < n(b, "NR_CERE"); });
        int ref = 0;
        for (int i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(n(rows[i], "NR_CERE"), i + 1) << "month " << it.key();
            EXPECT_EQ(s(rows[i], "NR_DISP"), QString::number(i + 1)) << "month " << it.key();
            if (i > 0) {
                EXPECT_LE(rows[i - 1].value("DATACERE").toDate(), rows[i].value("DATACERE").toDate());
            }
            // Reports are numbered for granted requests only.
            if (s(rows[i], "STATUT") == u"APROBAT") {
                EXPECT_EQ(n(rows[i], "NR_REF"), ++ref) << "month " << it.key();
            } else {
                EXPECT_TRUE(null(rows[i], "NR_REF")) << "month " << it.key();
            }
        }
    }
}

TEST_F(SampleFolder, MembersBelongToTheirRequest)
{
    QHash<qint64, Rows> members;
    QSet<qint64> nrom;
    for (const QVariantHash &m : oameni) {
        members[qint64(n(m, "NRCRT"))].append(m);
        nrom.insert(qint64(n(m, "NROM")));
    }
    EXPECT_EQ(nrom.size(), oameni.size());
    for (const QVariantHash &r : cereri) {
        const Rows &ms = members.value(qint64(n(r, "NRCRT")));
        const std::string id = s(r, "NRCRT").toStdString();
        ASSERT_EQ(ms.size(), n(r, "NR_MEMBRI")) << id;
        double income = 0;
        int heads = 0, children = 0;
        const int code = int(n(r, "LUNACRT"));
        const QDate working(code / 12, code % 12 + 1, 1);
        int under14 = 0;
        for (const QVariantHash &m : ms) {
            income += n(m, "VENIT");
            if (s(m, "CALITATE") == u"copil") {
                ++children;
                // The birth date from the CNP: century digit, then YYMMDD.
                const QString cnp = s(m, "CNP");
                const int century = cnp.at(0) == u'5' || cnp.at(0) == u'6' ? 2000 : 1900;
                const QDate born(century + cnp.mid(1, 2).toInt(), cnp.mid(3, 2).toInt(), cnp.mid(5, 2).toInt());
                ASSERT_TRUE(born.isValid() && born < working) << id;
                // Still a child at the end of the working month, and under 14 when 14 years
                // after birth lies after its first day.
                EXPECT_GT(born.addYears(18), working.addMonths(1)) << id;
                under14 += born.addYears(14) > working;
            }
            if (s(m, "CALITATE") == u"beneficiar") {
                ++heads;
                EXPECT_EQ(s(m, "CNP"), s(r, "CNP")) << id;
                EXPECT_EQ(s(m, "TITULAR"), s(r, "TITULAR")) << id;
            }
        }
        EXPECT_EQ(heads, 1) << id;
        EXPECT_EQ(children, n(r, "COPII14") + n(r, "COPII18")) << id;
        EXPECT_EQ(under14, n(r, "COPII14")) << id;
        EXPECT_NEAR(income, n(r, "TVENIT"), 0.005) << id;
    }
}

TEST_F(SampleFolder, SettingsMonthListAndCountersReadBack)
{
    ProfileFile set(dir->filePath(QStringLiteral("Tolvard.set")));
    EXPECT_FALSE(set.read("SETARI", "Localitate").isEmpty());
    EXPECT_EQ(set.read("SETARI", "TipLocalitate"), QStringLiteral("0"));
    EXPECT_FALSE(set.read("SETARI", "Judet").isEmpty());
    EXPECT_EQ(set.read("SETARI", "Judet"), set.read("SETARI", "Judet").toUpper());
    EXPECT_FALSE(set.read("SETARI", "Primar").isEmpty());
    const QString cif = set.read("SETARI", "CodFiscal");
    ASSERT_GE(cif.size(), 2);
    const int weights[] = {7, 5, 3, 2, 1, 7, 5, 3, 2};
    const QString lead = cif.chopped(1).rightJustified(9, u'0');
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += lead.at(i).digitValue() * weights[i];
    EXPECT_EQ(sum * 10 % 11 % 10, cif.back().digitValue());
    EXPECT_EQ(set.read("constante", "LIM1"), QStringLiteral("200"));
    EXPECT_EQ(set.read("CONSTANTE", "Lim11"), QStringLiteral("2053"));
    EXPECT_EQ(set.read("CONSTANTE", "Cu11"), QStringLiteral("80"));

    qint64 maxNrcrt = 0, maxNrom = 0, maxLog = 0, maxMonth = 0;
    for (const QVariantHash &r : cereri) {
        maxNrcrt = std::max(maxNrcrt, qint64(n(r, "NRCRT")));
        maxMonth = std::max(maxMonth, qint64(n(r, "LUNACRT")));
    }
    for (const QVariantHash &m : oameni)
        maxNrom = std::max(maxNrom, qint64(n(m, "NROM")));
    for (const QVariantHash &l : log)
        maxLog = std::max(maxLog, qint64(n(l, "IDLOG")));
    qint64 lastCere = 0;
    QSet<qint64> months;
    for (const QVariantHash &r : cereri) {
        months.insert(qint64(n(r, "LUNACRT")));
        if (qint64(n(r, "LUNACRT")) == maxMonth)
            lastCere = std::max(lastCere, qint64(n(r, "NR_CERE")));
    }
    EXPECT_EQ(set.read("INDEX", "NRCRT").toLongLong(), maxNrcrt + 1);
    EXPECT_EQ(set.read("INDEX", "NROM").toLongLong(), maxNrom + 1);
    EXPECT_EQ(set.read("INDEX", "IDLOG").toLongLong(), maxLog + 1);
    EXPECT_EQ(set.read("INDEX", "NR_CERE").toLongLong(), lastCere + 1);

    // Luni.lst: one "MM.YYYY" per line, oldest first, the months that hold requests.
    const QList<QByteArray> lines = fileBytes(dir->filePath(QStringLiteral("Luni.lst"))).split('\n');
    QList<qint64> listed;
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        ASSERT_TRUE(line.endsWith('\r'));
        const QList<QByteArray> mmyyyy = line.chopped(1).split('.');
        ASSERT_EQ(mmyyyy.size(), 2);
        ASSERT_EQ(mmyyyy[0].size(), 2);
        listed.append(mmyyyy[1].toLongLong() * 12 + mmyyyy[0].toLongLong() - 1);
    }
    QList<qint64> expected = months.values();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(summary.months.size(), expected.size());
}

TEST(SampleGenerator, SameSeedSameBytesOtherSeedOtherData)
{
    auto a = scratch("seed-a"), b = scratch("seed-b"), c = scratch("seed-c");
    SampleGenerator::generate({a->path(), 11, 300});
    SampleGenerator::generate({b->path(), 11, 300});
    SampleGenerator::generate({c->path(), 12, 300});
    for (const char *name : {"Cereri.dbf", "Oameni.dbf", "Log.dbf", "Tolvard.set", "Luni.lst"}) {
        const QString f = QString::fromLatin1(name);
        EXPECT_FALSE(fileBytes(a->filePath(f)).isEmpty()) << name;
        EXPECT_EQ(fileBytes(a->filePath(f)), fileBytes(b->filePath(f))) << name;
    }
    EXPECT_NE(fileBytes(a->filePath("Cereri.dbf")), fileBytes(c->filePath("Cereri.dbf")));
    // Nothing is left under a temporary name.
    EXPECT_EQ(QDir(a->path()).entryList(QDir::Files).size(), 5);
}

// The seasons end with the current one, up to today: the newest month is the
// one the program's own dates (aid start, report date) belong to.
TEST(SampleGenerator, SmallSizesFillTheNewestMonthsUpToToday)
{
    const struct { const char *name; QDate today; const char *first, *last; } days[] = {
        {"between_seasons", QDate(2027, 7, 15), "11.2022", "03.2027"},
        {"early_in_a_season", QDate(2026, 12, 7), "11.2022", "12.2026"},
        {"first_day_of_a_season", QDate(2026, 11, 1), "11.2022", "11.2026"},
        {"last_day_of_a_season", QDate(2027, 3, 31), "11.2022", "03.2027"},
    };
    for (const auto &day : days) {
        for (qint64 size : {1, 2, 9, 26}) {
            SCOPED_TRACE(testing::Message() << day.name << ", " << size << " rows");
            auto d = scratch("small");
            const SampleGenerator::Summary sum = SampleGenerator::generate({d->path(), 5, size, day.today});
            EXPECT_EQ(sum.requests, size);
            const Rows rows = readTable(d->filePath("Cereri.dbf"));
            EXPECT_EQ(rows.size(), size);
            ASSERT_FALSE(sum.months.isEmpty());
            EXPECT_EQ(sum.months.last(), QLatin1String(day.last));
            for (const QVariantHash &r : rows)
                for (const char *field : {"DATACERE", "DATADISP"})
                    EXPECT_LE(r.value(QLatin1String(field)).toDate(), day.today) << field;
        }
        auto whole = scratch("season");
        EXPECT_EQ(SampleGenerator::generate({whole->path(), 5, 400, day.today}).months.first(), QLatin1String(day.first));
    }
}

TEST(SampleGenerator, RefusesToOverwriteDataOrBadSizes)
{
    auto d = scratch("refuse");
    // A table under another letter case counts as present.
    QFile existing(d->filePath(QStringLiteral("OAMENI.DBF")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("real data");
    existing.close();
    EXPECT_THROW(SampleGenerator::generate({d->path(), 1, 10}), SampleError);
    EXPECT_EQ(fileBytes(existing.fileName()), QByteArray("real data"));
    EXPECT_EQ(QDir(d->path()).entryList(QDir::Files), QStringList{QStringLiteral("OAMENI.DBF")});

    auto e = scratch("sizes");
    for (qint64 size : {qint64(0), qint64(-4), SampleGenerator::MaxSize + 1})
        EXPECT_THROW(SampleGenerator::generate({e->path(), 1, size}), SampleError) << size;
    EXPECT_THROW(SampleGenerator::generate({QString(), 1, 10}), SampleError);
    EXPECT_TRUE(QDir(e->path()).entryList(QDir::Files).isEmpty());
}

TEST(SampleGenerator, CommandLine)
{
    auto d = scratch("cli");
    const struct { const char *name; QStringList args; int exit; bool written; } rows[] = {
        {"as_run_sh_calls_it", {"--out", d->filePath("Data"), "--seed", "1", "--size", "40"}, 0, true},
        {"missing_out", {"--seed", "1"}, 2, false},
        {"size_not_a_number", {"--out", d->filePath("x"), "--size", "many"}, 2, false},
        {"unknown_option", {"--out", d->filePath("y"), "--colour", "red"}, 2, false},
        {"value_missing", {"--out"}, 2, false},
        {"existing_data_refused", {"--out", d->filePath("Data"), "--size", "5"}, 1, true},
    };
    for (const auto &r : rows) {
        QProcess p;
        p.start(QStringLiteral(SAMPLE_DATA_EXE), r.args);
        ASSERT_TRUE(p.waitForFinished(60000)) << r.name;
        EXPECT_EQ(p.exitCode(), r.exit) << r.name << ": " << p.readAllStandardError().toStdString();
    }
    EXPECT_EQ(Dbf::open(d->filePath("Data/Cereri.dbf")).recordCount(), 40);
    EXPECT_FALSE(QFileInfo::exists(d->filePath("x")));
}

} // namespace
