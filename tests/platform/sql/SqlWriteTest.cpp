// Statements that write tables: CREATE TABLE, INSERT, DELETE; a failure
// leaves the file as it was; what is written reads back in an outside reader.
#include "SqlTestData.h"

#include "platform/sql/SqlError.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

class SqlWrite : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cereri = q.table(QStringLiteral("Cereri.dbf"),
                         {"NRCRT N 12", "TITULAR C 32", "CNP C 13", "LUNACRT N 8", "STATUT C 10", "SUMAE N 10 2",
                          "SUMAL N 10 2", "FURNE C 60", "DATACERE D", "NR_CERE N 10"},
                         {
                             {1, "POP ION", "1800101123456", 24290, "APROBAT", 30, 0, "ENEL", QDate(2024, 1, 5), 11},
                             {2, "ANA RUS", "2800101123456", 24290, "RESPINS", 40, 0, "ENEL", QDate(2024, 1, 7), 12},
                             {3, "BOB DAN", "1700101123456", 24291, "MODIFICAT", 0, 50, "", QDate(2024, 2, 1), 13},
                             {4, "Ştefan Şerban", "1600101123456", 24290, "APROBAT", 10.25, 20, "E.ON", QVariant(), 14},
                         });
    }
    qint64 exec(const QString &sql) { return SqlEngine::instance().execute(sql); }
    QString t(const QString &p) const { return SqlQuote::table(p); }

    SqlTestFolder q;
    QString cereri;
};

TEST_F(SqlWrite, SupplierTableOfTheAgencyReport)
{
    const QString a25 = q.path(QStringLiteral("A250.dbf"));
    exec(QStringLiteral("CREATE TABLE %1\n(FURN CHAR(60), SUBSEMN CHAR(32), CNP CHAR(13), SUMA DECIMAL(10,2))").arg(t(a25)));
    ASSERT_TRUE(QFile::exists(a25));

    // Four inserts sharing their lines, the select and amount lines replaced in place.
    QStringList lines = {QStringLiteral("INSERT INTO ") + t(a25), QStringLiteral("(FURN, SUBSEMN, CNP, SUMA)"),
                         QStringLiteral("SELECT FURNE, TITULAR, CNP, SUMAE"), QStringLiteral("FROM ") + t(cereri),
                         QStringLiteral("WHERE LUNACRT=24290"),
                         QStringLiteral("AND STATUT<>\"RESPINS\" AND STATUT<>\"INCETAT\""), QStringLiteral("AND SUMAE>0")};
    EXPECT_EQ(exec(lines.join(u'\n')), 2);
    lines[2] = QStringLiteral("SELECT \"Suplimente Lemne\", TITULAR, CNP, SUMAL");
    lines[6] = QStringLiteral("AND SUMAL>=0");
    EXPECT_EQ(exec(lines.join(u'\n')), 2);
    EXPECT_EQ(exec(QStringLiteral("DELETE FROM %1 WHERE SUMA=0").arg(t(a25))), 1);

    const SqlResult r = runSql(QStringLiteral("SELECT FURN, SUBSEMN, SUMA FROM %1 ORDER BY FURN, SUBSEMN").arg(t(a25)));
    EXPECT_EQ(column(r, 0), (QStringList{"E.ON", "ENEL", "Suplimente Lemne"}));
    EXPECT_EQ(column(r, 1), (QStringList{"Ştefan Şerban", "POP ION", "Ştefan Şerban"}));
    EXPECT_EQ(column(r, 2), (QStringList{"10.25", "30", "20"}));

    // An independent reader sees the same rows, diacritics and deletion included.
    const QString script = QStringLiteral(
        "import dbfread,sys\n"
        "for r in dbfread.DBF(sys.argv[1], encoding='cp1250'):\n"
        "    print(r['FURN'] + '|' + r['SUBSEMN'] + '|' + ('%.2f' % r['SUMA']))\n");
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, a25});
    ASSERT_TRUE(py.waitForFinished(30000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
              (QStringList{"ENEL|POP ION|30.00", "E.ON|Ştefan Şerban|10.25", "Suplimente Lemne|Ştefan Şerban|20.00"}));
}

