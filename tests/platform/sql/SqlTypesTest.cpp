// Types and nulls: how values of the tables compare, join and convert.
#include "SqlTestData.h"

#include "platform/sql/Money.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlValue.h"

#include <QLocale>

#include <cmath>
#include <random>
#include <vector>

namespace {

class SqlTypes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cereri = q.table(QStringLiteral("Cereri.dbf"),
                         {"NRCRT N 12", "TITULAR C 32", "NR_DISP C 16", "LOCALIT C 20", "ADRESA C 40",
                          "LUNACRT N 8", "TOTAL N 10 2", "SUMAL N 10 2", "DATADISP D", "CUMODIF C 1"},
                         {
                             {1, "POP ION", "12", "VALEA", "STR. MARE 1", 24290, 320.5, 0, QDate(2024, 3, 2), ""},
                             {2, "ANA   ", "", "", "NR 5", 24290, 0, 50, QDate(2024, 3, 5), "X"},
                             {3, "ion", "9", "DEAL", "", 24291, QVariant(), QVariant(), QVariant(), QVariant()},
                             {4, "Ştefan", "10/2021", "VALEA", "NR 7", 24290, 100, 25.25, QDate(2024, 4, 1), ""},
                         });
    }
    QString from() const { return QStringLiteral(" FROM ") + SqlQuote::table(cereri); }
    QStringList ids(const QString &where) const
    {
        return column(runSql(QStringLiteral("SELECT NRCRT") + from() + u' ' + where + QStringLiteral(" ORDER BY NRCRT")));
    }

    SqlTestFolder q;
    QString cereri;
};

