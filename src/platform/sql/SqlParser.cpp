#include "platform/sql/SqlParser.h"

#include "platform/sql/SqlError.h"

namespace {

constexpr int MaxDepth = 100;
// Chains such as A OR B OR ... nest without recursion in the parser; the tree is
// walked recursively later, so its size is bounded here.
constexpr int MaxNodes = 500;

const char *const Reserved[] = {"FROM", "WHERE", "JOIN", "LEFT", "RIGHT", "FULL", "INNER", "OUTER", "ON", "GROUP",
                                "ORDER", "AS", "AND", "OR", "NOT", "BY", "SELECT", "IS", "LIKE", "NULL",
                                "ASC", "DESC", "DISTINCT", "VALUES", "UNION", "INTO", "SET"};

bool reserved(const SqlToken &t)
{
    for (const char *w : Reserved)
        if (t.isKeyword(w))
            return true;
    return false;
}

} // namespace

SqlParser::SqlParser(const QString &sql) : m_sql(sql), m_tokens(SqlLexer::tokenize(sql)) {}

SqlExprPtr SqlParser::makeExpr(SqlExpr::Kind kind, int pos, const QString &text)
{
    if (++m_nodes > MaxNodes)
        fail(QStringLiteral("Statement too long"), pos);
    auto e = std::make_unique<SqlExpr>();
    e->kind = kind;
    e->pos = pos;
    e->text = text;
    return e;
}

SqlExprPtr SqlParser::binary(const QString &op, int pos, SqlExprPtr a, SqlExprPtr b)
{
    auto e = makeExpr(SqlExpr::Kind::Binary, pos, op);
    e->args.push_back(std::move(a));
    e->args.push_back(std::move(b));
    return e;
}

const SqlToken &SqlParser::peek(int ahead) const
{
    const int i = qMin(m_at + ahead, int(m_tokens.size()) - 1);
    return m_tokens.at(i);
}

const SqlToken &SqlParser::next()
{
    const SqlToken &t = peek();
    if (m_at < m_tokens.size() - 1)
        ++m_at;
    return t;
}

bool SqlParser::acceptKeyword(const char *word)
{
    if (!peek().isKeyword(word))
        return false;
    next();
    return true;
}

bool SqlParser::acceptSymbol(const char *sym)
{
    if (!peek().isSymbol(sym))
        return false;
    next();
    return true;
}

void SqlParser::expectKeyword(const char *word)
{
    if (!acceptKeyword(word))
        unexpected(word);
}

void SqlParser::expectSymbol(const char *sym)
{
    if (!acceptSymbol(sym))
        unexpected(sym);
}

void SqlParser::fail(const QString &message, int pos) const
{
    throw SqlError(message, m_sql, pos);
}

void SqlParser::unexpected(const char *wanted) const
{
    const SqlToken &t = peek();
    const QString found = t.kind == SqlToken::Kind::End ? QStringLiteral("end of text")
                          : t.kind == SqlToken::Kind::DString ? QStringLiteral("\"%1\"").arg(t.text)
                          : t.kind == SqlToken::Kind::SString ? QStringLiteral("'%1'").arg(t.text)
                                                               : t.text;
    fail(QStringLiteral("Syntax error: expected %1, found %2").arg(QLatin1StringView(wanted), found), t.pos);
}

void SqlParser::expectEnd()
{
    acceptSymbol(";");
    if (peek().kind != SqlToken::Kind::End)
        unexpected("end of statement");
}

SqlStatement SqlParser::parseStatement()
{
    SqlStatement st;
    if (peek().isKeyword("SELECT")) {
        st.kind = SqlStatement::Kind::Select;
        st.select = parseSelect();
    } else if (acceptKeyword("CREATE")) {
        parseCreate(st);
    } else if (acceptKeyword("INSERT")) {
        parseInsert(st);
    } else if (acceptKeyword("DELETE")) {
        parseDelete(st);
    } else {
        unexpected("SELECT, CREATE TABLE, INSERT or DELETE");
    }
    expectEnd();
    return st;
}

SqlExprPtr SqlParser::parseCondition()
{
    auto e = parseExpr();
    if (peek().kind != SqlToken::Kind::End)
        unexpected("end of condition");
    return e;
}

QString SqlParser::parseName(const char *what)
{
    const SqlToken &t = peek();
    if (t.kind != SqlToken::Kind::Ident || reserved(t))
        unexpected(what);
    return next().text;
}

SqlTableRef SqlParser::parseTableRef()
{
    SqlTableRef ref;
    const SqlToken &t = peek();
    if (t.kind != SqlToken::Kind::DString)
        unexpected("a table path in double quotes");
    ref.pos = t.pos;
    ref.path = next().text;
    if (acceptKeyword("AS"))
        ref.alias = parseName("a table alias");
    else if (peek().kind == SqlToken::Kind::Ident && !reserved(peek()))
        ref.alias = next().text;
    return ref;
}

