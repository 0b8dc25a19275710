#include "platform/sql/TQuery.h"

#include "platform/sql/SqlEngine.h"

void TQuery::openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows)
{
    SqlResult r = SqlEngine::instance().query(Text());
    columns = r.columns;
    rows.reserve(size_t(r.rows.size()));
    for (auto &values : r.rows)
        rows.push_back(Row{std::move(values), -1});
}

void TQuery::ExecSQL()
{
    m_rowsAffected = SqlEngine::instance().execute(Text());
}
