#pragma once

#include "platform/sql/TDataSet.h"

#include <QStringList>

// A dataset over local SQL. The text is kept as lines, so callers can replace
// single lines between runs.
class TQuery : public TDataSet
{
public:
    QStringList &SQL() { return m_sql; }
    const QStringList &SQL() const { return m_sql; }
    QString Text() const { return m_sql.join(u'\n'); }

    // Runs a statement that gives no rows (CREATE TABLE, INSERT, DELETE).
    void ExecSQL();
    qint64 RowsAffected() const { return m_rowsAffected; }

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override;

private:
    QStringList m_sql;
    qint64 m_rowsAffected = 0;
};
