#include "platform/sql/TTable.h"

#include "platform/sql/DbfVirtualTable.h"
#include "platform/sql/SqlEngine.h"
#include "platform/sql/SqlError.h"

#include <QFileInfo>

TTable::~TTable()
{
    try {
        Close();
    } catch (...) {
        // Nothing can be reported from here; Close() first to see errors.
    }
}

void TTable::SetTableName(const QString &path)
{
    if (Active())
        throw SqlError(QStringLiteral("Cannot change the table of an open dataset"));
    m_tableName = path;
}

// Rows are read from their records, in the mapped file, when the program reads
// them: opening keeps the record numbers and checks that every value other
// than text can be read (text always can), so that a damaged table is refused
// when it is opened. The table is opened for writing at the first change; a
// file that cannot be written is refused at once, as before.
void TTable::openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows)
{
    try {
        if (!QFileInfo(Dbf::resolve(m_tableName)).isWritable())
            writer();
        m_read.emplace(Dbf::open(m_tableName, Dbf::Mode::ReadOnly));
        for (const DbfField &f : m_read->fields()) {
            const SqlColumn c = DbfSnapshot::columnOf(f);
            columns << SqlResultColumn{c.name, c.type, c.size, c.decimals};
        }
        const qint64 n = m_read->recordCount();
        rows.reserve(size_t(n));
        std::vector<DbfValue> checked;
        for (qint64 r = 0; r < n; ++r) {
            if (m_read->isDeleted(r))
                continue;
            m_read->check(r, checked);
            rows.push_back(Row{{}, r});
        }
    } catch (const DbfError &e) {
        m_read.reset();
        m_dbf.reset();
        throw SqlError(QString::fromUtf8(e.what()));
    }
}

Dbf &TTable::writer()
{
    if (!m_dbf)
        m_dbf.emplace(Dbf::open(m_tableName, Dbf::Mode::ReadWrite));
    return *m_dbf;
}

void TTable::decodeRecord(qint64 record, std::vector<DbfValue> &into) const
{
    try {
        m_read->read(record, into);
    } catch (const DbfError &e) {
        throw SqlError(QString::fromUtf8(e.what()));
    }
}

void TTable::closeData()
{
    m_read.reset();
    if (!m_dbf)
        return;
    // A pending edit is dropped, as closing a table does.
    setState(State::Browse);
    try {
        m_dbf->flush();
        m_dbf->close();
    } catch (const DbfError &e) {
        m_dbf.reset();
        written();
        throw SqlError(QString::fromUtf8(e.what()));
    }
    m_dbf.reset();
    written();
}

void TTable::written()
{
    SqlEngine::instance().invalidate(m_tableName);
}

void TTable::finishPending()
{
    if (DataSetState() == State::Edit || DataSetState() == State::Insert)
        Post();
}

void TTable::Append()
{
    requireBrowse("append to");
    finishPending();
    Row &b = editBuffer();
    b.record = -1;
    b.values = QVector<QVariant>(FieldCount());
    setState(State::Insert);
}

void TTable::Edit()
{
    requireBrowse("edit");
    if (DataSetState() == State::Edit || DataSetState() == State::Insert)
        return;
    Row *cur = currentRow();
    if (!cur)
        throw SqlError(QStringLiteral("Cannot edit an empty table"));
    editBuffer() = *cur;
    setState(State::Edit);
}

void TTable::Cancel()
{
    if (DataSetState() == State::Edit || DataSetState() == State::Insert)
        setState(State::Browse);
}

void TTable::Post()
{
    const State s = DataSetState();
    if (s != State::Edit && s != State::Insert)
        return;
    Row row = editBuffer();
    try {
        // The row goes to the file first; a value a field cannot hold leaves the
        // dataset and the record as they were (an appended record is marked
        // deleted again).
        const Row *cur = s == State::Edit ? currentRow() : nullptr;
        QList<std::pair<int, QVariant>> changes;
        for (int i = 0; i < row.values.size(); ++i)
            if (!cur || cur->values[i] != row.values[i])
                changes.append({i, row.values[i]});
        const qint64 rec = s == State::Insert ? writer().appendBlank() : row.record;
        try {
            writer().setValues(rec, changes);
        } catch (...) {
            if (s == State::Insert)
                m_dbf->setDeleted(rec, true);
            throw;
        }
        m_dbf->flush();
        row.record = rec;
    } catch (const DbfError &e) {
        written();
        throw SqlError(QString::fromUtf8(e.what()));
    }
    setState(State::Browse);
    if (s == State::Insert)
        addRow(std::move(row));
    else
        *currentRow() = std::move(row);
    written();
}

void TTable::Delete()
{
    requireBrowse("delete from");
    Cancel();
    Row *cur = currentRow();
    if (!cur)
        throw SqlError(QStringLiteral("Cannot delete from an empty table"));
    try {
        writer().setDeleted(cur->record, true);
        m_dbf->flush();
    } catch (const DbfError &e) {
        throw SqlError(QString::fromUtf8(e.what()));
    }
    removeCurrentRow();
    written();
}