TEST_F(SqlTypes, WhereConditions)
{
    struct Case
    {
        const char *name;
        const char *where;
        const char *ids;
    };
    const Case cases[] = {
        // A blank CHAR is null and also equals "".
        {"blank_equals_empty", R"(WHERE NR_DISP="")", "2"},
        {"blank_is_null", "WHERE NR_DISP IS NULL", "2"},
        {"blank_or_zero", R"(WHERE (NR_DISP="" OR NR_DISP="0"))", "2"},
        // A blank flag is "not X": the dispositions' filter G relies on it.
        {"blank_differs", R"(WHERE CUMODIF<>"X")", "1,3,4"},
        {"not_equal_under_not", R"(WHERE NOT (CUMODIF="X"))", "1,3,4"},
        {"filter_g", R"(WHERE (CUMODIF<>"X" OR CUMODIF IS NULL))", "1,3,4"},
        // Equalities on one column, read as a list; blanks match none of them.
        {"equality_list", R"(WHERE (TITULAR="ion" OR TITULAR="ANA " OR TITULAR="Ştefan"))", "2,3,4"},
        {"not_equality_list", R"(WHERE NOT (CUMODIF="X" OR CUMODIF="Y"))", "1,3,4"},
        // Trailing blanks never count, case always does.
        {"trailing_blanks", R"(WHERE TITULAR="ANA")", "2"},
        {"literal_trailing_blank", R"(WHERE TITULAR="ANA  ")", "2"},
        {"case_sensitive", R"(WHERE TITULAR="ION")", ""},
        {"case_sensitive_lower", R"(WHERE TITULAR="ion")", "3"},
        // A quoted number beside a number column is a number.
        {"quoted_number", R"(WHERE LUNACRT>="24291")", "3"},
        {"number", "WHERE LUNACRT=24290", "1,2,4"},
        // A quoted dd.MM.yyyy beside a date column is a date.
        {"quoted_date", R"(WHERE DATADISP>="03.03.2024")", "2,4"},
        {"quoted_date_equal", R"(WHERE DATADISP="02.03.2024")", "1"},
        // Text that is no number casts to null and so matches nothing.
        {"cast_float", "WHERE CAST(NR_DISP AS FLOAT)>=9 AND CAST(NR_DISP AS FLOAT)<=12", "1,3"},
        {"cast_exact", "WHERE CAST(NR_DISP AS FLOAT)=12", "1"},
        // Blank numbers are null: not above zero, not zero either.
        {"blank_number", "WHERE TOTAL>0", "1,4"},
        {"blank_number_null", "WHERE TOTAL IS NULL", "3"},
        {"sum_of_amounts", "WHERE (TOTAL+SUMAL)>0", "1,2,4"},
        {"like_prefix", R"(WHERE ADRESA LIKE "NR%")", "2,4"},
        {"like_case", R"(WHERE ADRESA LIKE "nr%")", ""},
        {"not_like", R"(WHERE NOT ADRESA LIKE "NR%")", "1,3"},
        {"upper", R"(WHERE UPPER(TITULAR)="ION")", "3"},
        {"upper_diacritics", R"(WHERE UPPER(TITULAR)="ŞTEFAN")", "4"},
        {"lower", R"(WHERE LOWER(TITULAR)="ana")", "2"},
        // Text the case change leaves alone comes back whole; ß grows to SS.
        {"upper_kept", R"(WHERE UPPER("ŞTEFAN ĂŢ 7")="ŞTEFAN ĂŢ 7" AND LOWER("ştefan ăţ")="ştefan ăţ")", "1,2,3,4"},
        {"upper_sharp_s", R"(WHERE UPPER("Straße")="STRASSE")", "1,2,3,4"},
        {"letter_range", R"(WHERE TITULAR>="A" AND TITULAR<="PZZ")", "1,2,3"},
        // Romanian order: Ş after S, so the range up to T holds Ştefan, up to S not.
        {"range_s", R"(WHERE TITULAR>="S" AND TITULAR<="SZZ")", ""},
        {"range_t", R"(WHERE TITULAR>="S" AND TITULAR<="TZZ")", "4"},
        {"comma_below_alike", R"(WHERE TITULAR="Ștefan")", "4"},
        {"tabs_and_breaks", "WHERE\tLUNACRT=24291\r\nAND\tNRCRT=3", "3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString expected = QString::fromLatin1(c.ids);
        EXPECT_EQ(ids(QString::fromUtf8(c.where)).join(u','), expected);
    }
}

TEST_F(SqlTypes, PlusJoinsTextAndAddsNumbers)
{
    const SqlResult r = runSql(QStringLiteral(
        R"(SELECT ("loc."+LOCALIT+", "+ADRESA) AS ADRESA, NR_DISP+"/" AS NRDISP, TOTAL+SUMAL AS S,)"
        "\tTRIM(BOTH \" \" FROM (LOCALIT + \" \" +ADRESA)) AS T") + from() + QStringLiteral(" ORDER BY NRCRT"));
    ASSERT_EQ(r.rows.size(), 4);
    EXPECT_EQ(column(r, 0), (QStringList{"loc.VALEA, STR. MARE 1", "loc., NR 5", "loc.DEAL, ", "loc.VALEA, NR 7"}));
    EXPECT_EQ(column(r, 1), (QStringList{"12/", "/", "9/", "10/2021/"}));
    EXPECT_EQ(column(r, 2), (QStringList{"320.5", "50", "", "125.25"}));
    EXPECT_EQ(column(r, 3), (QStringList{"VALEA STR. MARE 1", "NR 5", "DEAL", "VALEA NR 7"}));
    EXPECT_EQ(r.columns[0].type, SqlType::Text);
    EXPECT_EQ(r.columns[2].type, SqlType::Float);
}

TEST_F(SqlTypes, ResultColumnsKeepTypesAndNames)
{
    const SqlResult r = runSql(QStringLiteral("SELECT TITULAR AS SUBSEMN, NRCRT, DATADISP, \"Suplimente Lemne\", SUMAL")
                               + from() + QStringLiteral(" WHERE NRCRT=1"));
    ASSERT_EQ(r.rows.size(), 1);
    EXPECT_EQ(r.columns[0].name, "SUBSEMN");
    EXPECT_EQ(r.columns[1].type, SqlType::Integer);
    EXPECT_EQ(r.rows[0][1].toLongLong(), 1);
    EXPECT_EQ(r.columns[2].type, SqlType::Date);
    EXPECT_EQ(r.rows[0][2].toDate(), QDate(2024, 3, 2));
    EXPECT_EQ(r.rows[0][3].toString(), "Suplimente Lemne");
    EXPECT_EQ(r.columns[4].type, SqlType::Float);
    EXPECT_DOUBLE_EQ(r.rows[0][4].toDouble(), 0.0);
}

TEST_F(SqlTypes, BadOperandsAreRefusedWithPosition)
{
    struct Case
    {
        const char *name;
        const char *where;
        const char *message;
    };
    const Case cases[] = {
        {"quoted_text_beside_number", R"(WHERE LUNACRT="abc")", "\"abc\" is not a number"},
        {"bad_date", R"(WHERE DATADISP="31.02.2024")", "is not a date"},
        {"text_minus", R"(WHERE TITULAR-1>0)", "needs numbers"},
        {"date_beside_number", R"(WHERE DATADISP=5)", "Type mismatch"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            runSql(QStringLiteral("SELECT NRCRT") + from() + u' ' + QString::fromUtf8(c.where));
            ADD_FAILURE() << "no error";
        } catch (const SqlError &e) {
            const QString m = QString::fromUtf8(e.what());
            EXPECT_TRUE(m.contains(QString::fromUtf8(c.message))) << m.toStdString();
            EXPECT_TRUE(m.contains(QStringLiteral("line 1, column"))) << m.toStdString();
        }
    }
}

} // namespace