TEST_F(SqlWrite, InsertConvertsToTheTargetTypes)
{
    const QString pers = q.path(QStringLiteral("Pers0.dbf"));
    exec(QStringLiteral("CREATE TABLE %1 (TITULAR CHAR(32), CNP CHAR(13), NR_CERE\tDECIMAL(10,0), DATACERE\tDATE)").arg(t(pers)));
    exec(QStringLiteral("INSERT INTO %1\n(TITULAR, CNP, NR_CERE, DATACERE)\nSELECT TITULAR, CNP, NR_CERE, DATACERE\nFROM %2\n"
                        "WHERE LUNACRT=24290\nAND (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\")")
             .arg(t(pers), t(cereri)));
    exec(QStringLiteral("INSERT INTO %1 (TITULAR, NR_CERE, DATACERE) VALUES (\"O\"\"NEIL\", \"15\", \"02.03.2024\"), (\"X\", 16, NULL)")
             .arg(t(pers)));
    const SqlResult r = runSql(QStringLiteral("SELECT TITULAR, CNP, MAX(NR_CERE) AS NR_CERE, MAX(DATACERE) AS DATACERE FROM %1 "
                                              "GROUP BY TITULAR, CNP ORDER BY TITULAR")
                                   .arg(t(pers)));
    EXPECT_EQ(column(r, 0), (QStringList{"O\"NEIL", "POP ION", "Ştefan Şerban", "X"}));
    EXPECT_EQ(column(r, 2), (QStringList{"15", "11", "14", "16"}));
    EXPECT_EQ(column(r, 3), (QStringList{"02.03.2024", "05.01.2024", "", ""}));
    EXPECT_EQ(r.columns[3].type, SqlType::Date);
}

TEST_F(SqlWrite, FailuresLeaveTheFileWhole)
{
    const QString small = q.table(QStringLiteral("Small.dbf"), {"N N 3", "T C 5"}, {{1, "a"}, {2, "b"}});
    const QByteArray before = digest(small);
    struct Case
    {
        const char *name;
        QString sql;
        const char *message;
    };
    const Case cases[] = {
        // 1800 does not fit N(3): two rows went in before the failure, yet nothing stays.
        {"number_too_wide",
         QStringLiteral("INSERT INTO %1 (N) SELECT (NR_CERE-11)*900 FROM %2 ORDER BY NR_CERE").arg(t(small), t(cereri)), "Row 3"},
        {"text_into_number", QStringLiteral("INSERT INTO %1 (N) SELECT TITULAR FROM %2").arg(t(small), t(cereri)), "does not suit"},
        {"unknown_column", QStringLiteral("INSERT INTO %1 (X) VALUES (1)").arg(t(small)), "Unknown column X"},
        {"count_mismatch", QStringLiteral("INSERT INTO %1 (N, T) SELECT NRCRT FROM %2").arg(t(small), t(cereri)), "1 columns for 2"},
        {"delete_bad_where", QStringLiteral("DELETE FROM %1 WHERE NOPE=1").arg(t(small)), "Unknown column NOPE"},
        {"create_existing", QStringLiteral("CREATE TABLE %1 (A CHAR(1))").arg(t(small)), "already exists"},
        {"create_bad_width", QStringLiteral("CREATE TABLE %1 (A DECIMAL(5,5))").arg(t(q.path("New.dbf"))), "Invalid size"},
        {"missing_table", QStringLiteral("INSERT INTO %1 (N) SELECT N FROM %2").arg(t(small), t(q.path("Nope.dbf"))),
         "Table does not exist"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            exec(c.sql);
            ADD_FAILURE() << "no error";
        } catch (const SqlError &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QString::fromUtf8(c.message))) << e.what();
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(u"SQL: ")) << e.what();
        }
        EXPECT_EQ(digest(small), before);
    }
    EXPECT_FALSE(QFile::exists(q.path("New.dbf")));
    // No working copies are left beside the table.
    EXPECT_EQ(QDir(q.folder()).entryList(QDir::Files | QDir::Hidden).filter(u".tmp"_qs), QStringList());
}

TEST_F(SqlWrite, WorkingCopyDeleteAndRequery)
{
    // The supplier report's working copy: rows of other months or statuses go.
    const QString copy = q.path(QStringLiteral("Furn0.dbf"));
    ASSERT_TRUE(QFile::copy(cereri, copy));
    EXPECT_EQ(runSql(QStringLiteral("SELECT COUNT(*) AS N FROM %1").arg(t(copy))).rows[0][0].toLongLong(), 4);
    EXPECT_EQ(exec(QStringLiteral("DELETE FROM %1\nWHERE LUNACRT<>24290\nOR (STATUT<>\"APROBAT\" AND STATUT<>\"MODIFICAT\")")
                       .arg(t(copy))),
              2);
    // The same engine sees the change at once (the file changed under its index).
    EXPECT_EQ(column(runSql(QStringLiteral("SELECT NRCRT FROM %1 WHERE LUNACRT=24290 ORDER BY NRCRT").arg(t(copy)))),
              (QStringList{"1", "4"}));
    Dbf::pack(copy);
    Dbf::widenCharField(copy, QStringLiteral("FURNE"), 70);
    const SqlResult r = runSql(QStringLiteral("SELECT DISTINCT FURNE FROM %1 WHERE SUMAE>0 ORDER BY FURNE").arg(t(copy)));
    EXPECT_EQ(column(r), (QStringList{"E.ON", "ENEL"}));
    EXPECT_EQ(r.columns[0].size, 70);
}

} // namespace
