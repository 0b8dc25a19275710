#include "platform/sql/SqlTranslator.h"

#include "platform/sql/RomanianCollation.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlParser.h"
#include "platform/sql/SqlValue.h"

#include <QSet>

QString sqliteText(const QString &text)
{
    QString s = text;
    s.replace(u'\'', QStringLiteral("''"));
    return u'\'' + s + u'\'';
}

QString sqliteName(const QString &name)
{
    QString s = name;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

namespace {

const QString Collate = QStringLiteral(" COLLATE RO");

// The SQLite text of one expression with what is known of its value.
struct Code
{
    QString sql;
    SqlType type = SqlType::Null;
    int size = 0;
    int decimals = 0;
    bool column = false;   // a bare table column (null when blank)
    bool literal = false;  // a text literal not yet taken as number or date
    QString text;          // the literal's content
    bool aggregate = false;
};

struct ScopeTable
{
    SqlTable table;
    QString alias;
    QString sqlAlias;
};

struct Context
{
    bool negated = false;
    bool aggregatesAllowed = false;
    bool insideAggregate = false;
};

QString mirrored(const QString &op)
{
    if (op == u"<") return QStringLiteral(">");
    if (op == u">") return QStringLiteral("<");
    if (op == u"<=") return QStringLiteral(">=");
    if (op == u">=") return QStringLiteral("<=");
    return op;
}

class Translator
{
public:
    Translator(SqlCatalog &catalog, const QString &sql) : m_catalog(catalog), m_sql(sql) {}

    SqlTranslation run();

private:
    [[noreturn]] void fail(const QString &message, int pos) const { throw SqlError(message, m_sql, pos); }

    SqlTable lookup(const SqlTableRef &ref);
    void addScope(const SqlTableRef &ref);
    QString selectSql(SqlSelect &sel, QList<SqlResultColumn> *columns);
    QStringList selectList(SqlSelect &sel);
    QString source(int k) const;
    SqlJoin::Type plainerJoin(const SqlSelect &sel, int k, SqlJoin::Type type) const;
    QString fromClause(SqlSelect &sel);
    int resultIndex(const SqlExpr &e) const;
    QString groupByClause(SqlSelect &sel);
    QString orderByClause(SqlSelect &sel);
    void createTable(const SqlStatement &st, SqlTranslation &out);
    QList<int> insertTargets(const SqlStatement &st, const SqlTable &target);
    QString valuesSql(SqlStatement &st, const SqlTable &target, const QList<int> &targets,
                      QList<SqlResultColumn> *columns);
    void insert(SqlStatement &st, SqlTranslation &out);

    Code gen(SqlExpr &e, Context ctx);
    Code genColumn(SqlExpr &e);
    Code genBinary(SqlExpr &e, Context ctx);
    Code genComparison(SqlExpr &e, Code a, Code b, Context ctx);
    Code genTextComparison(const QString &op, Code a, Code b, Context ctx);
    Code genConcat(const Code &a, const Code &b);
    void unwrapChain(Code &left, const SqlExpr &leftExpr, const QString &op) const;
    bool genEqualityList(SqlExpr &e, Context ctx, Code *out);
    Code genFunction(SqlExpr &e, Context ctx);
    Code genCast(SqlExpr &e, Context ctx);
    Code genTrim(SqlExpr &e, Context ctx);
    Code genLike(SqlExpr &e, Context ctx);
    void coerceLiteral(Code &lit, SqlType to, int pos);
    QString asText(const Code &c);

    bool rejectsNulls(const SqlExpr &e, const QSet<int> &tables) const;
    bool propagatesNull(const SqlExpr &e, const QSet<int> &tables) const;

    SqlCatalog &m_catalog;
    QString m_sql;
    std::vector<ScopeTable> m_scope;
    QStringList m_paths;
    // Select-list aliases visible to ORDER BY and GROUP BY.
    QList<SqlResultColumn> m_results;
};

SqlTable Translator::lookup(const SqlTableRef &ref)
{
    SqlTable t;
    if (ref.path.trimmed().isEmpty())
        fail(QStringLiteral("Empty table name"), ref.pos);
    if (!m_catalog.table(ref.path, &t))
        fail(QStringLiteral("Table does not exist: %1").arg(ref.path), ref.pos);
    if (!m_paths.contains(t.path))
        m_paths.append(t.path);
    return t;
}

void Translator::addScope(const SqlTableRef &ref)
{
    ScopeTable s;
    s.table = lookup(ref);
    s.alias = ref.alias;
    s.sqlAlias = QStringLiteral("t%1").arg(m_scope.size());
    for (const ScopeTable &o : m_scope)
        if (!ref.alias.isEmpty() && o.alias.compare(ref.alias, Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("Table alias %1 used twice").arg(ref.alias), ref.pos);
    m_scope.push_back(std::move(s));
}

Code Translator::genColumn(SqlExpr &e)
{
    int tableIndex = -1, columnIndex = -1;
    auto findIn = [&](int ti) {
        const auto &cols = m_scope[size_t(ti)].table.columns;
        for (int c = 0; c < cols.size(); ++c)
            if (cols[c].name.compare(e.text, Qt::CaseInsensitive) == 0)
                return c;
        return -1;
    };
    if (!e.qualifier.isEmpty()) {
        for (int ti = 0; ti < int(m_scope.size()); ++ti)
            if (m_scope[size_t(ti)].alias.compare(e.qualifier, Qt::CaseInsensitive) == 0)
                tableIndex = ti;
        if (tableIndex < 0)
            fail(QStringLiteral("Unknown table alias %1").arg(e.qualifier), e.pos);
        columnIndex = findIn(tableIndex);
    } else {
        // A name found in several tables means the first table's.
        for (int ti = 0; ti < int(m_scope.size()) && columnIndex < 0; ++ti) {
            columnIndex = findIn(ti);
            if (columnIndex >= 0)
                tableIndex = ti;
        }
    }
    if (columnIndex < 0)
        fail(QStringLiteral("Unknown column %1").arg(e.qualifier.isEmpty() ? e.text : e.qualifier + u'.' + e.text),
             e.pos);
    const ScopeTable &st = m_scope[size_t(tableIndex)];
    const SqlColumn &col = st.table.columns[columnIndex];
    e.table = tableIndex;
    e.column = columnIndex;
    Code c;
    c.sql = st.sqlAlias + u'.' + sqliteName(col.name);
    c.type = col.type;
    c.size = col.size;
    c.decimals = col.decimals;
    c.column = true;
    return c;
}

void Translator::coerceLiteral(Code &lit, SqlType to, int pos)
{
    if (!lit.literal)
        return;
    if (isNumeric(to)) {
        double v = 0;
        if (!SqlValue::parseNumber(lit.text, &v))
            fail(QStringLiteral("\"%1\" is not a number").arg(lit.text), pos);
        lit.sql = SqlValue::formatNumber(v);
        if (lit.sql.contains(u'e'))
            lit.sql = QString::number(v, 'e', 17);
        lit.type = lit.sql.contains(u'.') || lit.sql.contains(u'e') ? SqlType::Float : SqlType::Integer;
        lit.literal = false;
    } else if (to == SqlType::Date) {
        const QDate d = SqlValue::parseDate(lit.text);
        if (!d.isValid())
            fail(QStringLiteral("\"%1\" is not a date (dd.MM.yyyy)").arg(lit.text), pos);
        lit.sql = sqliteText(SqlValue::isoDate(d));
        lit.type = SqlType::Date;
        lit.literal = false;
    }
}

QString Translator::asText(const Code &c)
{
    switch (c.type) {
    case SqlType::Integer:
    case SqlType::Float: return QStringLiteral("kx_str(%1)").arg(c.sql);
    case SqlType::Date: return QStringLiteral("kx_dstr(%1)").arg(c.sql);
    case SqlType::Logical: return QStringLiteral("(CASE WHEN %1 THEN 'T' WHEN NOT %1 THEN 'F' END)").arg(c.sql);
    default: return c.sql;
    }
}

Code Translator::gen(SqlExpr &e, Context ctx)
{
    Code c;
    switch (e.kind) {
    case SqlExpr::Kind::String:
        c.sql = sqliteText(e.text);
        c.type = SqlType::Text;
        c.size = int(e.text.size());
        c.literal = true;
        c.text = e.text;
        break;
    case SqlExpr::Kind::Number: {
        c.sql = e.text.startsWith(u'.') ? u'0' + e.text : e.text;
        const bool fractional = e.text.contains(u'.') || e.text.contains(u'e') || e.text.contains(u'E');
        bool ok = false;
        e.text.toLongLong(&ok);
        c.type = fractional || !ok ? SqlType::Float : SqlType::Integer;
        c.size = int(e.text.size());
        break;
    }
    case SqlExpr::Kind::Null:
        c.sql = QStringLiteral("NULL");
        break;
    case SqlExpr::Kind::Column:
        c = genColumn(e);
        break;
    case SqlExpr::Kind::Unary: {
        if (e.text == u"NOT") {
            Context inner = ctx;
            inner.negated = !ctx.negated;
            const Code a = gen(*e.args[0], inner);
            c.sql = QStringLiteral("(NOT %1)").arg(a.sql);
            c.type = SqlType::Logical;
            c.aggregate = a.aggregate;
        } else {
            Code a = gen(*e.args[0], ctx);
            coerceLiteral(a, SqlType::Float, e.args[0]->pos);
            if (!isNumeric(a.type) && a.type != SqlType::Null)
                fail(QStringLiteral("Type mismatch: a number is needed after -"), e.pos);
            c.sql = QStringLiteral("(-%1)").arg(a.sql);
            c.type = a.type == SqlType::Null ? SqlType::Float : a.type;
            c.size = a.size;
            c.decimals = a.decimals;
            c.aggregate = a.aggregate;
        }
        break;
    }
    case SqlExpr::Kind::Binary:
        c = genBinary(e, ctx);
        break;
    case SqlExpr::Kind::Function:
        c = genFunction(e, ctx);
        break;
    case SqlExpr::Kind::Cast:
        c = genCast(e, ctx);
        break;
    case SqlExpr::Kind::Trim:
        c = genTrim(e, ctx);
        break;
    case SqlExpr::Kind::IsNull: {
        const Code a = gen(*e.args[0], ctx);
        c.sql = QStringLiteral("(%1 IS %2NULL)").arg(a.sql, e.negated ? QStringLiteral("NOT ") : QString());
        c.type = SqlType::Logical;
        c.aggregate = a.aggregate;
        break;
    }
    case SqlExpr::Kind::Like:
        c = genLike(e, ctx);
        break;
    }
    e.type = c.type;
    e.size = c.size;
    e.decimals = c.decimals;
    return c;
}

Code Translator::genBinary(SqlExpr &e, Context ctx)
{
    const QString &op = e.text;
    if (op == u"OR") {
        Code in;
        if (genEqualityList(e, ctx, &in))
            return in;
    }
    if (op == u"AND" || op == u"OR") {
        Code a = gen(*e.args[0], ctx);
        const Code b = gen(*e.args[1], ctx);
        unwrapChain(a, *e.args[0], op);
        Code c;
        c.sql = QStringLiteral("(%1 %2 %3)").arg(a.sql, op, b.sql);
        c.type = SqlType::Logical;
        c.aggregate = a.aggregate || b.aggregate;
        return c;
    }
    Code a = gen(*e.args[0], ctx);
    Code b = gen(*e.args[1], ctx);
    if (isComparison(op))
        return genComparison(e, a, b, ctx);

    Code c;
    c.aggregate = a.aggregate || b.aggregate;
    unwrapChain(a, *e.args[0], op);
    if (op == u"+" && (a.type == SqlType::Text || b.type == SqlType::Text)) {
        c = genConcat(a, b);
        c.aggregate = a.aggregate || b.aggregate;
        return c;
    }
    // Arithmetic: a quoted number beside a number counts as a number.
    coerceLiteral(a, isNumeric(b.type) ? b.type : SqlType::Float, e.args[0]->pos);
    coerceLiteral(b, isNumeric(a.type) ? a.type : SqlType::Float, e.args[1]->pos);
    const bool okA = isNumeric(a.type) || a.type == SqlType::Null;
    const bool okB = isNumeric(b.type) || b.type == SqlType::Null;
    if (!okA || !okB)
        fail(QStringLiteral("Type mismatch: %1 needs numbers").arg(op), e.pos);
    const bool integer = a.type == SqlType::Integer && b.type == SqlType::Integer && op != u"/";
    if (op == u"/")
        c.sql = QStringLiteral("(CAST(%1 AS REAL) / %2)").arg(a.sql, b.sql);
    else
        c.sql = QStringLiteral("(%1 %2 %3)").arg(a.sql, op, b.sql);
    c.type = integer ? SqlType::Integer : SqlType::Float;
    c.size = qMax(a.size, b.size) + 1;
    c.decimals = qMax(a.decimals, b.decimals);
    return c;
}

// X="A" OR X="B" OR ... on one text column as X IN ('A', 'B', ...): the column is
// read once per row instead of once per term. Blank X matches neither form.
bool Translator::genEqualityList(SqlExpr &e, Context ctx, Code *out)
{
    std::vector<SqlExpr *> terms;
    std::vector<SqlExpr *> pending{&e};
    while (!pending.empty()) {
        SqlExpr *t = pending.back();
        pending.pop_back();
        if (t->kind == SqlExpr::Kind::Binary && t->text == u"OR") {
            pending.push_back(t->args[1].get());
            pending.push_back(t->args[0].get());
        } else {
            terms.push_back(t);
        }
    }
    const SqlExpr *first = nullptr;
    for (SqlExpr *t : terms) {
        if (t->kind != SqlExpr::Kind::Binary || t->text != u"=" || t->args[0]->kind != SqlExpr::Kind::Column
            || t->args[1]->kind != SqlExpr::Kind::String || RomanianCollation::compare(u"", t->args[1]->text) == 0)
            return false;
        const SqlExpr &col = *t->args[0];
        if (first && (col.text.compare(first->text, Qt::CaseInsensitive) != 0
                      || col.qualifier.compare(first->qualifier, Qt::CaseInsensitive) != 0))
            return false;
        first = &col;
    }
    if (terms.size() < 2)
        return false;
    // Resolve every term as usual (types, positions), then write the list.
    QStringList values;
    Code column;
    for (SqlExpr *t : terms) {
        column = gen(*t->args[0], ctx);
        if (column.type != SqlType::Text)
            return false;
        const Code v = gen(*t->args[1], ctx);
        t->type = SqlType::Logical;
        values << v.sql;
    }
    out->type = SqlType::Logical;
    out->sql = ctx.negated ? QStringLiteral("(%1 IN (%2) AND %1 IS NOT NULL)").arg(column.sql, values.join(u", "))
                           : QStringLiteral("(%1 IN (%2))").arg(column.sql, values.join(u", "));
    return true;
}

// A left operand made by the same operator needs no parentheses of its own:
// long chains (A OR B OR ...) stay flat for SQLite's parser.
void Translator::unwrapChain(Code &left, const SqlExpr &leftExpr, const QString &op) const
{
    if (leftExpr.kind != SqlExpr::Kind::Binary || leftExpr.text != op || !left.sql.startsWith(u'(')
        || !left.sql.endsWith(u')'))
        return;
    const bool textJoin = leftExpr.type == SqlType::Text;
    if (op != u"AND" && op != u"OR" && op != u"+" && op != u"*" && !textJoin)
        return;
    left.sql = left.sql.mid(1, left.sql.size() - 2);
}

Code Translator::genConcat(const Code &a, const Code &b)
{
    // A blank part joins as "", so "loc." + LOCALIT + ", " + ADRESA keeps the address.
    auto part = [&](const Code &x) {
        if (x.type == SqlType::Null)
            return QStringLiteral("''");
        if (x.literal)
            return x.sql;
        return QStringLiteral("coalesce(%1,'')").arg(asText(x));
    };
    Code c;
    c.sql = QStringLiteral("(%1 || %2)").arg(part(a), part(b));
    c.type = SqlType::Text;
    c.size = qMin(a.size + b.size, 254);
    return c;
}

Code Translator::genComparison(SqlExpr &e, Code a, Code b, Context ctx)
{
    const QString &op = e.text;
    Code c;
    c.type = SqlType::Logical;
    c.aggregate = a.aggregate || b.aggregate;
    if (a.literal && !b.literal)
        coerceLiteral(a, b.type, e.args[0]->pos);
    if (b.literal && !a.literal)
        coerceLiteral(b, a.type, e.args[1]->pos);

    if (a.type == SqlType::Null || b.type == SqlType::Null) {
        c.sql = QStringLiteral("(%1 %2 %3)").arg(a.sql, op, b.sql);
        return c;
    }
    if (a.type == SqlType::Text && b.type == SqlType::Text) {
        Code t = genTextComparison(op, a, b, ctx);
        t.aggregate = c.aggregate;
        return t;
    }
    if ((isNumeric(a.type) && isNumeric(b.type)) || a.type == b.type) {
        c.sql = QStringLiteral("(%1 %2 %3)").arg(a.sql, op, b.sql);
        return c;
    }
    // Text held beside a number compares by its numeric value.
    if (a.type == SqlType::Text && isNumeric(b.type)) {
        c.sql = QStringLiteral("(kx_num(%1) %2 %3)").arg(a.sql, op, b.sql);
        return c;
    }
    if (isNumeric(a.type) && b.type == SqlType::Text) {
        c.sql = QStringLiteral("(%1 %2 kx_num(%3))").arg(a.sql, op, b.sql);
        return c;
    }
    fail(QStringLiteral("Type mismatch in comparison"), e.pos);
}

Code Translator::genTextComparison(const QString &opIn, Code a, Code b, Context ctx)
{
    QString op = opIn;
    if (a.literal && !b.literal) {
        std::swap(a, b);
        op = mirrored(op);
    }
    Code c;
    c.type = SqlType::Logical;
    if (b.literal && !a.literal) {
        const bool blankHolds = comparisonHolds(op, RomanianCollation::compare(u"", b.text));
        if (a.column) {
            // Blank is null in the table and "" in comparisons; written this way
            // the plain comparison still reaches the table's index.
            if (blankHolds)
                c.sql = QStringLiteral("(%1 %2 %3 OR %1 IS NULL)").arg(a.sql, op, b.sql);
            else if (ctx.negated)
                c.sql = QStringLiteral("(%1 %2 %3 AND %1 IS NOT NULL)").arg(a.sql, op, b.sql);
            else
                c.sql = QStringLiteral("(%1 %2 %3)").arg(a.sql, op, b.sql);
        } else {
            c.sql = QStringLiteral("(coalesce(%1,'')%2 %3 %4)").arg(a.sql, Collate, op, b.sql);
        }
        return c;
    }
    if (a.column && b.column && op == u"=") {
        c.sql = QStringLiteral("(%1 = %2)").arg(a.sql, b.sql);
        return c;
    }
    c.sql = QStringLiteral("(coalesce(%1,'')%2 %3 coalesce(%4,''))").arg(a.sql, Collate, op, b.sql);
    return c;
}

Code Translator::genLike(SqlExpr &e, Context ctx)
{
    const Code a = gen(*e.args[0], ctx);
    const Code p = gen(*e.args[1], ctx);
    if ((a.type != SqlType::Text && a.type != SqlType::Null) || (p.type != SqlType::Text && p.type != SqlType::Null))
        fail(QStringLiteral("Type mismatch: LIKE needs text"), e.pos);
    Code c;
    c.type = SqlType::Logical;
    c.aggregate = a.aggregate || p.aggregate;
    c.sql = QStringLiteral("(%1kx_like(coalesce(%2,''), %3))")
                .arg(e.negated ? QStringLiteral("NOT ") : QString(), a.sql, p.sql);
    return c;
}

Code Translator::genFunction(SqlExpr &e, Context ctx)
{
    Code c;
    const QString &name = e.text;
    if (name == u"UPPER" || name == u"LOWER") {
        const Code a = gen(*e.args[0], ctx);
        if (a.type != SqlType::Text && a.type != SqlType::Null)
            fail(QStringLiteral("Type mismatch: %1 needs text").arg(name), e.pos);
        c.sql = QStringLiteral("kx_%1(%2)").arg(name.toLower(), a.sql);
        c.type = SqlType::Text;
        c.size = a.size;
        c.aggregate = a.aggregate;
        return c;
    }
    // Aggregates
    if (!ctx.aggregatesAllowed)
        fail(QStringLiteral("%1 is not allowed here").arg(name), e.pos);
    if (ctx.insideAggregate)
        fail(QStringLiteral("%1 inside another aggregate").arg(name), e.pos);
    c.aggregate = true;
    if (e.star) {
        c.sql = QStringLiteral("count(*)");
        c.type = SqlType::Integer;
        c.size = 10;
        return c;
    }
    Context inner = ctx;
    inner.insideAggregate = true;
    inner.negated = false;
    Code a = gen(*e.args[0], inner);
    const QString distinct = e.distinct ? QStringLiteral("DISTINCT ") : QString();
    if (name == u"COUNT") {
        c.sql = QStringLiteral("count(%1%2)").arg(distinct, a.sql);
        c.type = SqlType::Integer;
        c.size = 10;
    } else if (name == u"SUM" || name == u"AVG") {
        coerceLiteral(a, SqlType::Float, e.args[0]->pos);
        if (!isNumeric(a.type) && a.type != SqlType::Null)
            fail(QStringLiteral("Type mismatch: %1 needs numbers").arg(name), e.pos);
        c.sql = QStringLiteral("%1(%2%3)").arg(name == u"SUM" ? QStringLiteral("sum") : QStringLiteral("avg"),
                                                distinct, a.sql);
        c.type = SqlType::Float;
        c.size = 20;
        c.decimals = a.decimals;
    } else { // MAX, MIN
        const QString arg = a.type == SqlType::Text && !a.column ? a.sql + Collate : a.sql;
        c.sql = QStringLiteral("%1(%2%3)").arg(name.toLower(), distinct, arg);
        c.type = a.type;
        c.size = a.size;
        c.decimals = a.decimals;
    }
    return c;
}

Code Translator::genCast(SqlExpr &e, Context ctx)
{
    Code a = gen(*e.args[0], ctx);
    Code c;
    c.aggregate = a.aggregate;
    const QString &to = e.castType;
    if (to == u"FLOAT" || to == u"INTEGER") {
        QString num;
        if (a.type == SqlType::Text)
            num = QStringLiteral("kx_num(%1)").arg(a.sql); // not a number: null
        else if (isNumeric(a.type) || a.type == SqlType::Null)
            num = a.sql;
        else
            fail(QStringLiteral("Type mismatch: cannot cast to %1").arg(to), e.pos);
        const bool integer = to == u"INTEGER";
        c.sql = QStringLiteral("CAST(%1 AS %2)").arg(num, integer ? QStringLiteral("INTEGER") : QStringLiteral("REAL"));
        c.type = integer ? SqlType::Integer : SqlType::Float;
        c.size = 20;
    } else if (to == u"CHAR") {
        c.sql = a.literal ? a.sql : asText(a);
        if (e.castSize > 0)
            c.sql = QStringLiteral("substr(%1,1,%2)").arg(c.sql).arg(e.castSize);
        c.type = SqlType::Text;
        c.size = e.castSize > 0 ? e.castSize : qMax(a.size, 20);
    } else { // DATE
        if (a.type == SqlType::Text)
            c.sql = QStringLiteral("kx_date(%1)").arg(a.sql);
        else if (a.type == SqlType::Date || a.type == SqlType::Null)
            c.sql = a.sql;
        else
            fail(QStringLiteral("Type mismatch: cannot cast to DATE"), e.pos);
        c.type = SqlType::Date;
        c.size = 8;
    }
    return c;
}

Code Translator::genTrim(SqlExpr &e, Context ctx)
{
    const Code a = gen(*e.args[0], ctx);
    QString chars = QStringLiteral("' '");
    bool aggregate = a.aggregate;
    if (e.args.size() > 1) {
        const Code ch = gen(*e.args[1], ctx);
        if (ch.type != SqlType::Text)
            fail(QStringLiteral("Type mismatch: TRIM needs text"), e.args[1]->pos);
        chars = ch.sql;
        aggregate = aggregate || ch.aggregate;
    }
    const QString fn = e.castType == u"LEADING" ? QStringLiteral("ltrim")
                       : e.castType == u"TRAILING" ? QStringLiteral("rtrim") : QStringLiteral("trim");
    Code c;
    c.sql = QStringLiteral("%1(%2, %3)").arg(fn, a.literal ? a.sql : asText(a), chars);
    c.type = SqlType::Text;
    c.size = a.size;
    c.aggregate = aggregate;
    return c;
}

// True when e cannot hold for a row whose columns from the given tables are all
// null (the row an outer join adds for a missing side).
bool Translator::rejectsNulls(const SqlExpr &e, const QSet<int> &tables) const
{
    switch (e.kind) {
    case SqlExpr::Kind::Binary: {
        const QString &op = e.text;
        if (op == u"AND")
            return rejectsNulls(*e.args[0], tables) || rejectsNulls(*e.args[1], tables);
        if (op == u"OR")
            return rejectsNulls(*e.args[0], tables) && rejectsNulls(*e.args[1], tables);
        if (!isComparison(op))
            return false;
        const SqlExpr &a = *e.args[0];
        const SqlExpr &b = *e.args[1];
        if (a.type == SqlType::Text && b.type == SqlType::Text) {
            // Blank text compares as "": decide with the literal on the other side.
            const bool aNull = a.kind == SqlExpr::Kind::Column && tables.contains(a.table);
            const bool bNull = b.kind == SqlExpr::Kind::Column && tables.contains(b.table);
            if (op == u"=" && a.kind == SqlExpr::Kind::Column && b.kind == SqlExpr::Kind::Column)
                return aNull || bNull;
            if (aNull && b.kind == SqlExpr::Kind::String)
                return !comparisonHolds(op, RomanianCollation::compare(u"", b.text));
            if (bNull && a.kind == SqlExpr::Kind::String)
                return !comparisonHolds(op, RomanianCollation::compare(a.text, u""));
            return false;
        }
        return propagatesNull(a, tables) || propagatesNull(b, tables);
    }
    case SqlExpr::Kind::IsNull:
        return e.negated && propagatesNull(*e.args[0], tables);
    case SqlExpr::Kind::Like: {
        const SqlExpr &a = *e.args[0];
        const SqlExpr &p = *e.args[1];
        if (e.negated || a.kind != SqlExpr::Kind::Column || !tables.contains(a.table)
            || p.kind != SqlExpr::Kind::String)
            return false;
        return !SqlValue::likeMatches(u"", p.text);
    }
    default:
        return false;
    }
}

// True when e is null whenever the columns of the given tables are null.
bool Translator::propagatesNull(const SqlExpr &e, const QSet<int> &tables) const
{
    switch (e.kind) {
    case SqlExpr::Kind::Column:
        return tables.contains(e.table);
    case SqlExpr::Kind::Unary:
        return e.text == u"-" && propagatesNull(*e.args[0], tables);
    case SqlExpr::Kind::Binary:
        if (e.type == SqlType::Text || isComparison(e.text) || e.text == u"AND" || e.text == u"OR")
            return false; // text joins blanks as ""
        return propagatesNull(*e.args[0], tables) || propagatesNull(*e.args[1], tables);
    case SqlExpr::Kind::Cast:
        return (e.castType == u"FLOAT" || e.castType == u"INTEGER") && propagatesNull(*e.args[0], tables);
    default:
        return false;
    }
}

QString Translator::selectSql(SqlSelect &sel, QList<SqlResultColumn> *columns)
{
    for (const SqlTableRef &ref : sel.tables)
        addScope(ref);
    const QStringList items = selectList(sel);
    // WHERE before FROM: its types decide how outer joins may be run.
    const QString where = sel.where ? gen(*sel.where, Context{}).sql : QString();
    QString out = QStringLiteral("SELECT ") + (sel.distinct ? QStringLiteral("DISTINCT ") : QString())
                  + items.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + fromClause(sel);
    if (!where.isEmpty())
        out += QStringLiteral(" WHERE ") + where;
    out += groupByClause(sel);
    out += orderByClause(sel);
    if (columns)
        *columns = m_results;
    return out;
}

QStringList Translator::selectList(SqlSelect &sel)
{
    QStringList items;
    QSet<QString> used;
    m_results.clear();
    auto add = [&](const QString &sql, QString base, SqlType type, int size, int decimals) {
        if (base.isEmpty())
            base = QStringLiteral("EXPR");
        QString name = base;
        for (int k = 1; used.contains(name.toUpper()); ++k)
            name = QStringLiteral("%1_%2").arg(base).arg(k);
        used.insert(name.toUpper());
        items << QStringLiteral("%1 AS %2").arg(sql, sqliteName(name));
        m_results << SqlResultColumn{name, type == SqlType::Null ? SqlType::Text : type, size, decimals};
    };
    Context ctx;
    ctx.aggregatesAllowed = true;
    for (SqlSelectItem &item : sel.items) {
        if (item.expr) {
            const Code c = gen(*item.expr, ctx);
            const bool named = item.expr->kind == SqlExpr::Kind::Column || item.expr->kind == SqlExpr::Kind::Function;
            add(c.sql, !item.alias.isEmpty() ? item.alias : named ? item.expr->text : QString(), c.type, c.size,
                c.decimals);
            continue;
        }
        // * and A.*: the columns of every table, or of one, in order.
        bool found = item.starQualifier.isEmpty();
        for (const ScopeTable &st : m_scope) {
            if (!item.starQualifier.isEmpty() && st.alias.compare(item.starQualifier, Qt::CaseInsensitive) != 0)
                continue;
            found = true;
            for (const SqlColumn &col : st.table.columns)
                add(st.sqlAlias + u'.' + sqliteName(col.name), col.name, col.type, col.size, col.decimals);
        }
        if (!found)
            fail(QStringLiteral("Unknown table alias %1").arg(item.starQualifier), item.pos);
    }
    return items;
}

QString Translator::source(int k) const
{
    return QStringLiteral("%1 AS %2").arg(m_scope[size_t(k)].table.sqlName, m_scope[size_t(k)].sqlAlias);
}

// Rows an outer join adds for a missing side that the WHERE drops anyway: the
// plainer join gives the same rows and can look up the key index.
SqlJoin::Type Translator::plainerJoin(const SqlSelect &sel, int k, SqlJoin::Type type) const
{
    if (!sel.where || type == SqlJoin::Type::Inner)
        return type;
    QSet<int> left, right{k};
    for (int t = 0; t < k; ++t)
        left.insert(t);
    const bool leftGone = rejectsNulls(*sel.where, left);
    const bool rightGone = rejectsNulls(*sel.where, right);
    switch (type) {
    case SqlJoin::Type::Full:
        return leftGone && rightGone ? SqlJoin::Type::Inner
               : leftGone           ? SqlJoin::Type::Left
               : rightGone          ? SqlJoin::Type::Right
                                    : SqlJoin::Type::Full;
    case SqlJoin::Type::Left: return rightGone ? SqlJoin::Type::Inner : type;
    case SqlJoin::Type::Right: return leftGone ? SqlJoin::Type::Inner : type;
    default: return type;
    }
}

QString Translator::fromClause(SqlSelect &sel)
{
    QString from = source(0);
    for (size_t j = 0; j < sel.joins.size(); ++j) {
        const int k = int(j) + 1;
        const QString on = gen(*sel.joins[j].on, Context{}).sql;
        const SqlJoin::Type type = plainerJoin(sel, k, sel.joins[j].type);
        if (type == SqlJoin::Type::Right && sel.joins.size() == 1) {
            // Two tables: the right join read the other way round, so the
            // lookups go into the left table's index.
            from = QStringLiteral("%1 LEFT JOIN %2 ON %3").arg(source(1), source(0), on);
            continue;
        }
        const char *word = type == SqlJoin::Type::Inner ? "JOIN"
                           : type == SqlJoin::Type::Left ? "LEFT JOIN"
                           : type == SqlJoin::Type::Right ? "RIGHT JOIN" : "FULL JOIN";
        from += QStringLiteral(" %1 %2 ON %3").arg(QLatin1StringView(word), source(k), on);
    }
    return from;
}

// The select-list column an unqualified name in GROUP BY or ORDER BY means; -1 for none.
int Translator::resultIndex(const SqlExpr &e) const
{
    if (e.kind != SqlExpr::Kind::Column || !e.qualifier.isEmpty())
        return -1;
    for (int i = 0; i < m_results.size(); ++i)
        if (m_results[i].name.compare(e.text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString Translator::groupByClause(SqlSelect &sel)
{
    if (sel.groupBy.empty())
        return QString();
    QStringList groups;
    for (SqlExprPtr &g : sel.groupBy) {
        // A table column first; an alias of the select list when no table has the name.
        const int alias = resultIndex(*g);
        bool column = alias < 0;
        if (!column)
            for (const ScopeTable &st : m_scope)
                for (const SqlColumn &c : st.table.columns)
                    column = column || c.name.compare(g->text, Qt::CaseInsensitive) == 0;
        groups << (column ? gen(*g, Context{}).sql : sqliteName(m_results[alias].name));
    }
    return QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
}

QString Translator::orderByClause(SqlSelect &sel)
{
    if (sel.orderBy.empty())
        return QString();
    Context ctx;
    ctx.aggregatesAllowed = true;
    QStringList orders;
    for (SqlOrderItem &o : sel.orderBy) {
        QString term;
        SqlType type = SqlType::Null;
        const int i = resultIndex(*o.expr);
        if (i >= 0) {
            term = sqliteName(m_results[i].name);
            type = m_results[i].type;
        } else if (o.expr->kind == SqlExpr::Kind::Number) {
            const int n = o.expr->text.toInt();
            if (n < 1 || n > m_results.size())
                fail(QStringLiteral("ORDER BY position %1 is out of range").arg(o.expr->text), o.expr->pos);
            term = QString::number(n);
            type = m_results[n - 1].type;
        } else {
            const Code c = gen(*o.expr, ctx);
            term = c.sql;
            type = c.type;
        }
        if (type == SqlType::Text)
            term += Collate; // Romanian order, also for expressions and aliases
        if (o.descending)
            term += QStringLiteral(" DESC");
        orders << term;
    }
    return QStringLiteral(" ORDER BY ") + orders.join(QStringLiteral(", "));
}

void Translator::createTable(const SqlStatement &st, SqlTranslation &out)
{
    if (out.targetPath.trimmed().isEmpty())
        fail(QStringLiteral("Empty table name"), st.target.pos);
    QSet<QString> names;
    for (const SqlColumnDef &d : st.columnDefs) {
        if (d.name.size() > 10)
            fail(QStringLiteral("Column name %1 is longer than 10 characters").arg(d.name), d.pos);
        if (names.contains(d.name.toUpper()))
            fail(QStringLiteral("Column %1 defined twice").arg(d.name), d.pos);
        names.insert(d.name.toUpper());
        if (d.length < 1 || (d.type == 'N' && (d.length > 20 || d.decimals >= d.length)))
            fail(QStringLiteral("Invalid size for column %1").arg(d.name), d.pos);
        DbfField f;
        f.name = d.name.toUpper();
        f.type = d.type;
        f.length = d.length;
        f.decimals = d.type == 'N' ? d.decimals : 0;
        out.createFields << f;
    }
}

QList<int> Translator::insertTargets(const SqlStatement &st, const SqlTable &target)
{
    QList<int> targets;
    if (st.insertColumns.empty()) {
        for (int i = 0; i < target.columns.size(); ++i)
            targets << i;
        return targets;
    }
    for (const auto &[name, pos] : st.insertColumns) {
        int idx = -1;
        for (int i = 0; i < target.columns.size(); ++i)
            if (target.columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                idx = i;
        if (idx < 0)
            fail(QStringLiteral("Unknown column %1").arg(name), pos);
        if (targets.contains(idx))
            fail(QStringLiteral("Column %1 named twice").arg(name), pos);
        targets << idx;
    }
    return targets;
}

// INSERT ... VALUES as a query of literals: a quoted number or date becomes the
// target column's type.
QString Translator::valuesSql(SqlStatement &st, const SqlTable &target, const QList<int> &targets,
                              QList<SqlResultColumn> *columns)
{
    QStringList rows;
    for (auto &row : st.values) {
        if (int(row.size()) != targets.size())
            fail(QStringLiteral("VALUES holds %1 values for %2 columns").arg(row.size()).arg(targets.size()),
                 row.empty() ? 0 : row.front()->pos);
        QStringList vals;
        for (size_t i = 0; i < row.size(); ++i) {
            const SqlColumn &tc = target.columns[targets[int(i)]];
            Code c = gen(*row[i], Context{});
            coerceLiteral(c, tc.type, row[i]->pos);
            vals << QStringLiteral("%1 AS c%2").arg(c.sql).arg(i);
            if (rows.isEmpty())
                *columns << SqlResultColumn{tc.name, c.type == SqlType::Null ? tc.type : c.type, tc.size, tc.decimals};
        }
        rows << QStringLiteral("SELECT ") + vals.join(QStringLiteral(", "));
    }
    return rows.join(QStringLiteral(" UNION ALL "));
}

void Translator::insert(SqlStatement &st, SqlTranslation &out)
{
    const SqlTable target = lookup(st.target);
    out.insertTargets = insertTargets(st, target);
    out.sql = st.select ? selectSql(*st.select, &out.columns) : valuesSql(st, target, out.insertTargets, &out.columns);
    if (out.columns.size() != out.insertTargets.size())
        fail(QStringLiteral("The query gives %1 columns for %2 target columns")
                 .arg(out.columns.size())
                 .arg(out.insertTargets.size()),
             st.target.pos);
}

SqlTranslation Translator::run()
{
    SqlParser parser(m_sql);
    SqlStatement st = parser.parseStatement();
    SqlTranslation out;
    out.kind = st.kind;
    out.targetPath = st.target.path;
    switch (st.kind) {
    case SqlStatement::Kind::Select:
        out.sql = selectSql(*st.select, &out.columns);
        break;
    case SqlStatement::Kind::CreateTable:
        createTable(st, out);
        break;
    case SqlStatement::Kind::Insert:
        insert(st, out);
        break;
    case SqlStatement::Kind::Delete:
        addScope(st.target);
        out.sql = QStringLiteral("SELECT %1.rowid FROM %2").arg(m_scope[0].sqlAlias, source(0));
        if (st.where)
            out.sql += QStringLiteral(" WHERE ") + gen(*st.where, Context{}).sql;
        break;
    }
    out.tablePaths = m_paths;
    return out;
}

} // namespace

SqlTranslator::SqlTranslator(SqlCatalog &catalog) : m_catalog(catalog) {}

SqlTranslation SqlTranslator::translate(const QString &sql)
{
    Translator t(m_catalog, sql);
    return t.run();
}