TEST(SqlValueText, DatesAreWrittenAsTheCLocaleWritesThem)
{
    // Four-digit years are formatted by hand; the edges of that range and the
    // years outside it must read as the locale writes them.
    const QDate dates[] = {QDate(1, 1, 1),      QDate(999, 12, 31), QDate(1899, 12, 30), QDate(2024, 2, 29),
                           QDate(9999, 12, 31), QDate(10000, 1, 1), QDate(-5, 6, 7)};
    for (const QDate &d : dates)
        EXPECT_EQ(SqlValue::formatDate(d), QLocale::c().toString(d, QStringLiteral("dd.MM.yyyy"))) << d.toJulianDay();
    EXPECT_EQ(SqlValue::formatDate(QDate()), QString());
}

// Amounts in bani are written by hand; they and every other number must read
// as the general format writes them with fifteen digits: the edges of the
// hand-written range, halves of a ban, and values drawn at random.
TEST(SqlValueText, NumbersAreWrittenAsTheGeneralFormatWritesThem)
{
    std::vector<double> values = {0.01, 0.1, 0.05, 0.29, 0.285, 2.675, 1e-5, 1e-4, 2.5, 80, 1e13, 1e13 - 0.01,
                                  9999999999999.99, 1e15, 1e16, 1e21, 5e-324, 999999999999999.0};
    std::mt19937_64 draw(7);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(double(qint64(draw() % 2000000000000000) - 1000000000000000) / 100);
        values.push_back(double(qint64(draw() % 20000000)) / 100 + 0.005);
        values.push_back(std::ldexp(double(draw() % 1000000), int(draw() % 200) - 100));
    }
    for (const double v : values)
        for (const double signed_ : {v, -v})
            ASSERT_EQ(SqlValue::formatNumber(signed_), QString::number(signed_, 'g', 15)) << signed_;
}

// Each rounding rule on the amounts where the rules part: halves, negative
// halves, and stored amounts that lie a hair off their decimal value.
TEST(Money, EachRuleRoundsAsItsReaderAsks)
{
    const struct
    {
        const char *name;
        double amount;
        qint64 cents, wholeHalfAway, wholeHalfEven, wholeTowardZero;
        const char *twoDecimals;
    } cases[] = {
        {"two decimals a hair below in binary", 19.99, 1999, 20, 20, 19, "19.99"},
        {"a larger one", 1386.01, 138601, 1386, 1386, 1386, "1386.01"},
        {"half a cent goes away from zero", 0.125, 13, 0, 0, 0, "0.13"},
        {"negative half a cent", -0.125, -13, 0, 0, 0, "-0.13"},
        {"even half", 2.5, 250, 3, 2, 2, "2.50"},
        {"odd half", 3.5, 350, 4, 4, 3, "3.50"},
        {"negative even half", -2.5, -250, -3, -2, -2, "-2.50"},
        {"just under a half", 2.49, 249, 2, 2, 2, "2.49"},
        {"whole lei taken from the rounded cents", 1386.495, 138650, 1387, 1386, 1386, "1386.50"},
        // Typed amounts whose binary value lies a hair below the half.
        {"2.675 as typed", 2.675, 268, 3, 3, 2, "2.68"},
        {"1.005 as typed", 1.005, 101, 1, 1, 1, "1.01"},
        {"a large half cent", 10000000.005, 1000000001, 10000000, 10000000, 10000000, "10000000.01"},
        {"just under a half cent, as typed", 0.12499999999, 12, 0, 0, 0, "0.12"},
        // The integer part of the cents, not of the binary value.
        {"a hair below a whole leu", 19.999, 2000, 20, 20, 20, "20.00"},
        {"negative, towards zero", -1.99, -199, -2, -2, -1, "-1.99"},
        {"less than half a cent below zero prints no sign", -0.004, 0, 0, 0, 0, "0.00"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Money::cents(c.amount), c.cents) << c.name;
        EXPECT_EQ(Money::wholeHalfAway(c.amount), c.wholeHalfAway) << c.name;
        EXPECT_EQ(Money::wholeHalfEven(c.amount), c.wholeHalfEven) << c.name;
        EXPECT_EQ(Money::wholeTowardZero(c.amount), c.wholeTowardZero) << c.name;
        EXPECT_EQ(Money::twoDecimals(c.amount), QLatin1String(c.twoDecimals)) << c.name;
    }
}
