// The virtual table under the SQL: index lookups give what a plain scan gives,
// deleted records stay out, a changed file is seen at once, bad bytes give a
// clear error.
#include "SqlTestData.h"

#include "platform/sql/SqlError.h"

#include <QFile>
#include <QRandomGenerator>

#include <cstdlib>

namespace {

class VirtualTable : public ::testing::Test
{
protected:
    SqlTestFolder q;
};

// Each constraint run twice: as written (served by the key index) and wrapped so
// SQLite cannot hand it over (a plain scan). Both must give the same records.
TEST_F(VirtualTable, IndexLookupsMatchPlainScans)
{
    QRandomGenerator rng(5);
    const QStringList names = {"Ana", "ana", "ANA", "Ăla", "Sorin", "Ştefan", "Ștefan", "Tudor", "Ion ", "Î", "", "Z"};
    QList<QVariantList> rows;
    for (int i = 0; i < 400; ++i) {
        const bool blankNum = rng.bounded(10) == 0;
        rows << QVariantList{i, names[rng.bounded(names.size())], blankNum ? QVariant() : QVariant(rng.bounded(20) * 0.5 - 2),
                             rng.bounded(8) == 0 ? QVariant() : QVariant(QDate(2024, 1, 1).addDays(rng.bounded(60)))};
    }
    const QString t = SqlQuote::table(q.table(QStringLiteral("R.dbf"), {"ID N 6", "NUME C 12", "V N 8 2", "D D"}, rows));
    // Delete some records so both paths must skip them.
    {
        Dbf dbf = Dbf::open(q.path("R.dbf"), Dbf::Mode::ReadWrite);
        for (int r = 0; r < 400; r += 7)
            dbf.setDeleted(r, true);
        dbf.close();
    }
    struct Probe
    {
        const char *column;
        const char *wrapped;
        QString value;
    };
    const QList<Probe> probes = {
        {"NUME", "NUME+\"\"", QStringLiteral("\"Ştefan\"")}, {"NUME", "NUME+\"\"", QStringLiteral("\"ana\"")},
        {"NUME", "NUME+\"\"", QStringLiteral("\"Ion\"")},    {"NUME", "NUME+\"\"", QStringLiteral("\"S\"")},
        {"V", "V+0", QStringLiteral("0")},                   {"V", "V+0", QStringLiteral("1.5")},
        {"V", "V+0", QStringLiteral("\"-2\"")},              {"D", "CAST(CAST(D AS CHAR) AS DATE)", QStringLiteral("\"15.01.2024\"")},
        {"ID", "ID+0", QStringLiteral("200")},
    };
    const char *ops[] = {"=", "<", "<=", ">", ">="};
    int compared = 0;
    for (const Probe &p : probes) {
        for (const char *op : ops) {
            const QString cond = QStringLiteral("%1%2%3");
            const QString indexed = QStringLiteral("SELECT ID FROM %1 WHERE %2 ORDER BY ID")
                                        .arg(t, cond.arg(QLatin1StringView(p.column), QLatin1StringView(op), p.value));
            const QString scanned = QStringLiteral("SELECT ID FROM %1 WHERE %2 ORDER BY ID")
                                        .arg(t, cond.arg(QLatin1StringView(p.wrapped), QLatin1StringView(op), p.value));
            SCOPED_TRACE(indexed.toStdString());
            // A blank name counts as "" and so is below any name: "<" and "<=" on
            // text must also take the blanks, which the index does not hold.
            const bool blanksToo = QLatin1StringView(p.column) == QLatin1StringView("NUME") && op[0] == '<';
            EXPECT_EQ(SqlEngine::instance().queryPlan(indexed).contains(u"INDEX 0:"_qs), blanksToo);
            EXPECT_TRUE(SqlEngine::instance().queryPlan(scanned).contains(u"INDEX 0:"_qs));
            const QStringList a = column(runSql(indexed)), b = column(runSql(scanned));
            EXPECT_EQ(a, b);
            for (const QString &id : a)
                EXPECT_NE(id.toInt() % 7, 0) << "deleted record " << id.toStdString();
            compared += a.size();
        }
    }
    EXPECT_GT(compared, 1000);
    // A range together with a second, constant condition checked inside the scan.
    EXPECT_EQ(column(runSql(QStringLiteral("SELECT ID FROM %1 WHERE V>=0 AND V<=2 AND NUME=\"Tudor\" ORDER BY ID").arg(t))),
              column(runSql(QStringLiteral("SELECT ID FROM %1 WHERE V+0>=0 AND V+0<=2 AND NUME+\"\"=\"Tudor\" ORDER BY ID").arg(t))));
    // A range closed on both sides (a period) is looked up before one open on
    // one side (an amount above 0), whichever comes first.
    const QString period = QStringLiteral("SELECT ID FROM %1 WHERE V>0 AND ID>=100 AND ID<=130 ORDER BY ID").arg(t);
    EXPECT_TRUE(SqlEngine::instance().queryPlan(period).contains(u"INDEX 1:"_qs)) << SqlEngine::instance().queryPlan(period).toStdString();
    EXPECT_EQ(column(runSql(period)),
              column(runSql(QStringLiteral("SELECT ID FROM %1 WHERE V+0>0 AND ID+0>=100 AND ID+0<=130 ORDER BY ID").arg(t))));
}

TEST_F(VirtualTable, ChangedFileIsSeenAtOnce)
{
    const QString path = q.table(QStringLiteral("C.dbf"), {"LUNACRT N 8", "TITULAR C 20"}, {{24290, "A"}, {24291, "B"}});
    const QString sql = QStringLiteral("SELECT TITULAR FROM %1 WHERE LUNACRT=24290 ORDER BY TITULAR").arg(SqlQuote::table(path));
    EXPECT_EQ(column(runSql(sql)), QStringList{"A"}); // builds the LUNACRT index
    {
        // Another writer, which does not tell the engine.
        Dbf dbf = Dbf::open(path, Dbf::Mode::ReadWrite);
        const qint64 r = dbf.appendBlank();
        dbf.setValue(r, 0, 24290);
        dbf.setValue(r, 1, QStringLiteral("Ăla"));
        dbf.setValue(0, 1, QStringLiteral("Zed"));
        dbf.close();
    }
    EXPECT_EQ(column(runSql(sql)), (QStringList{"Ăla", "Zed"}));
    // Replaced by a file of another structure under the same name.
    QFile::remove(path);
    q.table(QStringLiteral("C.dbf"), {"TITULAR C 20", "LUNACRT N 8", "X C 1"}, {{"Nou", 24290, "x"}});
    EXPECT_EQ(column(runSql(sql)), QStringList{"Nou"});
    // Gone: a clear error, not stale rows.
    QFile::remove(path);
    EXPECT_THROW(runSql(sql), SqlError);
}

TEST_F(VirtualTable, BadBytesGiveAClearError)
{
    const QString path = q.table(QStringLiteral("B.dbf"), {"N N 6 2", "D D", "T C 4"},
                                 {{1.5, QDate(2024, 1, 2), "ok"}, {2, QDate(2024, 1, 3), "ok"}});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const Dbf dbf = Dbf::open(path);
    const qint64 rec1 = dbf.headerLength() + dbf.recordLength();
    bytes.replace(rec1 + 1, 6, "12x.50");     // record 2, N
    bytes.replace(rec1 + 7, 8, "20241340"); // record 2, D: month 13
    f.seek(0);
    f.write(bytes);
    f.close();
    SqlEngine::instance().invalidate(path);
    struct Case
    {
        const char *name;
        const char *select;
        const char *message;
    };
    const Case cases[] = {
        {"number", "SELECT N FROM %1", "record 2, field N: not a number"},
        {"date", "SELECT D FROM %1", "record 2, field D: not a date"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            runSql(QString::fromLatin1(c.select).arg(SqlQuote::table(path)));
            ADD_FAILURE() << "no error";
        } catch (const SqlError &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QString::fromLatin1(c.message))) << e.what();
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(u"B.dbf"_qs)) << e.what();
        }
    }
    // The sound fields of the table still read.
    EXPECT_EQ(column(runSql(QStringLiteral("SELECT T FROM %1").arg(SqlQuote::table(path)))), (QStringList{"ok", "ok"}));
}

