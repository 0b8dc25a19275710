// Parsing errors name the SQL and the position; values pasted through
// SqlQuote come back exactly, whatever quotes they hold.
#include "SqlTestData.h"

#include "platform/sql/SqlError.h"
#include "platform/sql/SqlLexer.h"
#include "platform/sql/TQuery.h"

namespace {

class SqlParse : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cereri = q.table(QStringLiteral("Cereri.dbf"), {"NRCRT N 12", "TITULAR C 32", "LOCALIT C 20"},
                         {{1, "O'NEIL \"MIC\"", "A"}, {2, "POP", "B"}, {3, "D'\"", "C"}});
        t = SqlQuote::table(cereri);
    }
    SqlTestFolder q;
    QString cereri, t;
};

TEST_F(SqlParse, ErrorsNameThePosition)
{
    struct Case
    {
        const char *name;
        QString sql;
        const char *message;
        const char *where;
    };
    const Case cases[] = {
        {"no_select_list", QStringLiteral("SELECT FROM ") + t, "expected an expression", "line 1, column 8"},
        {"no_from", QStringLiteral("SELECT NRCRT\nWHERE NRCRT=1"), "expected FROM", "line 2, column 1"},
        {"unknown_column", QStringLiteral("SELECT NRCRT\nFROM %1\nWHERE  NOPE=1").arg(t), "Unknown column NOPE", "line 3, column 8"},
        {"unknown_alias", QStringLiteral("SELECT B.NRCRT FROM %1 A").arg(t), "Unknown table alias B", "line 1, column 8"},
        {"missing_table", QStringLiteral("SELECT * FROM ") + SqlQuote::table(q.path("Nope.dbf")), "Table does not exist",
         "line 1, column 15"},
        {"unterminated", QStringLiteral("SELECT * FROM %1 WHERE TITULAR=\"POP").arg(t), "Unterminated text", "column"},
        {"bad_character", QStringLiteral("SELECT * FROM %1 WHERE NRCRT=1 # 2").arg(t), "Invalid character", "column"},
        {"unknown_function", QStringLiteral("SELECT FOO(NRCRT) FROM %1").arg(t), "Unknown function FOO", "line 1, column 8"},
        {"aggregate_in_where", QStringLiteral("SELECT NRCRT FROM %1 WHERE SUM(NRCRT)>1").arg(t), "SUM is not allowed here", "column"},
        {"trailing_words", QStringLiteral("SELECT NRCRT FROM %1 WHERE NRCRT=1 2").arg(t), "expected end of statement", "column"},
        {"order_position", QStringLiteral("SELECT NRCRT FROM %1 ORDER BY 3").arg(t), "out of range", "column"},
        {"empty", QStringLiteral("  \n "), "expected SELECT", "line 2"},
        {"update_is_not_known", QStringLiteral("UPDATE %1 SET NRCRT=1").arg(t), "expected SELECT", "line 1, column 1"},
        {"deep_nesting", QStringLiteral("SELECT NRCRT FROM %1 WHERE ").arg(t) + QString(5000, u'(') + u'1', "nested too deeply",
         "column"},
        // A long flat chain builds a deep tree without deep parsing.
        {"long_chain", QStringLiteral("SELECT NRCRT FROM %1 WHERE NRCRT=1").arg(t) + QStringLiteral(" OR NRCRT=1").repeated(100000),
         "Statement too long", "column"},
        {"nested_functions", QStringLiteral("SELECT NRCRT FROM %1 WHERE ").arg(t) + QStringLiteral("UPPER(").repeated(150)
             + QStringLiteral("TITULAR") + QString(150, u')') + QStringLiteral("=\"X\""), "nested too deeply", "SQL: "},
        {"deep_not", QStringLiteral("SELECT NRCRT FROM %1 WHERE ").arg(t) + QStringLiteral("NOT ").repeated(5000) + u'1',
         "nested too deeply", "column"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            SqlEngine::instance().query(c.sql);
            ADD_FAILURE() << "no error";
        } catch (const SqlError &e) {
            const QString m = QString::fromUtf8(e.what());
            EXPECT_TRUE(m.contains(QString::fromUtf8(c.message))) << m.toStdString();
            EXPECT_TRUE(m.contains(QString::fromUtf8(c.where))) << m.toStdString();
            EXPECT_TRUE(m.contains(QStringLiteral("SQL: ") + c.sql.left(20))) << m.toStdString();
        }
    }
}

