// Joins: the join kinds the reports use, name resolution across tables, and
// the plans that keep every DBF-DBF join an index lookup.
#include "SqlTestData.h"

#include <QRegularExpression>

namespace {

class SqlJoins : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cereri = q.table(QStringLiteral("Cereri.dbf"),
                         {"NRCRT N 12", "TITULAR C 32", "CNP C 13", "LUNACRT N 8", "STATUT C 10", "TOTAL N 10 2",
                          "NR_DISP C 16", "DATADISP D", "CUAJUT C 1", "LOCALIT C 20", "ADRESA C 40"},
                         {
                             {1, "POP ION", "1800101123456", 24290, "APROBAT", 100, "5", QDate(2024, 1, 5), "X", "A", "S1"},
                             {2, "ANA RUS", "2800101123456", 24290, "RESPINS", 0, "", QVariant(), "", "B", "S2"},
                             {3, "BOB DAN", "1700101123456", 24291, "MODIFICAT", 50, "7", QDate(2024, 2, 1), "X", "A", "S3"},
                             {4, "CIO LIA", "2700101123456", 24290, "APROBAT", 80, "6", QDate(2024, 1, 6), "X", "C", "S4"},
                         });
        oameni = q.table(QStringLiteral("Oameni.dbf"),
                         {"NROM N 10", "NRCRT N 12", "TITULAR C 32", "CNP C 13", "VENIT N 10 2", "CALITATE C 12"},
                         {
                             {1, 1, "POP ION", "1800101123456", 500, "beneficiar"},
                             {2, 1, "POP MIA", "2810101123456", 200, "partener"},
                             {3, 3, "BOB DAN", "1700101123456", 300, "beneficiar"},
                             {4, 9, "FARA CERERE", "1900101123456", 0, "adult"},
                         });
        // The disposition-number table: one row per request, plus one of no request.
        ajvps = q.table(QStringLiteral("AJVPS0.dbf"), {"NRCRT N 12", "NRD C 16", "DATAD D", "NR_DISP C 27"},
                        {{1, "5", QDate(2024, 1, 5), "5/05.01.2024"},
                         {3, "7", QDate(2024, 2, 1), "7/01.02.2024"},
                         {4, "6", QDate(2024, 1, 6), "6/06.01.2024"},
                         {77, "99", QVariant(), "99/"}});
    }
    QString t(const QString &p) const { return SqlQuote::table(p); }

    SqlTestFolder q;
    QString cereri, oameni, ajvps;
};

TEST_F(SqlJoins, CountyReportFullJoin)
{
    // The annexes' join: qualified A.NR_DISP comes out named NR_DISP, the
    // unqualified NRCRT and NR_DISP of both tables mean Cereri's.
    const QString sql = QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, TOTAL\n"
                                       "FROM %1\nFULL JOIN %2 A\nON NRCRT=A.NRCRT\n"
                                       "WHERE (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\") AND TOTAL>0\n"
                                       "AND LUNACRT>=24290\nAND LUNACRT<=24291\nORDER BY TITULAR")
                            .arg(t(cereri), t(ajvps));
    const SqlResult r = runSql(sql);
    EXPECT_EQ(r.columns[3].name, "NR_DISP");
    EXPECT_EQ(column(r, 0), (QStringList{"BOB DAN", "CIO LIA", "POP ION"}));
    EXPECT_EQ(column(r, 2), (QStringList{"A S3", "C S4", "A S1"}));
    EXPECT_EQ(column(r, 3), (QStringList{"7/01.02.2024", "6/06.01.2024", "5/05.01.2024"}));

    // Without a WHERE that drops them, the full join keeps both unmatched sides.
    const SqlResult all = runSql(QStringLiteral("SELECT NRCRT, A.NRCRT AS ANR, NR_DISP FROM %1 FULL JOIN %2 A ON NRCRT=A.NRCRT "
                                                "ORDER BY ANR, NRCRT")
                                     .arg(t(cereri), t(ajvps)));
    EXPECT_EQ(column(all, 0), (QStringList{"2", "1", "3", "4", ""}));
    EXPECT_EQ(column(all, 1), (QStringList{"", "1", "3", "4", "77"}));
    // Unqualified NR_DISP is the first table's: blank for the row of no request.
    EXPECT_EQ(column(all, 2), (QStringList{"", "5", "7", "6", ""}));
}