TEST_F(VirtualTable, TextsOutliveTheirRow)
{
    // MIN, MAX and sorting keep texts after the scan moved on.
    QList<QVariantList> rows;
    for (int i = 0; i < 300; ++i)
        rows << QVariantList{QStringLiteral("nume %1 ţ").arg(i, 3, 10, QLatin1Char('0')), i % 3};
    const QString t = SqlQuote::table(q.table(QStringLiteral("M.dbf"), {"NUME C 20", "G N 1"}, rows));
    const SqlResult r = runSql(QStringLiteral("SELECT G, MIN(NUME) AS A, MAX(NUME) AS B FROM %1 GROUP BY G ORDER BY G").arg(t));
    EXPECT_EQ(column(r, 1), (QStringList{"nume 000 ţ", "nume 001 ţ", "nume 002 ţ"}));
    EXPECT_EQ(column(r, 2), (QStringList{"nume 297 ţ", "nume 298 ţ", "nume 299 ţ"}));
}

// The table's own read and the SQL scan share one decoder: both give the
// correctly rounded double for any digit count, as strtod does.
TEST_F(VirtualTable, NumbersAreCorrectlyRoundedBothWays)
{
    QStringList texts = {"908850162724.89877", "9007199254740993", "9007199254740993.5", "-0.1",
                         "12345678901234567890", "0.000000000000000001", "+7", "1.", "-.5"};
    QRandomGenerator rng(14);
    while (texts.size() < 3000) {
        const int digits = 1 + int(rng.bounded(20));
        QString s;
        for (int i = 0; i < digits; ++i)
            s += QChar(u'0' + int(rng.bounded(10)));
        const int point = int(rng.bounded(digits + 1));
        if (point < digits && digits < 20)
            s.insert(point, u'.');
        texts << (rng.bounded(4) == 0 && s.size() < 20 ? u'-' + s : s); // the field holds 20 bytes
    }
    const QString path = q.table(QStringLiteral("X.dbf"), {"V N 20 4"}, QList<QVariantList>(texts.size(), {QVariant()}));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const Dbf dbf = Dbf::open(path);
        for (int r = 0; r < texts.size(); ++r)
            bytes.replace(dbf.headerLength() + r * dbf.recordLength() + 1, 20, texts[r].rightJustified(20).toLatin1());
        f.seek(0);
        f.write(bytes);
    }
    SqlEngine::instance().invalidate(path);
    const Dbf dbf = Dbf::open(path);
    const SqlResult r = runSql(QStringLiteral("SELECT V FROM %1").arg(SqlQuote::table(path)));
    ASSERT_EQ(r.rows.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        const double expected = std::strtod(texts[i].toLatin1().constData(), nullptr);
        const double table = dbf.value(i, 0).toDouble(), sql = r.rows[i][0].toDouble();
        EXPECT_EQ(table, expected) << texts[i].toStdString() << " table";
        EXPECT_EQ(sql, expected) << texts[i].toStdString() << " sql";
    }
}

} // namespace
