// Statements the documents and reports run, over a generated data folder,
// against hand-written SQLite SQL over the same rows loaded into plain tables.
#include "NativeTable.h"
#include "SqlTestData.h"

#include "platform/sql/RomanianCollation.h"
#include "sample-data/SampleGenerator.h"

#include <sqlite3.h>

#include <QRegularExpression>

namespace {

QString canonical(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("<null>");
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate);
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int: return QString::number(v.toDouble(), 'g', 12);
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default: return v.toString();
    }
}

class SqlOracle : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new SqlTestFolder;
        SampleGenerator::Options o;
        o.folder = folder->path(QStringLiteral("Data"));
        o.seed = 7;
        o.size = 3000;
        QDir().mkpath(o.folder);
        const SampleGenerator::Summary s = SampleGenerator::generate(o);
        const QString m = s.months.at(s.months.size() / 2);
        month = m.mid(3, 4).toInt() * 12 + m.left(2).toInt() - 1;
        cereri = Dbf::resolve(o.folder + QStringLiteral("/Cereri.dbf"));
        oameni = Dbf::resolve(o.folder + QStringLiteral("/Oameni.dbf"));
        // The disposition-number table, built as the county report builds it.
        ajvps = folder->path(QStringLiteral("AJVPS0.dbf"));
        SqlEngine &e = SqlEngine::instance();
        e.execute(QStringLiteral("CREATE TABLE %1\n(NRCRT DECIMAL(12,0), NRD CHAR(16), DATAD DATE, NR_DISP CHAR(27))")
                      .arg(SqlQuote::table(ajvps)));
        e.execute(QStringLiteral("INSERT INTO %1\n(NRCRT, NRD, DATAD)\nSELECT NRCRT, NR_DISP, DATADISP\nFROM %2")
                      .arg(SqlQuote::table(ajvps), SqlQuote::table(cereri)));

        sqlite3_open(":memory:", &db);
        sqlite3_create_collation(db, "RO", SQLITE_UTF8, nullptr, [](void *, int n1, const void *a, int n2, const void *b) {
            return RomanianCollation::compareUtf8(std::string_view(static_cast<const char *>(a), size_t(n1)),
                                                  std::string_view(static_cast<const char *>(b), size_t(n2)));
        });
        load(QStringLiteral("cereri"), cereri);
        load(QStringLiteral("oameni"), oameni);
        load(QStringLiteral("ajvps"), ajvps);
    }
    static void TearDownTestSuite()
    {
        sqlite3_close(db);
        delete folder;
    }

    static void load(const QString &name, const QString &path)
    {
        CopyToNativeTable(db, name, path, [](const DbfField &f) {
            return f.type == 'C' || f.type == 'D' ? QStringLiteral("TEXT") : QStringLiteral("NUMERIC");
        });
    }
    static void exec(const QString &sql) { sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr); }

    static QList<QStringList> oracle(const QString &sql)
    {
        QList<QStringList> rows;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
            return rows;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                switch (sqlite3_column_type(st, i)) {
                case SQLITE_NULL: row << QStringLiteral("<null>"); break;
                case SQLITE_INTEGER:
                case SQLITE_FLOAT: row << QString::number(sqlite3_column_double(st, i), 'g', 12); break;
                default: row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
                }
            }
            rows << row;
        }
        sqlite3_finalize(st);
        return rows;
    }

    static SqlTestFolder *folder;
    static QString cereri, oameni, ajvps;
    static int month;
    static sqlite3 *db;
};

SqlTestFolder *SqlOracle::folder = nullptr;
QString SqlOracle::cereri, SqlOracle::oameni, SqlOracle::ajvps;
int SqlOracle::month = 0;
sqlite3 *SqlOracle::db = nullptr;

