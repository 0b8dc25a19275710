#pragma once

#include "platform/sql/DbfVirtualTable.h"
#include "platform/sql/SqlTranslator.h"
#include "platform/sql/SqlTypes.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// The rows of a query, read whole. Cells: null QVariant, QString, qint64,
// double, QDate or bool by the column's type.
struct SqlResult
{
    QList<SqlResultColumn> columns;
    QList<QVector<QVariant>> rows;
};

// Local SQL over the dBase files: one SQLite connection per thread, each table
// file a virtual table made on its first use, text in Romanian order.
class SqlEngine : public SqlCatalog, private DbfTableRegistry
{
public:
    // The calling thread's engine.
    static SqlEngine &instance();

    SqlEngine();
    ~SqlEngine() override;
    SqlEngine(const SqlEngine &) = delete;
    SqlEngine &operator=(const SqlEngine &) = delete;

    SqlTranslation translate(const QString &sql);

    // Runs a SELECT and reads every row.
    SqlResult query(const QString &sql);
    // Runs a SELECT row by row; the callback gets the prepared statement
    // positioned on each row (columns in select order).
    void forEachRow(const QString &sql, const std::function<void(sqlite3_stmt *)> &row);
    // A cell of that row as UTF-8 text, as a text or number column's field
    // gives it (AsString): null empty, numbers in their general form. Valid
    // until the next call with the same scratch or the next row.
    static std::string_view cellText(sqlite3_stmt *row, int column, std::string &scratch);
    // Runs CREATE TABLE, INSERT or DELETE (a SELECT is run and its rows
    // dropped). Returns the rows written or deleted. A failing statement leaves
    // the table file as it was.
    qint64 execute(const QString &sql);

    // SQLite's plan of a SELECT, one line per step (for tests and tuning).
    QString queryPlan(const QString &sql);

    // Forget what is known of a table file, after it was written elsewhere.
    void invalidate(const QString &path);

    sqlite3 *handle() const { return m_db; }
    // True when the last statement prepared on db was refused as nested too deeply.
    static bool tooDeep(sqlite3 *db);

    // SqlCatalog
    bool table(const QString &path, SqlTable *out) override;

private:
    std::shared_ptr<DbfTableState> tableState(int id) override;

    struct Entry
    {
        int id = 0;
        QString sqlName;
        std::shared_ptr<DbfTableState> state;
        QList<SqlColumn> columns;
    };

    void exec(const QString &sql);
    sqlite3_stmt *prepare(const QString &sqliteSql, const QString &dialectSql);
    // Runs a statement to its end, handing over each row; a failing step raises.
    void step(const QString &sqliteSql, const QString &dialectSql, const std::function<void(sqlite3_stmt *)> &row);
    SqlTranslation translateSelect(const QString &sql);
    [[noreturn]] void fail(const QString &dialectSql) const;
    SqlResult run(const SqlTranslation &t, const QString &sql);
    void cells(const SqlTranslation &t, const QString &sql, const std::function<void(QVector<QVariant> &)> &row);
    qint64 createTable(const SqlTranslation &t, const QString &sql);
    qint64 insert(const SqlTranslation &t, const QString &sql);
    qint64 remove(const SqlTranslation &t, const QString &sql);

    sqlite3 *m_db = nullptr;
    QHash<QString, Entry> m_tables; // by absolute path
    QHash<int, std::shared_ptr<DbfTableState>> m_states;
    int m_nextId = 1;
};
