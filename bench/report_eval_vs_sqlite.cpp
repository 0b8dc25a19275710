// One report expression with arithmetic and text over 1,000,000 rows, against
// SQLite computing the same expression over the same rows in an in-memory
// table, in the same run. Rounds alternate; the medians are compared.
#include "PairedRuns.h"
#include "reports/eval/BRDataSet.h"
#include "reports/eval/BREvaluator.h"

#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int RowCount = 1000000;
constexpr int Rounds = 5;

struct Row
{
    int members;
    double income;
    QString name;
};

std::vector<Row> makeRows()
{
    std::vector<Row> rows;
    rows.reserve(RowCount);
    const char *names[] = {"popescu ion", "ionescu maria", "georgescu ana", "dumitru vasile"};
    for (int i = 0; i < RowCount; ++i)
        rows.push_back({1 + i % 7, 100.0 + (i % 1000) * 1.25, QString::fromLatin1(names[i % 4])});
    return rows;
}

class Rows : public TBRDataSet
{
public:
    explicit Rows(const std::vector<Row> &rows) : m_rows(rows) {}
    QString Name() const override { return QStringLiteral("CERERI"); }
    int FindField(const QString &name) const override
    {
        return name == QLatin1String("NR_MEMBRI") ? 0 : name == QLatin1String("TVENIT") ? 1 : name == QLatin1String("TITULAR") ? 2 : -1;
    }
    int FieldCount() const override { return 3; }
    QString FieldName(int i) const override { return QStringList{"NR_MEMBRI", "TVENIT", "TITULAR"}.at(i); }
    TBRFieldKind FieldKind(int i) const override
    {
        return i == 0 ? TBRFieldKind::Integer : i == 1 ? TBRFieldKind::Float : TBRFieldKind::String;
    }
    QVariant FieldValue(int i) const override
    {
        const Row &r = m_rows[m_current];
        return i == 0 ? QVariant(r.members) : i == 1 ? QVariant(r.income) : QVariant(r.name);
    }
    size_t m_current = 0;

private:
    const std::vector<Row> &m_rows;
};

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3 *loadSqlite(const std::vector<Row> &rows)
{
    sqlite3 *db = nullptr;
    check(sqlite3_open(":memory:", &db), db);
    check(sqlite3_exec(db, "CREATE TABLE cereri(nr_membri INTEGER, tvenit REAL, titular TEXT);"
                           "BEGIN;", nullptr, nullptr, nullptr), db);
    sqlite3_stmt *ins = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO cereri VALUES(?,?,?)", -1, &ins, nullptr), db);
    for (const Row &r : rows) {
        const QByteArray name = r.name.toUtf8();
        sqlite3_bind_int(ins, 1, r.members);
        sqlite3_bind_double(ins, 2, r.income);
        sqlite3_bind_text(ins, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(ins), db);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    check(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db);
    return db;
}

} // namespace

int main()
{
    const std::vector<Row> rows = makeRows();
    sqlite3 *db = loadSqlite(rows);
    Rows source(rows);
    TBREvaluator ev;
    ev.SetDataSets({&source});
    ev.Prepare(QStringLiteral("UPPER(TITULAR) + ': ' + STR(TVENIT / NR_MEMBRI * 2 - 1)"));
    const char *sql = "SELECT upper(titular) || ': ' || (tvenit / nr_membri * 2 - 1) FROM cereri";

    std::vector<double> ours, theirs;
    qint64 ourChars = 0, theirChars = 0;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer t;
        t.start();
        for (size_t i = 0; i < rows.size(); ++i) {
            source.m_current = i;
            ourChars += ev.Value().stringValue.size();
        }
        ours.push_back(double(t.nsecsElapsed()) / 1e6);

        t.restart();
        sqlite3_stmt *st = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db);
        while (sqlite3_step(st) == SQLITE_ROW)
            theirChars += sqlite3_column_bytes(st, 0);
        sqlite3_finalize(st);
        theirs.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    sqlite3_close(db);
    const double o = bench::median(ours), s = bench::median(theirs);
    std::printf("expression over %d rows: ours %.1f ms, sqlite %.1f ms (%lld / %lld characters)\n", RowCount, o, s,
                static_cast<long long>(ourChars), static_cast<long long>(theirChars));
    std::printf("report_eval_vs_sqlite: %.2fx\n", o / s);
    return 0;
}