TEST_F(SqlOracle, StatementsOfTheReportsGiveTheSameRows)
{
    struct Case
    {
        const char *name;
        QString dialect;
        QString plain;
        int orderKeys; // the leading columns that the ORDER BY fixes, in order
    };
    const QString C = SqlQuote::table(cereri), O = SqlQuote::table(oameni), A = SqlQuote::table(ajvps);
    const QString M = QString::number(month), M0 = QString::number(month - 2), M1 = QString::number(month + 2);
    const QString approved = QStringLiteral("(STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\")");
    const QString approvedPlain = QStringLiteral("(STATUT='APROBAT' OR STATUT='MODIFICAT')");
    const QString num = QStringLiteral("CASE WHEN trim(NR_DISP) GLOB '[0-9]*' AND trim(NR_DISP) NOT GLOB '*[^0-9.]*' THEN CAST(NR_DISP AS REAL) END");
    const Case cases[] = {
        {"dispositions_range",
         QStringLiteral("SELECT * FROM %1\nWHERE CAST(NR_DISP AS FLOAT)>=1\nAND CAST(NR_DISP AS FLOAT)<=400\nAND LUNACRT=%2\nAND STATUT=\"APROBAT\"\nORDER BY NR_CERE").arg(C, M),
         QStringLiteral("SELECT * FROM cereri WHERE %1>=1 AND %1<=400 AND LUNACRT=%2 AND STATUT='APROBAT' ORDER BY NR_CERE").arg(num, M), 0},
        {"dispositions_without_number",
         QStringLiteral("SELECT NRCRT, TITULAR FROM %1 WHERE (NR_DISP=\"\" OR NR_DISP=\"0\") AND LUNACRT=%2 ORDER BY NRCRT").arg(C, M),
         QStringLiteral("SELECT NRCRT, TITULAR FROM cereri WHERE (NR_DISP IS NULL OR NR_DISP='0') AND LUNACRT=%1 ORDER BY NRCRT").arg(M), 1},
        {"children_of_requests",
         QStringLiteral("SELECT * FROM %1\nWHERE NRCRT<=200\nAND CALITATE=\"copil\"\nORDER BY TITULAR").arg(O),
         QStringLiteral("SELECT * FROM oameni WHERE NRCRT<=200 AND CALITATE='copil' ORDER BY TITULAR COLLATE RO"), 0},
        {"reports_range",
         QStringLiteral("SELECT * FROM %1 WHERE LUNACRT=%2 AND NR_REF>=1 AND NR_REF<=300 AND STATUT=\"APROBAT\" ORDER BY NR_CERE").arg(C, M),
         QStringLiteral("SELECT * FROM cereri WHERE LUNACRT=%1 AND NR_REF>=1 AND NR_REF<=300 AND STATUT='APROBAT' ORDER BY NR_CERE").arg(M), 0},
        {"single_disposition_counts",
         QStringLiteral("SELECT Count(*) AS NRX, MAX(NR_CERE) AS NR0, MIN(NR_CERE) AS NR1, MAX(NR_LUNI) AS NRLUNI FROM %1 WHERE LUNACRT=%2 "
                        "AND STATUT=\"APROBAT\" AND (CUMODIF<>\"X\" OR CUMODIF IS NULL) AND CUAJUT=\"X\"").arg(C, M),
         QStringLiteral("SELECT count(*), max(NR_CERE), min(NR_CERE), max(NR_LUNI) FROM cereri WHERE LUNACRT=%1 AND STATUT='APROBAT' "
                        "AND coalesce(CUMODIF,'')<>'X' AND CUAJUT='X'").arg(M), 0},
        {"supplement_count",
         QStringLiteral("SELECT Count(*) AS NRX FROM %1 WHERE LUNACRT=%2 AND STATUT=\"APROBAT\" AND SUMAL+SUMAG+SUMAE+SUMAT>0").arg(C, M),
         // A blank amount is null and makes the sum null, as in plain SQL.
         QStringLiteral("SELECT count(*) FROM cereri WHERE LUNACRT=%1 AND STATUT='APROBAT' AND SUMAL+SUMAG+SUMAE+SUMAT>0").arg(M), 0},
        {"single_disposition_list",
         QStringLiteral("SELECT TITULAR,\tCNP, (\"loc.\"+LOCALIT+\", \"+ADRESA) AS ADRESA, NR_MEMBRI, CUANTUM, NR_LUNI,\n"
                        "SUMAL, SUMAG, SUMAE, SUMAT, DATADISP, DATACERE FROM %1 WHERE LUNACRT=%2 AND STATUT=\"APROBAT\" ORDER BY TITULAR").arg(C, M),
         QStringLiteral("SELECT TITULAR, CNP, 'loc.'||coalesce(LOCALIT,'')||', '||coalesce(ADRESA,''), NR_MEMBRI, CUANTUM, NR_LUNI, "
                        "SUMAL, SUMAG, SUMAE, SUMAT, DATADISP, DATACERE FROM cereri WHERE LUNACRT=%1 AND STATUT='APROBAT' ORDER BY TITULAR COLLATE RO").arg(M), 1},
        {"payment_list",
         QStringLiteral("SELECT NR_CERE,TITULAR,CNP, NR_DISP+\"/\" AS NRDISP, DATADISP, TRIM(BOTH \" \" FROM (LOCALIT + \" \" +ADRESA)) AS ADRESA, "
                        "LOCALIT, CUANTUM,NR_LUNI,TOTAL, SUMAL, SUMAG, SUMAT, SUMAE\nFROM %1\nWHERE LUNACRT=%2\nAND %3\n"
                        "AND TITULAR>=\"C\"\nAND TITULAR<=\"FZZ\"\nAND TOTAL>0\nORDER BY TITULAR").arg(C, M, approved),
         QStringLiteral("SELECT NR_CERE, TITULAR, CNP, coalesce(NR_DISP,'')||'/', DATADISP, trim(coalesce(LOCALIT,'')||' '||coalesce(ADRESA,'')), "
                        "LOCALIT, CUANTUM, NR_LUNI, TOTAL, SUMAL, SUMAG, SUMAT, SUMAE FROM cereri WHERE LUNACRT=%1 AND %2 "
                        "AND TITULAR>='C' COLLATE RO AND TITULAR<='FZZ' COLLATE RO AND TOTAL>0 ORDER BY TITULAR COLLATE RO").arg(M, approvedPlain), 2},
        {"treasury_rows",
         QStringLiteral("SELECT TITULAR AS SUBSEMN,CNP, NR_MEMBRI AS NRPERS, TOTAL AS CUANTUM, L416 FROM %1 WHERE LUNACRT=%2 AND %3 AND TOTAL>0 "
                        "AND TITULAR>=\"A\" ORDER BY SUBSEMN").arg(C, M, approved),
         QStringLiteral("SELECT TITULAR, CNP, NR_MEMBRI, TOTAL, L416 FROM cereri WHERE LUNACRT=%1 AND %2 AND TOTAL>0 AND TITULAR>='A' COLLATE RO "
                        "ORDER BY TITULAR COLLATE RO").arg(M, approvedPlain), 1},
        {"annex3_payment_modes",
         QStringLiteral("SELECT CNP, MODPLATA FROM %1 WHERE LUNACRT=%2 ORDER BY CNP").arg(C, M),
         QStringLiteral("SELECT CNP, MODPLATA FROM cereri WHERE LUNACRT=%1 ORDER BY CNP COLLATE RO").arg(M), 1},
        {"electricity_suppliers",
         QStringLiteral("SELECT FURNE FROM %1\nWHERE (LUNACRT=%2) AND ((STATUT=\"APROBAT\") OR (STATUT=\"MODIFICAT\")) AND ((TOTAL>0) OR (SUMAE>0))\n"
                        "GROUP BY FURNE").arg(C, M),
         QStringLiteral("SELECT FURNE FROM cereri WHERE LUNACRT=%1 AND %2 AND (TOTAL>0 OR SUMAE>0) GROUP BY FURNE COLLATE RO").arg(M, approvedPlain), 0},
        {"localities",
         QStringLiteral("SELECT DISTINCT LOCALIT FROM %1 WHERE LUNACRT=%2 ORDER BY LOCALIT").arg(C, M),
         QStringLiteral("SELECT DISTINCT LOCALIT COLLATE RO FROM cereri WHERE LUNACRT=%1 ORDER BY 1").arg(M), 1},
        {"banks",
         QStringLiteral("SELECT BANCA FROM %1 WHERE (LUNACRT=%2) AND %3 AND (CUANTUM>0 OR SUMAL>0) AND MODPLATA=\"OP\" GROUP BY BANCA ORDER BY BANCA").arg(C, M, approved),
         QStringLiteral("SELECT BANCA FROM cereri WHERE LUNACRT=%1 AND %2 AND (CUANTUM>0 OR SUMAL>0) AND MODPLATA='OP' "
                        "GROUP BY BANCA COLLATE RO ORDER BY BANCA COLLATE RO").arg(M, approvedPlain), 1},
        {"annex13_join",
         QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, NR_MEMBRI, VENITM, NR_LUNI, CUANTUM\nFROM %1\n"
                        "FULL JOIN %2 A\nON NRCRT=A.NRCRT\nWHERE %3 AND TOTAL>0\nAND LUNACRT>=%4\nAND LUNACRT<=%5\nORDER BY NR_LUNI, TITULAR").arg(C, A, approved, M0, M1),
         QStringLiteral("SELECT c.TITULAR, c.CNP, coalesce(c.LOCALIT,'')||' '||coalesce(c.ADRESA,''), a.NR_DISP, c.NR_MEMBRI, c.VENITM, c.NR_LUNI, c.CUANTUM "
                        "FROM cereri c LEFT JOIN ajvps a ON c.NRCRT=a.NRCRT WHERE (c.STATUT='APROBAT' OR c.STATUT='MODIFICAT') AND c.TOTAL>0 "
                        "AND c.LUNACRT>=%1 AND c.LUNACRT<=%2 ORDER BY c.NR_LUNI, c.TITULAR COLLATE RO").arg(M0, M1), 0},
        {"annex22_amounts",
         QStringLiteral("SELECT CUANTUM, NR_LUNI, NR_MEMBRI, VENITM, TOTAL FROM %1 WHERE %2 AND TOTAL>0 AND LUNACRT>=\"%3\" AND LUNACRT<=\"%4\" "
                        "ORDER BY CUANTUM, NR_LUNI, NR_MEMBRI").arg(C, approved, M0, M1),
         QStringLiteral("SELECT CUANTUM, NR_LUNI, NR_MEMBRI, VENITM, TOTAL FROM cereri WHERE %1 AND TOTAL>0 AND LUNACRT>=%2 AND LUNACRT<=%3 "
                        "ORDER BY CUANTUM, NR_LUNI, NR_MEMBRI").arg(approvedPlain, M0, M1), 3},
        {"period_months",
         QStringLiteral("SELECT DISTINCT LUNACRT FROM %1 WHERE LUNACRT>=\"%2\" AND LUNACRT<=\"%3\" ORDER BY LUNACRT").arg(C, M0, M1),
         QStringLiteral("SELECT DISTINCT LUNACRT FROM cereri WHERE LUNACRT>=%1 AND LUNACRT<=%2 ORDER BY LUNACRT").arg(M0, M1), 1},
        {"annex24_gas",
         QStringLiteral("SELECT LUNACRT, NR_MEMBRI, VENITM, SUMAG FROM %1 WHERE STATUT<>\"RESPINS\" AND STATUT<>\"INCETAT\" AND SUMAG>0").arg(C),
         QStringLiteral("SELECT LUNACRT, NR_MEMBRI, VENITM, SUMAG FROM cereri WHERE coalesce(STATUT,'')<>'RESPINS' AND coalesce(STATUT,'')<>'INCETAT' AND SUMAG>0"), 0},
        {"annex14_join",
         QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, VENITM, CODCLT, SUMAT FROM %1 FULL JOIN %2 A ON NRCRT=A.NRCRT "
                        "WHERE LUNACRT=%3 AND %4 AND SUMAT>0 ORDER BY TITULAR").arg(C, A, M, approved),
         QStringLiteral("SELECT c.TITULAR, c.CNP, coalesce(c.LOCALIT,'')||' '||coalesce(c.ADRESA,''), a.NR_DISP, c.VENITM, c.CODCLT, c.SUMAT "
                        "FROM cereri c LEFT JOIN ajvps a ON c.NRCRT=a.NRCRT WHERE c.LUNACRT=%1 AND (c.STATUT='APROBAT' OR c.STATUT='MODIFICAT') "
                        "AND c.SUMAT>0 ORDER BY c.TITULAR COLLATE RO").arg(M), 1},
        {"persons_join",
         QStringLiteral("SELECT A.TITULAR, A.CNP, A.VENIT, A.CALITATE, A.NROM, B.NRCRT\nFROM %1 A\nJOIN %2 B\nON A.NRCRT=B.NRCRT\nWHERE B.LUNACRT=%3\n"
                        "AND %4 AND CUAJUT=\"X\"").arg(O, C, M, approved),
         QStringLiteral("SELECT a.TITULAR, a.CNP, a.VENIT, a.CALITATE, a.NROM, b.NRCRT FROM oameni a JOIN cereri b ON a.NRCRT=b.NRCRT "
                        "WHERE b.LUNACRT=%1 AND (b.STATUT='APROBAT' OR b.STATUT='MODIFICAT') AND b.CUAJUT='X'").arg(M), 0},
        {"members_situation",
         QStringLiteral("SELECT A.TITULAR AS NUMEM, A.CNP AS CNPM, B.LOCALIT, B.ADRESA, B.TITULAR, B.CNP\nFROM %1 A\nRIGHT JOIN %2 B\n"
                        "ON A.NRCRT=B.NRCRT\nWHERE B.LUNACRT=%3\nAND (B.STATUT=\"APROBAT\" OR B.STATUT=\"MODIFICAT\")\nORDER BY B.TITULAR, B.CNP, NUMEM").arg(O, C, M),
         QStringLiteral("SELECT a.TITULAR, a.CNP, b.LOCALIT, b.ADRESA, b.TITULAR, b.CNP FROM cereri b LEFT JOIN oameni a ON a.NRCRT=b.NRCRT "
                        "WHERE b.LUNACRT=%1 AND (b.STATUT='APROBAT' OR b.STATUT='MODIFICAT') "
                        "ORDER BY b.TITULAR COLLATE RO, b.CNP COLLATE RO, a.TITULAR COLLATE RO").arg(M), 0},
        {"electricity_supplier_rows",
         QStringLiteral("SELECT *\nFROM %1\nWHERE (LUNACRT=%2)\nAND %3 AND SUMAE>0\nAND FURNE<>\"\"\nORDER BY TITULAR").arg(C, M, approved),
         QStringLiteral("SELECT * FROM cereri WHERE LUNACRT=%1 AND %2 AND SUMAE>0 AND FURNE IS NOT NULL ORDER BY TITULAR COLLATE RO").arg(M, approvedPlain), 0},
        {"all_members",
         QStringLiteral("SELECT * FROM %1\nORDER BY NRCRT, NROM").arg(O),
         QStringLiteral("SELECT * FROM oameni ORDER BY NRCRT, NROM"), 2},
    };
    int nonEmpty = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const SqlResult r = runSql(c.dialect);
        const QList<QStringList> want = oracle(c.plain);
        QList<QStringList> got;
        for (const auto &row : r.rows) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << canonical(v);
            got << cells;
        }
        ASSERT_EQ(got.size(), want.size());
        if (!got.isEmpty())
            ++nonEmpty;
        // The order the ORDER BY fixes, then the rows whatever the order of ties.
        if (c.orderKeys > 0) {
            for (int i = 0; i < got.size(); ++i)
                ASSERT_EQ(got[i].mid(0, c.orderKeys), want[i].mid(0, c.orderKeys)) << "row " << i;
        }
        auto sorted = [](QList<QStringList> rows) {
            QStringList flat;
            for (const QStringList &row : rows)
                flat << row.join(u'\x1f');
            flat.sort();
            return flat;
        };
        EXPECT_EQ(sorted(got), sorted(want));
    }
    // The sample gives rows to almost every statement, so they test something.
    EXPECT_GE(nonEmpty, 18);
}

} // namespace
