// Aggregates, grouping, DISTINCT and Romanian ordering.
#include "SqlTestData.h"

#include "platform/sql/RomanianCollation.h"

#include <QRandomGenerator>

namespace {

class SqlAggregates : public ::testing::Test
{
protected:
    void SetUp() override
    {
        furn = q.table(QStringLiteral("A25.dbf"), {"FURN C 60", "SUBSEMN C 32", "CNP C 13", "SUMA N 10 2"},
                       {
                           {"ENEL", "POP ION", "1", 10.5},
                           {"ENEL", "POP ION", "1", 20},
                           {"Suplimente Lemne", "ANA", "2", 0},
                           {"ENEL", "ANA", "2", 5},
                           {"", "FARA", "3", 7},
                           {"enel", "ZED", "4", 1},
                       });
    }
    SqlResult sql(const QString &text) { return runSql(text.arg(SqlQuote::table(furn))); }

    SqlTestFolder q;
    QString furn;
};

TEST_F(SqlAggregates, AggregatesAndGroups)
{
    // COUNT(*) in any case, with the sums of the treasury totals line.
    SqlResult r = sql(QStringLiteral("SELECT Count(*) AS NR, SUM(SUMA) AS TSUMA, MAX(SUMA) AS MX, MIN(FURN) AS MN, AVG(SUMA) AS AV FROM %1"));
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][0].toLongLong(), 6);
    EXPECT_DOUBLE_EQ(r.rows[0][1].toDouble(), 43.5);
    EXPECT_DOUBLE_EQ(r.rows[0][2].toDouble(), 20);
    EXPECT_EQ(r.rows[0][3].toString(), "enel"); // the blank supplier is null and left out; lower case first
    EXPECT_DOUBLE_EQ(r.rows[0][4].toDouble(), 43.5 / 6);
    EXPECT_EQ(r.columns[0].type, SqlType::Integer);

    // An empty set still gives one row: a count of 0 and null sums.
    r = sql(QStringLiteral("SELECT COUNT(*) AS NR, SUM(SUMA) AS TSUMA, MAX(CNP) AS M FROM %1 WHERE SUMA>1000"));
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.rows[0][0].toLongLong(), 0);
    EXPECT_TRUE(r.rows[0][1].isNull());
    EXPECT_TRUE(r.rows[0][2].isNull());

    // Annex 25: holders summed per supplier, suppliers once each, case kept apart.
    r = sql(QStringLiteral("SELECT FURN, SUBSEMN, CNP, SUM(SUMA) AS SUMAT\nFROM %1\nGROUP BY FURN, SUBSEMN, CNP\nORDER BY FURN, SUBSEMN"));
    EXPECT_EQ(column(r, 0), (QStringList{"", "enel", "ENEL", "ENEL", "Suplimente Lemne"}));
    EXPECT_EQ(column(r, 3), (QStringList{"7", "1", "5", "30.5", "0"}));
    r = sql(QStringLiteral("SELECT FURN FROM %1 GROUP BY FURN ORDER BY FURN"));
    EXPECT_EQ(column(r), (QStringList{"", "enel", "ENEL", "Suplimente Lemne"}));
    r = sql(QStringLiteral("SELECT DISTINCT FURN FROM %1 WHERE SUMA>0 ORDER BY FURN DESC"));
    EXPECT_EQ(column(r), (QStringList{"ENEL", "enel", ""}));
    r = sql(QStringLiteral("SELECT COUNT(DISTINCT CNP) AS N, count(FURN) AS F FROM %1"));
    EXPECT_EQ(column(r, 0), (QStringList{"4"}));
    EXPECT_EQ(column(r, 1), (QStringList{"5"})); // blank is null and not counted
}

TEST_F(SqlAggregates, OrderByAliasesPositionsAndExpressions)
{
    SqlResult r = sql(QStringLiteral("SELECT SUBSEMN AS NUME, SUMA FROM %1 ORDER BY NUME DESC, 2"));
    EXPECT_EQ(column(r), (QStringList{"ZED", "POP ION", "POP ION", "FARA", "ANA", "ANA"}));
    EXPECT_EQ(column(r, 1), (QStringList{"1", "10.5", "20", "7", "0", "5"}));
    r = sql(QStringLiteral("SELECT SUBSEMN FROM %1 ORDER BY SUMA*-1"));
    EXPECT_EQ(column(r).first(), "POP ION");
}

