// The whole "Raport AJPIS" for a twelve-month period over a 300,000-request
// sample, against the same aggregates as hand-written SQL in native SQLite
// over the same rows loaded into indexed tables, in the same run: the lists
// of the period and of the working month, the bracket counts, the payments
// by amount, the counts and sums by month, bracket and kind, the holders per
// supplier. Runs in turns, medians compared; each run writes into a fresh
// temporary folder.
//
// agency_report [folder]: the sample is written to the folder when it holds
// no Cereri.dbf and reused when it does.
#include "PairedRuns.h"
#include "platform/sql/NativeTable.h"

#include "agencies/AgencyReport.h"
#include "core/Form1.h"
#include "core/MonthCode.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "core/ResourceStore.h"
#include "platform/sql/RomanianCollation.h"
#include "platform/sql/TQuery.h"
#include "sample-data/SampleGenerator.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint64 Rows = 300000;

quint64 run(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    quint64 rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0, n = sqlite3_column_count(st); i < n; ++i, ++rows)
            sqlite3_column_text(st, i);
    sqlite3_finalize(st);
    return rows;
}

// The report's aggregates, each as one statement.
QStringList nativeAggregates(int start, int end, int month, const QString &lim)
{
    const QString ok = QStringLiteral("(STATUT='APROBAT' OR STATUT='MODIFICAT')");
    const QString per = QStringLiteral("LUNACRT BETWEEN %1 AND %2").arg(start).arg(end);
    // The bracket of an income: the first limit it does not pass (single persons above Lim9: 11).
    const QString bracket = QStringLiteral("(SELECT MIN(b) FROM lim WHERE c.VENITM<=lim.v AND (c.NR_MEMBRI>1 OR b<>10) "
                                           "AND (c.NR_MEMBRI=1 OR b<>11) AND (b<>11 OR c.VENITM>%1))").arg(lim);
    QStringList q;
    q << QStringLiteral("SELECT c.TITULAR, c.CNP, c.LOCALIT||' '||c.ADRESA, a.NR_DISP, c.NR_MEMBRI, c.VENITM, c.NR_LUNI, c.CUANTUM "
                        "FROM cereri c LEFT JOIN ajvps a ON c.NRCRT=a.NRCRT WHERE %1 AND c.TOTAL>0 AND c.%2 "
                        "ORDER BY c.NR_LUNI, c.TITULAR").arg(ok, per);
    q << QStringLiteral("SELECT NR_LUNI, %1 AS br, MIN(NR_MEMBRI, 6), COUNT(*) FROM cereri c WHERE %2 AND TOTAL>0 AND %3 "
                        "AND NR_LUNI BETWEEN 1 AND 5 GROUP BY 1, 2, 3").arg(bracket, ok, per);
    q << QStringLiteral("SELECT TITULAR, CNP, LOCALIT||' '||ADRESA, a.NR_DISP, NR_MEMBRI, VENITM, CUANTUM, TOTAL FROM cereri c "
                        "LEFT JOIN ajvps a ON c.NRCRT=a.NRCRT WHERE c.LUNACRT=%1 AND %2 ORDER BY TITULAR").arg(month).arg(ok);
    q << QStringLiteral("SELECT CUANTUM, NR_LUNI, NR_MEMBRI=1, SUM(TOTAL) FROM cereri WHERE %1 AND TOTAL>0 AND %2 "
                        "GROUP BY 1, 2, 3").arg(ok, per);
    for (const char *amount : {"SUMAT", "SUMAG", "SUMAE", "SUMAL"}) {
        q << QStringLiteral("SELECT c.TITULAR, c.CNP, c.LOCALIT||' '||c.ADRESA, a.NR_DISP, c.NR_MEMBRI, c.VENITM, c.%1 FROM cereri c "
                            "LEFT JOIN ajvps a ON c.NRCRT=a.NRCRT WHERE c.LUNACRT=%2 AND %3 AND c.%1>0 ORDER BY c.TITULAR")
                 .arg(QLatin1String(amount)).arg(month).arg(ok);
        q << QStringLiteral("SELECT LUNACRT, %1 AS br, NR_MEMBRI=1, COUNT(*), SUM(%2) FROM cereri c WHERE %3 AND "
                            "STATUT<>'RESPINS' AND STATUT<>'INCETAT' AND %2>0 GROUP BY 1, 2, 3")
                 .arg(bracket, QLatin1String(amount), per);
    }
    q << QStringLiteral("SELECT f, TITULAR, CNP, SUM(s) FROM (SELECT lower(trim(FURNE)) f, TITULAR, CNP, SUMAE s FROM cereri "
                        "WHERE LUNACRT=%1 AND SUMAE>0 UNION ALL SELECT lower(trim(FURNG)), TITULAR, CNP, SUMAG FROM cereri "
                        "WHERE LUNACRT=%1 AND SUMAG>0 UNION ALL SELECT lower(trim(FURNT)), TITULAR, CNP, SUMAT FROM cereri "
                        "WHERE LUNACRT=%1 AND SUMAT>0 UNION ALL SELECT 'suplimente lemne', TITULAR, CNP, SUMAL FROM cereri "
                        "WHERE LUNACRT=%1 AND SUMAL>0) GROUP BY 1, 2, 3 ORDER BY 1, 2").arg(month);
    return q;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString data = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.filePath(QStringLiteral("data"));
    if (!QFile::exists(QDir(data).filePath(QStringLiteral("Cereri.dbf"))))
        SampleGenerator::generate({data, 1, Rows, QDate(2023, 3, 31)});
    const QString temp = scratch.filePath(QStringLiteral("Temp"));
    QDir().mkpath(temp);
    Form1().setFolders(scratch.path(), data, temp);
    ResourceStore::extractMissing(data);
    static const int limits[] = {200, 320, 440, 560, 680, 920, 1040, 1160, 1280, 1386, 2053};
    for (int b = 1; b <= 11; ++b)
        Form4().Lim(b)->setText(QString::number(limits[b - 1]));
    Form4().Localit->setText(QStringLiteral("Răcăciuni"));
    Form3().LunaLucru->setText(QStringLiteral("03.2023"));
    const int month = TForm1::MonthIndex(QStringLiteral("03.2023"));
    const ReportPeriod period{month - 11, month};
    const AgencyOffice office = AgencyOffice::current();

    // The native side: the same rows, the disposition numbers beside, indexed.
    sqlite3 *db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_create_collation(db, "RO", SQLITE_UTF8, nullptr, [](void *, int n1, const void *a, int n2, const void *b) {
        return RomanianCollation::compareUtf8(std::string_view(static_cast<const char *>(a), size_t(n1)),
                                              std::string_view(static_cast<const char *>(b), size_t(n2)));
    });
    const auto nativeType = [](const DbfField &f) {
        const bool text = f.type == 'C' || f.type == 'D';
        return (text ? QStringLiteral("TEXT") : f.decimals ? QStringLiteral("REAL") : QStringLiteral("INTEGER"))
             + (f.type == 'C' ? QStringLiteral(" COLLATE RO") : QString());
    };
    CopyToNativeTable(db, QStringLiteral("cereri"), office.cereri, nativeType);
    sqlite3_exec(db, "CREATE TABLE ajvps AS SELECT NRCRT, NR_DISP || '/' || DATADISP AS NR_DISP FROM cereri;"
                     "CREATE INDEX c_luna ON cereri(LUNACRT); CREATE INDEX a_nrcrt ON ajvps(NRCRT);"
                     "CREATE TABLE lim(b INTEGER, v REAL); ANALYZE;", nullptr, nullptr, nullptr);
    for (int b = 1; b <= 11; ++b)
        sqlite3_exec(db, qPrintable(QStringLiteral("INSERT INTO lim VALUES(%1, %2)").arg(b).arg(limits[b - 1])), nullptr,
                     nullptr, nullptr);
    const QStringList aggregates = nativeAggregates(period.start, period.end, month, QString::number(limits[8]));

    int files = 0;
    quint64 nativeRows = 0;
    const bench::Paired t = bench::paired(
        5,
        [&] {
            QTemporaryDir out(scratch.filePath(QStringLiteral("run-XXXXXX")));
            TQuery query;
            const double ms = bench::elapsedMs([&] { AgencyReport::write(office, period, out.path(), query); });
            files = int(QDir(out.path()).entryList(QDir::Files).size());
            return ms;
        },
        [&] {
            return bench::elapsedMs([&] {
                nativeRows = 0;
                for (const QString &sql : aggregates)
                    nativeRows += run(db, sql);
            });
        });
    sqlite3_close(db);

    std::printf("sample: %lld requests, period %s to %s, %d workbooks; native cells read: %llu\n",
                static_cast<long long>(Rows), qPrintable(MonthCode::text(period.start)), qPrintable(MonthCode::text(period.end)),
                files, static_cast<unsigned long long>(nativeRows));
    std::printf("native aggregates: %.1f ms\n", t.theirs);
    std::printf("agency_report_300k_s: %.2f\n", t.ours / 1000.0);
    std::printf("agency_report_vs_native: %.2fx\n", t.ratio());
    return 0;
}