std::unique_ptr<SqlSelect> SqlParser::parseSelect()
{
    auto sel = std::make_unique<SqlSelect>();
    expectKeyword("SELECT");
    if (acceptKeyword("DISTINCT"))
        sel->distinct = true;
    else
        acceptKeyword("ALL");
    do {
        SqlSelectItem item;
        item.pos = peek().pos;
        if (acceptSymbol("*")) {
            sel->items.push_back(std::move(item));
            continue;
        }
        if (peek().kind == SqlToken::Kind::Ident && peek(1).isSymbol(".") && peek(2).isSymbol("*")) {
            item.starQualifier = next().text;
            next();
            next();
            sel->items.push_back(std::move(item));
            continue;
        }
        item.expr = parseExpr();
        if (acceptKeyword("AS")) {
            if (peek().kind == SqlToken::Kind::DString)
                item.alias = next().text;
            else
                item.alias = parseName("a column alias");
        } else if (peek().kind == SqlToken::Kind::Ident && !reserved(peek())) {
            item.alias = next().text;
        }
        sel->items.push_back(std::move(item));
    } while (acceptSymbol(","));

    expectKeyword("FROM");
    sel->tables.push_back(parseTableRef());
    for (;;) {
        SqlJoin join;
        if (acceptKeyword("JOIN")) {
            join.type = SqlJoin::Type::Inner;
        } else if (acceptKeyword("INNER")) {
            expectKeyword("JOIN");
        } else if (peek().isKeyword("LEFT") || peek().isKeyword("RIGHT") || peek().isKeyword("FULL")) {
            const SqlToken &t = next();
            join.type = t.isKeyword("LEFT") ? SqlJoin::Type::Left
                        : t.isKeyword("RIGHT") ? SqlJoin::Type::Right : SqlJoin::Type::Full;
            acceptKeyword("OUTER");
            expectKeyword("JOIN");
        } else {
            break;
        }
        sel->tables.push_back(parseTableRef());
        expectKeyword("ON");
        join.on = parseExpr();
        join.table = sel->tables.back();
        sel->joins.push_back(std::move(join));
    }
    if (acceptKeyword("WHERE"))
        sel->where = parseExpr();
    if (acceptKeyword("GROUP")) {
        expectKeyword("BY");
        do
            sel->groupBy.push_back(parseExpr());
        while (acceptSymbol(","));
    }
    if (acceptKeyword("ORDER")) {
        expectKeyword("BY");
        do {
            SqlOrderItem item;
            item.expr = parseExpr();
            if (acceptKeyword("DESC"))
                item.descending = true;
            else
                acceptKeyword("ASC");
            sel->orderBy.push_back(std::move(item));
        } while (acceptSymbol(","));
    }
    return sel;
}

void SqlParser::parseCreate(SqlStatement &st)
{
    st.kind = SqlStatement::Kind::CreateTable;
    expectKeyword("TABLE");
    st.target = parseTableRef();
    expectSymbol("(");
    do {
        SqlColumnDef def;
        def.pos = peek().pos;
        def.name = parseName("a column name");
        const SqlToken &type = peek();
        if (type.kind != SqlToken::Kind::Ident)
            unexpected("a column type");
        next();
        auto size = [&](int *value) {
            const SqlToken &t = peek();
            bool ok = false;
            const int v = t.kind == SqlToken::Kind::Number ? t.text.toInt(&ok) : 0;
            if (!ok || v < 0 || v > 254)
                unexpected("a column width");
            next();
            *value = v;
        };
        if (type.isKeyword("CHAR") || type.isKeyword("VARCHAR") || type.isKeyword("CHARACTER")) {
            def.type = 'C';
            expectSymbol("(");
            size(&def.length);
            expectSymbol(")");
        } else if (type.isKeyword("DECIMAL") || type.isKeyword("NUMERIC")) {
            def.type = 'N';
            expectSymbol("(");
            size(&def.length);
            if (acceptSymbol(","))
                size(&def.decimals);
            expectSymbol(")");
        } else if (type.isKeyword("DATE")) {
            def.type = 'D';
            def.length = 8;
        } else if (type.isKeyword("BOOLEAN")) {
            def.type = 'L';
            def.length = 1;
        } else {
            fail(QStringLiteral("Unknown column type %1").arg(type.text), type.pos);
        }
        st.columnDefs.push_back(def);
    } while (acceptSymbol(","));
    expectSymbol(")");
}