TEST(RomanianOrder, Letters)
{
    // Each name sorts before the next one.
    const QStringList ordered = {"", "1", "a", "A", "Abc", "ă", "Ăb", "Â", "b", "Ion", "Iza", "Î", "Înger", "Sorin",
                                 "Szabo", "ş", "Ştefan", "Şuta", "Tudor", "ţ", "Ţară", "u", "Zoe"};
    for (int i = 0; i + 1 < ordered.size(); ++i) {
        SCOPED_TRACE(ordered[i].toStdString() + " < " + ordered[i + 1].toStdString());
        EXPECT_LT(RomanianCollation::compare(ordered[i], ordered[i + 1]), 0);
        EXPECT_GT(RomanianCollation::compare(ordered[i + 1], ordered[i]), 0);
        EXPECT_LT(RomanianCollation::sortKey(ordered[i]), RomanianCollation::sortKey(ordered[i + 1]));
    }
    struct Same
    {
        const char *a, *b;
    };
    const Same same[] = {{"Ştefan", "Ștefan"}, {"ţară", "țară"}, {"ION  ", "ION"}, {"", "   "}};
    for (const Same &s : same) {
        SCOPED_TRACE(s.a);
        EXPECT_EQ(RomanianCollation::compare(QString::fromUtf8(s.a), QString::fromUtf8(s.b)), 0);
        EXPECT_EQ(RomanianCollation::compareUtf8(s.a, s.b), 0);
        EXPECT_EQ(RomanianCollation::sortKey(QString::fromUtf8(s.a)), RomanianCollation::sortKeyUtf8(s.b));
    }
    EXPECT_NE(RomanianCollation::compare(u"ion", u"ION"), 0);
    EXPECT_NE(RomanianCollation::compare(u"é", u"e"), 0);
}

// The index sorts by the sort key and SQLite by the compare function: they must agree.
TEST(RomanianOrder, SortKeyAgreesWithCompare)
{
    const QString alphabet = QStringLiteral("aAăĂâÂiIîÎsSşŞșȘtTţŢțȚzZéÉ 1-.");
    QRandomGenerator rng(42);
    for (int n = 0; n < 4000; ++n) {
        QString a, b;
        const int la = rng.bounded(5), lb = rng.bounded(5);
        for (int i = 0; i < la; ++i)
            a += alphabet[rng.bounded(alphabet.size())];
        for (int i = 0; i < lb; ++i)
            b += alphabet[rng.bounded(alphabet.size())];
        const int c = RomanianCollation::compare(a, b);
        const std::string ka = RomanianCollation::sortKey(a), kb = RomanianCollation::sortKey(b);
        const int k = ka < kb ? -1 : ka > kb ? 1 : 0;
        ASSERT_EQ((c > 0) - (c < 0), k) << a.toStdString() << " / " << b.toStdString();
        ASSERT_EQ(RomanianCollation::compareUtf8(a.toStdString(), b.toStdString()) < 0, c < 0);
    }
    // Texts sharing their start, cut anywhere in a sequence or broken, order
    // as their keys do.
    const char bytes[] = {'a', 'S', ' ', '\xC4', '\x83', '\xC5', '\x9F', '\xC8', '\x99', '\x80', '\xE2'};
    for (int n = 0; n < 4000; ++n) {
        std::string start, a, b;
        for (int i = rng.bounded(4); i > 0; --i)
            start += bytes[rng.bounded(int(sizeof bytes))];
        for (std::string *t : {&a, &b})
            for (int i = rng.bounded(4); i > 0; --i)
                *t += bytes[rng.bounded(int(sizeof bytes))];
        a.insert(0, start);
        b.insert(0, start);
        const int c = RomanianCollation::compareUtf8(a, b);
        const std::string ka = RomanianCollation::sortKeyUtf8(a), kb = RomanianCollation::sortKeyUtf8(b);
        ASSERT_EQ((c > 0) - (c < 0), (ka > kb) - (ka < kb)) << a << " / " << b;
    }
    // Broken UTF-8 is compared, never read past its end.
    EXPECT_NE(RomanianCollation::compareUtf8(std::string_view("\xC5", 1), "a"), 99);
    EXPECT_NE(RomanianCollation::sortKeyUtf8(std::string_view("a\xE2\x82", 3)), "");
}

TEST_F(SqlAggregates, OrderByTextIsRomanian)
{
    const QString names = q.table(QStringLiteral("N.dbf"), {"TITULAR C 20"},
                                  {{"Tudor"}, {"Ştefan"}, {"Sorin"}, {"Ana"}, {"ana"}, {"Ăla"}, {"Ștefania"}});
    const SqlResult r = runSql(QStringLiteral("SELECT TITULAR FROM %1 ORDER BY TITULAR").arg(SqlQuote::table(names)));
    EXPECT_EQ(column(r), (QStringList{"ana", "Ana", "Ăla", "Sorin", "Ştefan", "Ştefania", "Tudor"}));
    // The same order for an expression, which has no column collation of its own.
    const SqlResult e = runSql(QStringLiteral("SELECT TITULAR+\"\" AS X FROM %1 ORDER BY X").arg(SqlQuote::table(names)));
    EXPECT_EQ(column(e), column(r));
}

} // namespace
