#include "platform/sql/TQuery.h"

#include "platform/sql/SqlEngine.h"
#include "platform/sql/SqlError.h"

namespace {

bool nameChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// Calls found(start, length, name) for every ":NAME" outside quoted text.
template <class F> void forEachPlaceholder(const QString &sql, F found)
{
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == u'"' || c == u'\'') {
            // A doubled quote inside the literal reads as leaving and entering it again.
            for (++i; i < n && sql.at(i) != c; ++i) {}
            continue;
        }
        if (c != u':' || i + 1 >= n || !(sql.at(i + 1).isLetter() || sql.at(i + 1) == u'_'))
            continue;
        int j = i + 1;
        while (j < n && nameChar(sql.at(j)))
            ++j;
        found(i, j - i, sql.mid(i + 1, j - i - 1));
        i = j - 1;
    }
}

} // namespace

void TQuery::openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows)
{
    SqlResult r = SqlEngine::instance().query(RunText());
    columns = r.columns;
    rows.reserve(size_t(r.rows.size()));
    for (auto &values : r.rows)
        rows.push_back(Row{std::move(values), -1});
}

void TQuery::ExecSQL()
{
    m_rowsAffected = SqlEngine::instance().execute(RunText());
}

QStringList TQuery::ParamNames() const
{
    QStringList out;
    forEachPlaceholder(Text(), [&out](int, int, const QString &name) {
        if (!out.contains(name, Qt::CaseInsensitive))
            out << name;
    });
    return out;
}

const TParam *TQuery::findParam(const QString &name) const
{
    for (const TParam &p : m_params)
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

TParam &TQuery::ParamByName(const QString &name)
{
    if (const TParam *p = findParam(name))
        return const_cast<TParam &>(*p);
    m_params.append(TParam{name, SqlType::Null, {}});
    return m_params.last();
}

QString TQuery::RunText() const
{
    const QString sql = Text();
    QString out;
    int from = 0;
    forEachPlaceholder(sql, [&](int start, int length, const QString &name) {
        const TParam *p = findParam(name);
        if (!p || p->DataType == SqlType::Null)
            throw SqlError(QStringLiteral("Parametrul :%1 nu are valoare.").arg(name), sql, start);
        out += QStringView(sql).mid(from, start - from);
        out += p->SqlText();
        from = start + length;
    });
    out += QStringView(sql).mid(from);
    return out;
}