void SqlParser::parseInsert(SqlStatement &st)
{
    st.kind = SqlStatement::Kind::Insert;
    expectKeyword("INTO");
    st.target = parseTableRef();
    if (acceptSymbol("(")) {
        do {
            const int pos = peek().pos;
            st.insertColumns.emplace_back(parseName("a column name"), pos);
        } while (acceptSymbol(","));
        expectSymbol(")");
    }
    if (acceptKeyword("VALUES")) {
        do {
            expectSymbol("(");
            std::vector<SqlExprPtr> row;
            do
                row.push_back(parseExpr());
            while (acceptSymbol(","));
            expectSymbol(")");
            st.values.push_back(std::move(row));
        } while (acceptSymbol(","));
    } else if (peek().isKeyword("SELECT")) {
        st.select = parseSelect();
    } else {
        unexpected("SELECT or VALUES");
    }
}

void SqlParser::parseDelete(SqlStatement &st)
{
    st.kind = SqlStatement::Kind::Delete;
    expectKeyword("FROM");
    st.target = parseTableRef();
    if (acceptKeyword("WHERE"))
        st.where = parseExpr();
}

SqlExprPtr SqlParser::parseExpr()
{
    if (++m_depth > MaxDepth)
        fail(QStringLiteral("Expression nested too deeply"), peek().pos);
    auto e = parseOr();
    --m_depth;
    return e;
}

SqlExprPtr SqlParser::parseOr()
{
    auto left = parseAnd();
    while (peek().isKeyword("OR")) {
        const int pos = next().pos;
        left = binary(QStringLiteral("OR"), pos, std::move(left), parseAnd());
    }
    return left;
}

SqlExprPtr SqlParser::parseAnd()
{
    auto left = parseNot();
    while (peek().isKeyword("AND")) {
        const int pos = next().pos;
        left = binary(QStringLiteral("AND"), pos, std::move(left), parseNot());
    }
    return left;
}

SqlExprPtr SqlParser::parseNot()
{
    if (peek().isKeyword("NOT")) {
        const int pos = next().pos;
        if (++m_depth > MaxDepth)
            fail(QStringLiteral("Expression nested too deeply"), pos);
        auto e = makeExpr(SqlExpr::Kind::Unary, pos, QStringLiteral("NOT"));
        e->args.push_back(parseNot());
        --m_depth;
        return e;
    }
    return parseComparison();
}

