// Local SQL over a 300,000-row sample against the same queries over the same
// rows in native SQLite tables (indexed on the key columns, built outside the
// timing), in one run: the two run in turns and each counts by its median.
// Prints the ratios last. The sample is written to a fresh temporary folder
// unless --folder names one (reused when it holds the sample already).
//   sql_queries [--rows N] [--folder DIR] [--only NAME-PART]
#include "PairedRuns.h"

#include "platform/db/Dbf.h"
#include "../tests/platform/sql/NativeTable.h" // the same native copy the oracle test checks against
#include "platform/sql/RomanianCollation.h"
#include "platform/sql/SqlEngine.h"
#include "platform/sql/SqlQuote.h"
#include "sample-data/SampleGenerator.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Reads every column of the row as a caller would.
quint64 consume(sqlite3_stmt *st)
{
    quint64 h = 0;
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER: h += quint64(sqlite3_column_int64(st, i)); break;
        case SQLITE_FLOAT: h += quint64(sqlite3_column_double(st, i)); break;
        case SQLITE_TEXT: h += quint64(sqlite3_column_bytes(st, i)) + uchar(*sqlite3_column_text(st, i)); break;
        default: ++h; break;
        }
    }
    return h;
}

// Milliseconds one run of f takes; its check value goes to *check.
std::function<double()> timed(const std::function<quint64()> &f, quint64 *check)
{
    return [f, check] {
        QElapsedTimer t;
        t.start();
        *check = f();
        return t.nsecsElapsed() / 1e6;
    };
}

void exec(sqlite3 *db, const QString &sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", err);
        std::exit(1);
    }
}

quint64 native(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
    quint64 h = 0, rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        h += consume(st);
        ++rows;
    }
    sqlite3_finalize(st);
    return rows * 1000003 + h % 1000003;
}

quint64 dialect(const QString &sql)
{
    quint64 h = 0, rows = 0;
    SqlEngine::instance().forEachRow(sql, [&](sqlite3_stmt *st) {
        h += consume(st);
        ++rows;
    });
    return rows * 1000003 + h % 1000003;
}