TEST_F(SqlJoins, MembersJoinsAndRightJoin)
{
    // Persons list: inner join, unqualified STATUT and CUAJUT found in Cereri only.
    const SqlResult persons = runSql(QStringLiteral("SELECT A.TITULAR, A.CNP, A.VENIT, A.CALITATE, A.NROM, B.NRCRT\n"
                                                    "FROM %1 A\nJOIN %2 B\nON A.NRCRT=B.NRCRT\nWHERE B.LUNACRT=24290\n"
                                                    "AND (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\") AND CUAJUT=\"X\"")
                                         .arg(t(oameni), t(cereri)));
    QStringList names = column(persons, 0);
    names.sort();
    EXPECT_EQ(names, (QStringList{"POP ION", "POP MIA"}));
    EXPECT_EQ(persons.columns[0].name, "TITULAR");
    EXPECT_EQ(persons.columns[5].name, "NRCRT");

    // Members situation: a granted request without members still gives one row.
    const SqlResult sit = runSql(QStringLiteral("SELECT A.TITULAR AS NUMEM, A.CNP AS CNPM, B.LOCALIT, B.ADRESA, B.TITULAR, B.CNP\n"
                                                "FROM %1 A\nRIGHT JOIN %2 B\nON A.NRCRT=B.NRCRT\nWHERE B.LUNACRT=24290\n"
                                                "AND (B.STATUT=\"APROBAT\" OR B.STATUT=\"MODIFICAT\")\n"
                                                "ORDER BY B.TITULAR, B.CNP, NUMEM")
                                     .arg(t(oameni), t(cereri)));
    EXPECT_EQ(column(sit, 4), (QStringList{"CIO LIA", "POP ION", "POP ION"}));
    EXPECT_EQ(column(sit, 0), (QStringList{"", "POP ION", "POP MIA"}));
    EXPECT_EQ(sit.columns[4].name, "TITULAR");
    EXPECT_EQ(sit.columns[0].name, "NUMEM");

    // Left join keeps members of no request.
    const SqlResult left = runSql(QStringLiteral("SELECT A.NROM, B.TITULAR FROM %1 A LEFT JOIN %2 B ON A.NRCRT=B.NRCRT ORDER BY A.NROM")
                                      .arg(t(oameni), t(cereri)));
    EXPECT_EQ(column(left, 1), (QStringList{"POP ION", "POP ION", "BOB DAN", ""}));
}

