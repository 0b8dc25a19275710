#pragma once

#include "platform/sql/TDataSet.h"
#include "platform/sql/TParam.h"

#include <QStringList>

// A dataset over local SQL. The text is kept as lines, so callers can replace
// single lines between runs. A ":NAME" outside quotes stands for the value of
// the parameter NAME, pasted in when the statement runs.
class TQuery : public TDataSet
{
public:
    QStringList &SQL() { return m_sql; }
    const QStringList &SQL() const { return m_sql; }
    QString Text() const { return m_sql.join(u'\n'); }

    // Runs a statement that gives no rows (CREATE TABLE, INSERT, DELETE).
    void ExecSQL();
    qint64 RowsAffected() const { return m_rowsAffected; }

    // The placeholders of the text, each once, in the order they stand.
    QStringList ParamNames() const;
    // The parameter of that name (without regard to case), made when missing.
    TParam &ParamByName(const QString &name);
    // The text as it runs; raises SqlError for a placeholder without a value.
    QString RunText() const;

protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override;

private:
    const TParam *findParam(const QString &name) const;

    QStringList m_sql;
    QList<TParam> m_params;
    qint64 m_rowsAffected = 0;
};