TEST(SqlLexer, Tokens)
{
    const QList<SqlToken> tokens =
        SqlLexer::tokenize(QStringLiteral("SELECT\t\"a\"\"b\", 'c''d', 12.5, .5, x.Y<>1 !=2<=3>=4;"));
    QStringList texts;
    for (const SqlToken &tk : tokens)
        texts << tk.text;
    EXPECT_EQ(texts, (QStringList{"SELECT", "a\"b", ",", "c'd", ",", "12.5", ",", ".5", ",", "x", ".", "Y", "<>", "1",
                                  "!=", "2", "<=", "3", ">=", "4", ";", ""}));
    EXPECT_EQ(tokens[1].kind, SqlToken::Kind::DString);
    EXPECT_EQ(tokens[3].kind, SqlToken::Kind::SString);
    EXPECT_EQ(tokens[1].pos, 7);
    EXPECT_THROW(SqlLexer::tokenize(QStringLiteral("12abc")), SqlError);
}

TEST_F(SqlParse, QuotedValuesComeBackExactly)
{
    struct Case
    {
        const char *name;
        const char *value;
        const char *ids;
    };
    const Case cases[] = {
        {"double_quotes", "O'NEIL \"MIC\"", "1"},
        {"both_quotes", "D'\"", "3"},
        {"plain", "POP", "2"},
        {"injection_attempt", "\" OR \"\"=\"", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString v = QString::fromUtf8(c.value);
        const SqlResult r = runSql(QStringLiteral("SELECT NRCRT FROM %1 WHERE TITULAR=%2").arg(t, SqlQuote::literal(v)));
        EXPECT_EQ(column(r).join(u','), QString::fromLatin1(c.ids));
        // The filter form, on a dataset.
        TQuery sx;
        sx.SQL() << QStringLiteral("SELECT NRCRT, TITULAR FROM ") + t;
        sx.Open();
        sx.SetFilter(QStringLiteral("TITULAR=") + SqlQuote::filterLiteral(v));
        sx.SetFiltered(true);
        QStringList ids;
        for (sx.First(); !sx.Eof(); sx.Next())
            ids << sx.FieldByName("NRCRT")->AsString();
        EXPECT_EQ(ids.join(u','), QString::fromLatin1(c.ids));
    }
    EXPECT_EQ(SqlQuote::literal(QStringLiteral("a\"b")), "\"a\"\"b\"");
    EXPECT_EQ(SqlQuote::filterLiteral(QStringLiteral("a'b")), "'a''b'");
    EXPECT_EQ(SqlQuote::number(-1), "-1");
    EXPECT_EQ(SqlQuote::number(1280.1), "1280.1");
    EXPECT_EQ(SqlQuote::number(1234567.5), "1234567.5");
    EXPECT_EQ(SqlQuote::date(QDate(2024, 3, 5)), "\"05.03.2024\"");
}

TEST_F(SqlParse, TablePathsWithQuotesAndCase)
{
    // A folder name holding a quote, and a file found whatever its case.
    const QString folder = q.path(QStringLiteral("it's \"here\""));
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(cereri, folder + QStringLiteral("/CERERI.DBF")));
    const SqlResult r = runSql(QStringLiteral("SELECT COUNT(*) AS N FROM %1").arg(SqlQuote::table(folder + "/Cereri.dbf")));
    EXPECT_EQ(column(r), QStringList{"3"});
}

} // namespace

namespace {

// Callers glue "FROM" or "CREATE TABLE" straight to the quoted path, and join
// their lines with line breaks.
TEST_F(SqlParse, LinesGluedToThePath)
{
    const QString made = q.path(QStringLiteral("CodP0.dbf"));
    SqlEngine::instance().execute(QStringLiteral("CREATE TABLE") + SqlQuote::table(made)
                                  + QStringLiteral("(LOCALIT CHAR(60), CODP CHAR(10))"));
    EXPECT_TRUE(QFile::exists(made));
    const SqlResult r = runSql(QStringLiteral("SELECT DISTINCT LOCALIT\nFROM") + t + QStringLiteral("\nWHERE NRCRT>1\nORDER BY LOCALIT"));
    EXPECT_EQ(column(r), (QStringList{"B", "C"}));
}

} // namespace