// The table's rows in a native table, typed so that its key indexes work as the engine's do.
void load(sqlite3 *db, const QString &name, const QString &path)
{
    CopyToNativeTable(db, name, path, [](const DbfField &f) {
        const bool text = f.type == 'C' || f.type == 'D';
        return (text ? QStringLiteral("TEXT") : f.decimals ? QStringLiteral("REAL") : QStringLiteral("INTEGER"))
             + (f.type == 'C' ? QStringLiteral(" COLLATE RO") : QString());
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qint64 rows = 300000;
    QTemporaryDir scratch;
    QString folder;
    QString only;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--rows")
            rows = args[i + 1].toLongLong();
        else if (args[i] == u"--folder")
            folder = args[i + 1];
        else if (args[i] == u"--only")
            only = args[i + 1];
    }
    if (folder.isEmpty())
        folder = scratch.path();
    const QString cereri = folder + QStringLiteral("/Cereri.dbf");
    if (!QFileInfo::exists(cereri)) {
        QDir().mkpath(folder);
        SampleGenerator::Options o;
        o.folder = folder;
        o.size = rows;
        o.seed = 11;
        std::printf("generating %lld rows in %s\n", static_cast<long long>(rows), qPrintable(folder));
        SampleGenerator::generate(o);
    }
    const QString C = SqlQuote::table(cereri);
    SqlEngine &engine = SqlEngine::instance();
    const SqlResult months = engine.query(QStringLiteral("SELECT LUNACRT, COUNT(*) AS N FROM %1 GROUP BY LUNACRT ORDER BY N DESC").arg(C));
    const QString month = months.rows.at(0).at(0).toString();
    const qint64 m0 = months.rows.at(0).at(0).toLongLong() - 2, m1 = m0 + 4;

    // The disposition-number table as the county report builds it.
    const QString ajvps = folder + QStringLiteral("/AJVPS0.dbf");
    QFile::remove(ajvps);
    engine.execute(QStringLiteral("CREATE TABLE %1 (NRCRT DECIMAL(12,0), NRD CHAR(16), DATAD DATE, NR_DISP CHAR(27))").arg(SqlQuote::table(ajvps)));
    engine.execute(QStringLiteral("INSERT INTO %1 (NRCRT, NRD, DATAD) SELECT NRCRT, NR_DISP, DATADISP FROM %2").arg(SqlQuote::table(ajvps), C));

    sqlite3 *db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_create_collation(db, "RO", SQLITE_UTF8, nullptr, [](void *, int n1, const void *a, int n2, const void *b) {
        return RomanianCollation::compareUtf8(std::string_view(static_cast<const char *>(a), size_t(n1)),
                                              std::string_view(static_cast<const char *>(b), size_t(n2)));
    });
    load(db, QStringLiteral("cereri"), cereri);
    load(db, QStringLiteral("ajvps"), ajvps);
    exec(db, QStringLiteral("CREATE INDEX c_luna ON cereri(LUNACRT)"));
    exec(db, QStringLiteral("CREATE INDEX c_nrcrt ON cereri(NRCRT)"));
    exec(db, QStringLiteral("CREATE INDEX a_nrcrt ON ajvps(NRCRT)"));
    exec(db, QStringLiteral("ANALYZE"));

    struct Query
    {
        const char *name;
        QString dialect;
        QString native;
    };
    const Query queries[] = {
        {"sql_month_select_vs_native", QStringLiteral("SELECT * FROM %1 WHERE LUNACRT=%2 ORDER BY TITULAR").arg(C, month),
         QStringLiteral("SELECT * FROM cereri WHERE LUNACRT=%1 ORDER BY TITULAR").arg(month)},
        // The native side gets the left join that the full join is equal to here.
        {"sql_county_full_join_vs_native",
         QStringLiteral("SELECT TITULAR, CNP, LOCALIT+\" \"+ADRESA AS ADRESA, A.NR_DISP, NR_MEMBRI, VENITM, NR_LUNI, CUANTUM FROM %1 "
                        "FULL JOIN %2 A ON NRCRT=A.NRCRT WHERE (STATUT=\"APROBAT\" OR STATUT=\"MODIFICAT\") AND TOTAL>0 "
                        "AND LUNACRT>=%3 AND LUNACRT<=%4 ORDER BY NR_LUNI, TITULAR")
             .arg(C, SqlQuote::table(ajvps))
             .arg(m0)
             .arg(m1),
         QStringLiteral("SELECT c.TITULAR, c.CNP, coalesce(c.LOCALIT,'')||' '||coalesce(c.ADRESA,''), a.NR_DISP, c.NR_MEMBRI, c.VENITM, "
                        "c.NR_LUNI, c.CUANTUM FROM cereri c LEFT JOIN ajvps a ON c.NRCRT=a.NRCRT WHERE (c.STATUT='APROBAT' OR "
                        "c.STATUT='MODIFICAT') AND c.TOTAL>0 AND c.LUNACRT>=%1 AND c.LUNACRT<=%2 ORDER BY c.NR_LUNI, c.TITULAR")
             .arg(m0)
             .arg(m1)},
        {"sql_fetch_all_vs_native", QStringLiteral("SELECT * FROM %1").arg(C), QStringLiteral("SELECT * FROM cereri")},
    };
    QStringList headline;
    for (const Query &q : queries) {
        if (!only.isEmpty() && !QString::fromLatin1(q.name).contains(only))
            continue;
        quint64 a = 0, b = 0;
        dialect(q.dialect); // index build and caches outside the timing, as for the native index
        const bench::Paired t = bench::paired(7, timed([&] { return dialect(q.dialect); }, &a),
                                              timed([&] { return native(db, q.native); }, &b));
        std::printf("%-34s ours %9.2f ms   native %9.2f ms   rows %llu%s\n", q.name, t.ours, t.theirs,
                    static_cast<unsigned long long>(a / 1000003), a == b ? "" : "   (results differ!)");
        headline << QStringLiteral("%1: %2x").arg(QLatin1StringView(q.name)).arg(t.ratio(), 0, 'f', 2);
    }

    // (d) The first month query after the file changed: snapshot and key index built anew.
    if (only.isEmpty()) {
        quint64 h = 0, n = 0;
        const auto changed = timed([&] {
            // Same bytes, new modification time: the engine must notice and rebuild.
            QFile f(cereri);
            f.open(QIODevice::ReadWrite);
            f.setFileTime(QDateTime::currentDateTime().addSecs(qint64(QDateTime::currentMSecsSinceEpoch() % 1000)),
                          QFileDevice::FileModificationTime);
            f.close();
            return dialect(queries[0].dialect);
        }, &h);
        const bench::Paired t = bench::paired(5, changed, timed([&] { return native(db, queries[0].native); }, &n));
        std::printf("%-34s ours %9.2f ms   native (indexed) %9.2f ms\n", "first query after change", t.ours, t.theirs);
        headline << QStringLiteral("sql_first_query_after_change_ms: %1").arg(t.ours, 0, 'f', 1);
        headline << QStringLiteral("sql_first_query_after_change_vs_native: %1x").arg(t.ratio(), 0, 'f', 2);
    }
    sqlite3_close(db);
    for (const QString &l : headline)
        std::printf("%s\n", qPrintable(l));
    return 0;
}
