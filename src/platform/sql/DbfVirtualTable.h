#pragma once

#include "platform/db/Dbf.h"
#include "platform/sql/SqlTypes.h"

#include <QString>

#include <memory>
#include <mutex>
#include <vector>

struct sqlite3;

namespace detail {
struct DbfColumnIndex;
}

// One table file as the SQL engine sees it at one moment: the mapped file and
// the sorted key indexes built on it so far. A change of the file (size,
// modification time, record count) makes a new snapshot.
class DbfSnapshot
{
public:
    explicit DbfSnapshot(const QString &path);
    ~DbfSnapshot();

    const Dbf &dbf() const { return m_dbf; }
    const Dbf::Stamp &stamp() const { return m_stamp; }
    const QList<SqlColumn> &columns() const { return m_columns; }

    // Where each field lies in a record, for reads that skip the per-call checks.
    struct Slot
    {
        int offset;
        int length;
        SqlType type;
        char fieldType; // as the file has it: C N F D L
    };
    const std::vector<Slot> &fieldSlots() const { return m_fieldSlots; }
    // The bytes of a record (deletion flag first); the table has at least one field.
    const char *record(qint64 rec) const { return m_dbf.rawField(rec, 0).data() - m_fieldSlots[0].offset; }

    // The sorted index of a column, built on first use.
    const detail::DbfColumnIndex &index(int column) const;
    bool hasIndex(int column) const;

    // How the dialect sees a dBase field.
    static SqlColumn columnOf(const DbfField &f);

private:
    Dbf m_dbf;
    Dbf::Stamp m_stamp;
    QList<SqlColumn> m_columns;
    std::vector<Slot> m_fieldSlots;
    mutable std::mutex m_mutex;
    mutable std::vector<std::unique_ptr<detail::DbfColumnIndex>> m_indexes;
};

// A table path as one connection follows it.
class DbfTableState
{
public:
    explicit DbfTableState(const QString &path) : m_path(path) {}
    const QString &path() const { return m_path; }
    // The current snapshot, made anew when the file changed since the last one.
    std::shared_ptr<const DbfSnapshot> snapshot();
    void invalidate();

private:
    QString m_path;
    std::shared_ptr<const DbfSnapshot> m_snapshot;
};

// Where the virtual tables find their files: the number in
// CREATE VIRTUAL TABLE ... USING kestrun_dbf(<number>).
class DbfTableRegistry
{
public:
    virtual ~DbfTableRegistry() = default;
    virtual std::shared_ptr<DbfTableState> tableState(int id) = 0;
};

// The SQLite module that reads dBase files: columns are decoded only when SQLite
// asks for them, equality and range constraints use a sorted index per column,
// the other constraints SQLite hands over are applied inside the scan.
namespace DbfVirtualTable {

constexpr const char *ModuleName = "kestrun_dbf";

void registerModule(sqlite3 *db, DbfTableRegistry *registry);

// The declared SQLite type of a column (text in Romanian order).
QString declaredType(const SqlColumn &c);

} // namespace DbfVirtualTable
