#include "platform/sql/TTable.h"

#include "platform/sql/DbfVirtualTable.h"
#include "platform/sql/SqlEngine.h"
#include "platform/sql/SqlError.h"

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

void TTable::openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows)
{
    try {
        m_dbf.emplace(Dbf::open(m_tableName, Dbf::Mode::ReadWrite));
        const QList<DbfField> &fields = m_dbf->fields();
        for (const DbfField &f : fields) {
            const SqlColumn c = DbfSnapshot::columnOf(f);
            columns << SqlResultColumn{c.name, c.type, c.size, c.decimals};
        }
        const qint64 n = m_dbf->recordCount();
        rows.reserve(size_t(n));
        for (qint64 r = 0; r < n; ++r) {
            if (m_dbf->isDeleted(r))
                continue;
            Row row;
            row.record = r;
            row.values.resize(fields.size());
            for (int i = 0; i < fields.size(); ++i) {
                QVariant v = m_dbf->value(r, i);
                if (columns[i].type == SqlType::Text && v.toString().isEmpty())
                    v = QVariant(); // blank text is null, as in the SQL
                row.values[i] = v;
            }
            rows.push_back(std::move(row));
        }
    } catch (const DbfError &e) {
        m_dbf.reset();
        throw SqlError(QString::fromUtf8(e.what()));
    }
}

void TTable::closeData()
{
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
        const qint64 rec = s == State::Insert ? m_dbf->appendBlank() : row.record;
        try {
            m_dbf->setValues(rec, changes);
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
        m_dbf->setDeleted(cur->record, true);
        m_dbf->flush();
    } catch (const DbfError &e) {
        throw SqlError(QString::fromUtf8(e.what()));
    }
    removeCurrentRow();
    written();
}