SqlExprPtr SqlParser::parseComparison()
{
    auto left = parseAdditive();
    const SqlToken &t = peek();
    static const char *ops[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
    for (const char *op : ops) {
        if (t.isSymbol(op)) {
            const int pos = next().pos;
            const QString o = QLatin1StringView(op) == QLatin1StringView("!=") ? QStringLiteral("<>")
                                                                               : QString::fromLatin1(op);
            return binary(o, pos, std::move(left), parseAdditive());
        }
    }
    if (t.isKeyword("IS")) {
        const int pos = next().pos;
        auto e = makeExpr(SqlExpr::Kind::IsNull, pos);
        e->negated = acceptKeyword("NOT");
        expectKeyword("NULL");
        e->args.push_back(std::move(left));
        return e;
    }
    if (t.isKeyword("LIKE") || (t.isKeyword("NOT") && peek(1).isKeyword("LIKE"))) {
        const int pos = t.pos;
        auto e = makeExpr(SqlExpr::Kind::Like, pos);
        e->negated = acceptKeyword("NOT");
        expectKeyword("LIKE");
        e->args.push_back(std::move(left));
        e->args.push_back(parseAdditive());
        return e;
    }
    return left;
}

SqlExprPtr SqlParser::parseAdditive()
{
    auto left = parseMultiplicative();
    while (peek().isSymbol("+") || peek().isSymbol("-")) {
        const SqlToken &t = next();
        left = binary(t.text, t.pos, std::move(left), parseMultiplicative());
    }
    return left;
}

SqlExprPtr SqlParser::parseMultiplicative()
{
    auto left = parseUnary();
    while (peek().isSymbol("*") || peek().isSymbol("/")) {
        const SqlToken &t = next();
        left = binary(t.text, t.pos, std::move(left), parseUnary());
    }
    return left;
}

SqlExprPtr SqlParser::parseUnary()
{
    if (peek().isSymbol("-") || peek().isSymbol("+")) {
        const SqlToken &t = next();
        if (++m_depth > MaxDepth)
            fail(QStringLiteral("Expression nested too deeply"), t.pos);
        auto operand = parseUnary();
        --m_depth;
        if (t.text == u'+')
            return operand;
        auto e = makeExpr(SqlExpr::Kind::Unary, t.pos, QStringLiteral("-"));
        e->args.push_back(std::move(operand));
        return e;
    }
    return parsePrimary();
}

SqlExprPtr SqlParser::parsePrimary()
{
    const SqlToken &t = peek();
    switch (t.kind) {
    case SqlToken::Kind::Number:
        next();
        return makeExpr(SqlExpr::Kind::Number, t.pos, t.text);
    case SqlToken::Kind::DString:
    case SqlToken::Kind::SString:
        next();
        return makeExpr(SqlExpr::Kind::String, t.pos, t.text);
    case SqlToken::Kind::Symbol:
        if (t.isSymbol("(")) {
            next();
            auto e = parseExpr();
            expectSymbol(")");
            return e;
        }
        break;
    case SqlToken::Kind::Ident: {
        if (t.isKeyword("NULL")) {
            next();
            return makeExpr(SqlExpr::Kind::Null, t.pos);
        }
        if (reserved(t))
            break;
        const SqlToken name = next();
        if (peek().isSymbol("("))
            return parseFunction(name);
        auto e = makeExpr(SqlExpr::Kind::Column, name.pos, name.text);
        if (acceptSymbol(".")) {
            e->qualifier = name.text;
            e->text = parseName("a column name");
        }
        return e;
    }
    case SqlToken::Kind::End:
        break;
    }
    unexpected("an expression");
}

SqlExprPtr SqlParser::parseFunction(const SqlToken &name)
{
    const QString upper = name.text.toUpper();
    expectSymbol("(");
    if (upper == u"CAST")
        return parseCast(name.pos);
    if (upper == u"TRIM")
        return parseTrim(name.pos);
    auto e = makeExpr(SqlExpr::Kind::Function, name.pos, upper);
    const bool aggregate = upper == u"COUNT" || upper == u"SUM" || upper == u"MAX" || upper == u"MIN"
                           || upper == u"AVG";
    if (aggregate) {
        if (upper == u"COUNT" && acceptSymbol("*")) {
            e->star = true;
            expectSymbol(")");
            return e;
        }
        e->distinct = acceptKeyword("DISTINCT");
        e->args.push_back(parseExpr());
    } else if (upper == u"UPPER" || upper == u"LOWER") {
        e->args.push_back(parseExpr());
    } else {
        fail(QStringLiteral("Unknown function %1").arg(name.text), name.pos);
    }
    expectSymbol(")");
    return e;
}

SqlExprPtr SqlParser::parseCast(int pos)
{
    auto e = makeExpr(SqlExpr::Kind::Cast, pos);
    e->args.push_back(parseExpr());
    expectKeyword("AS");
    const SqlToken &type = peek();
    if (type.kind != SqlToken::Kind::Ident)
        unexpected("a type");
    next();
    const QString t = type.text.toUpper();
    if (t == u"FLOAT" || t == u"DOUBLE" || t == u"NUMERIC" || t == u"DECIMAL" || t == u"MONEY")
        e->castType = QStringLiteral("FLOAT");
    else if (t == u"INTEGER" || t == u"SMALLINT" || t == u"INT")
        e->castType = QStringLiteral("INTEGER");
    else if (t == u"CHAR" || t == u"VARCHAR" || t == u"CHARACTER")
        e->castType = QStringLiteral("CHAR");
    else if (t == u"DATE")
        e->castType = QStringLiteral("DATE");
    else
        fail(QStringLiteral("Unknown type %1").arg(type.text), type.pos);
    if (acceptSymbol("(")) {
        const SqlToken &n = peek();
        bool ok = false;
        const int v = n.kind == SqlToken::Kind::Number ? n.text.toInt(&ok) : 0;
        if (!ok || v < 0 || v > 255)
            unexpected("a width");
        next();
        e->castSize = v;
        if (acceptSymbol(",")) {
            if (peek().kind != SqlToken::Kind::Number)
                unexpected("a number of decimals");
            next();
        }
        expectSymbol(")");
    }
    expectSymbol(")");
    return e;
}

SqlExprPtr SqlParser::parseTrim(int pos)
{
    // TRIM([BOTH|LEADING|TRAILING] [chars] FROM value) or TRIM(value)
    auto e = makeExpr(SqlExpr::Kind::Trim, pos);
    e->castType = QStringLiteral("BOTH");
    bool sideGiven = false;
    for (const char *w : {"BOTH", "LEADING", "TRAILING"}) {
        if (acceptKeyword(w)) {
            e->castType = QString::fromLatin1(w);
            sideGiven = true;
            break;
        }
    }
    SqlExprPtr chars;
    if (!(sideGiven && peek().isKeyword("FROM"))) {
        auto first = parseExpr();
        if (acceptKeyword("FROM")) {
            chars = std::move(first);
            e->args.push_back(parseExpr());
        } else {
            if (sideGiven)
                unexpected("FROM");
            e->args.push_back(std::move(first));
        }
    } else {
        expectKeyword("FROM");
        e->args.push_back(parseExpr());
    }
    if (chars)
        e->args.push_back(std::move(chars));
    expectSymbol(")");
    return e;
}