// Every join the reports run, with the table that must be reached through its key index.
TEST_F(SqlJoins, PlansUseTheKeyIndexForTheInnerTable)
{
    struct Case
    {
        const char *name;
        QString sql;
    };
    const QString cumulative = q.table(QStringLiteral("A13Tmp0.dbf"),
                                       {"TITULAR C 32", "CNP C 13", "ADRESA C 121", "NR_DISP C 27", "NR_MEMBRI N 6",
                                        "VENITM N 10 2", "CUANTUM N 10 2", "TOTAL N 10 2"},
                                       {});
    const Case cases[] = {
        {"annex13_list",
         QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP FROM %1 FULL JOIN %2 A ON NRCRT=A.NRCRT "
                        "WHERE (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\") AND TOTAL>0 AND LUNACRT>=24290 AND LUNACRT<=24291 "
                        "ORDER BY TITULAR")
             .arg(t(cereri), t(ajvps))},
        {"annex13_cumulated_insert",
         QStringLiteral("INSERT INTO %3 (TITULAR, CNP, ADRESA, NR_DISP, TOTAL) SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA, A.NR_DISP, TOTAL "
                        "FROM %1 FULL JOIN %2 A ON NRCRT=A.NRCRT WHERE LUNACRT=24290 AND (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\")")
             .arg(t(cereri), t(ajvps), t(cumulative))},
        {"annex14_supplements",
         QStringLiteral("SELECT TITULAR, A.NR_DISP FROM %1 FULL JOIN %2 A ON NRCRT=A.NRCRT WHERE LUNACRT=24290 "
                        "AND (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\") AND TOTAL>0 ORDER BY TITULAR")
             .arg(t(cereri), t(ajvps))},
        {"persons_list",
         QStringLiteral("SELECT A.TITULAR, B.NRCRT FROM %1 A JOIN %2 B ON A.NRCRT=B.NRCRT WHERE B.LUNACRT=24290 "
                        "AND (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\") AND CUAJUT=\"X\"")
             .arg(t(oameni), t(cereri))},
        {"members_situation",
         QStringLiteral("SELECT A.TITULAR AS NUMEM, B.TITULAR FROM %1 A RIGHT JOIN %2 B ON A.NRCRT=B.NRCRT WHERE B.LUNACRT=24290 "
                        "AND (B.STATUT=\"APROBAT\" OR B.STATUT=\"MODIFICAT\") ORDER BY B.TITULAR, B.CNP, NUMEM")
             .arg(t(oameni), t(cereri))},
        {"f2201_members",
         QStringLiteral("SELECT A.TITULAR, A.CNP, B.NR_CERE FROM %1 A JOIN %2 B ON A.NRCRT=B.NRCRT WHERE B.LUNACRT=24290 "
                        "AND (B.STATUT=\"APROBAT\" OR B.STATUT=\"MODIFICAT\")")
             .arg(t(oameni), t(cereri))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString sql = c.sql;
        if (sql.startsWith(u"INSERT"))
            sql = sql.mid(sql.indexOf(u"SELECT"));
        if (QString::fromLatin1(c.name) == u"f2201_members")
            sql.replace(u"B.NR_CERE"_qs, u"B.TITULAR"_qs);
        const QString plan = SqlEngine::instance().queryPlan(sql);
        // Two steps: the outer scan, then the inner table by an equality on its key.
        const QStringList lines = plan.split(u'\n');
        ASSERT_GE(lines.size(), 2) << plan.toStdString();
        int lookups = 0;
        for (const QString &line : lines) {
            // "SCAN t1 VIRTUAL TABLE INDEX <column+1>:<column>:<op>,..." ; op 2 is equality
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("SCAN (t\\d) VIRTUAL TABLE INDEX (\\d+):(\\S*)")).match(line);
            if (m.hasMatch() && m.captured(2).toInt() > 0
                && m.captured(3).contains(QStringLiteral("%1:2,").arg(m.captured(2).toInt() - 1)))
                ++lookups;
        }
        EXPECT_GE(lookups, 1) << plan.toStdString();
        EXPECT_FALSE(plan.contains(u"RIGHT-JOIN"_qs)) << plan.toStdString();
    }
}

} // namespace

namespace {

// A full join runs as a plainer join only where the WHERE drops the rows the
// full join would add for a missing side; otherwise those rows must stay.
TEST_F(SqlJoins, FullJoinIsNarrowedOnlyWhenProvablyEqual)
{
    struct Case
    {
        const char *name;
        const char *where;
        const char *join; // the join the translation runs
        int rows;
    };
    const Case cases[] = {
        // Cereri rows 1-4, AJVPS rows for 1, 3, 4 and 77 (no request).
        {"no_where", "", "t0 FULL JOIN", 5},
        {"left_number", "WHERE LUNACRT=24290", "t0 LEFT JOIN", 3},
        {"left_text", "WHERE STATUT=\"APROBAT\"", "t0 LEFT JOIN", 2},
        // A blank status counts as "" and "" <> "RESPINS": the row of no request passes.
        {"left_text_not_equal", "WHERE STATUT<>\"RESPINS\"", "t0 FULL JOIN", 4},
        {"left_is_null", "WHERE STATUT IS NULL", "t0 FULL JOIN", 1},
        {"left_or", "WHERE LUNACRT=24290 OR A.NRD=\"99\"", "t0 FULL JOIN", 4},
        {"both_sides", "WHERE LUNACRT>0 AND A.NRCRT>0", "t0 JOIN", 3},
        // Only the right side must exist: read from the right table.
        {"right_only", "WHERE A.NRD=\"99\"", "t1 LEFT JOIN", 1},
        // NOT is not looked into: the full join stays, with the same rows.
        {"not_stays_full", "WHERE NOT (LUNACRT=24291)", "t0 FULL JOIN", 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString sql = QStringLiteral("SELECT NRCRT, A.NRCRT AS ANR FROM %1 FULL JOIN %2 A ON NRCRT=A.NRCRT %3")
                                .arg(t(cereri), t(ajvps), QString::fromUtf8(c.where));
        const QString translated = SqlEngine::instance().translate(sql).sql;
        EXPECT_TRUE(translated.contains(QLatin1StringView(c.join))) << translated.toStdString();
        EXPECT_EQ(runSql(sql).rows.size(), c.rows);
    }
}

} // namespace
