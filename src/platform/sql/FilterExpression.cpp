#include "platform/sql/FilterExpression.h"

#include "platform/sql/RomanianCollation.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlParser.h"
#include "platform/sql/SqlValue.h"

#include <cmath>
#include <optional>

namespace {

// A value while judging a row; no value means null.
struct Value
{
    SqlType type = SqlType::Null;
    QString text;
    double number = 0;
    QDate date;
    bool truth = false;
    bool null = true;
};

Value fromVariant(const QVariant &v, SqlType type)
{
    Value out;
    out.type = type;
    if (!v.isValid() || v.isNull())
        return out;
    out.null = false;
    switch (type) {
    case SqlType::Integer:
    case SqlType::Float: out.number = v.toDouble(); break;
    case SqlType::Date: out.date = v.toDate(); break;
    case SqlType::Logical: out.truth = v.toBool(); break;
    default: out.text = v.toString(); break;
    }
    return out;
}

Value truth(std::optional<bool> b)
{
    Value v;
    v.type = SqlType::Logical;
    if (b) {
        v.null = false;
        v.truth = *b;
    }
    return v;
}

Value text(const QString &s)
{
    Value v;
    v.type = SqlType::Text;
    v.text = s;
    v.null = false;
    return v;
}

Value number(double d)
{
    Value v;
    v.type = SqlType::Float;
    v.number = d;
    v.null = false;
    return v;
}

QString asText(const Value &v)
{
    if (v.null)
        return QString();
    switch (v.type) {
    case SqlType::Integer:
    case SqlType::Float: return SqlValue::formatNumber(v.number);
    case SqlType::Date: return SqlValue::formatDate(v.date);
    case SqlType::Logical: return v.truth ? QStringLiteral("T") : QStringLiteral("F");
    default: return v.text;
    }
}

class Resolver
{
public:
    Resolver(const QString &sql, const QList<SqlResultColumn> &fields) : m_sql(sql), m_fields(fields) {}

    void resolve(SqlExpr &e)
    {
        for (auto &a : e.args)
            resolve(*a);
        switch (e.kind) {
        case SqlExpr::Kind::String: e.type = SqlType::Text; break;
        case SqlExpr::Kind::Number:
            e.type = SqlType::Float;
            SqlValue::parseNumber(e.text, &e.number);
            break;
        case SqlExpr::Kind::Null: e.type = SqlType::Null; break;
        case SqlExpr::Kind::Column: {
            const QString name = e.qualifier.isEmpty() ? e.text : e.qualifier + u'.' + e.text;
            for (int i = 0; i < m_fields.size() && e.column < 0; ++i)
                if (m_fields[i].name.compare(e.text, Qt::CaseInsensitive) == 0
                    || m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
                    e.column = i;
            if (e.column < 0)
                fail(QStringLiteral("Unknown field %1").arg(name), e.pos);
            e.type = m_fields[e.column].type;
            break;
        }
        case SqlExpr::Kind::Unary: e.type = e.text == u"NOT" ? SqlType::Logical : SqlType::Float; break;
        case SqlExpr::Kind::Binary:
            if (isComparison(e.text)) {
                coerce(*e.args[0], e.args[1]->type);
                coerce(*e.args[1], e.args[0]->type);
                e.type = SqlType::Logical;
            } else if (e.text == u"AND" || e.text == u"OR") {
                e.type = SqlType::Logical;
            } else if (e.text == u"+" && (e.args[0]->type == SqlType::Text || e.args[1]->type == SqlType::Text)) {
                e.type = SqlType::Text;
            } else {
                e.type = SqlType::Float;
            }
            break;
        case SqlExpr::Kind::Function:
            if (e.text != u"UPPER" && e.text != u"LOWER")
                fail(QStringLiteral("%1 is not allowed in a filter").arg(e.text), e.pos);
            e.type = SqlType::Text;
            break;
        case SqlExpr::Kind::Cast:
            e.type = e.castType == u"CHAR" ? SqlType::Text : e.castType == u"DATE" ? SqlType::Date : SqlType::Float;
            break;
        case SqlExpr::Kind::Trim: e.type = SqlType::Text; break;
        case SqlExpr::Kind::IsNull:
        case SqlExpr::Kind::Like: e.type = SqlType::Logical; break;
        }
    }

private:
    [[noreturn]] void fail(const QString &m, int pos) const { throw SqlError(m, m_sql, pos); }

    // A quoted number or date beside a number or date field is taken as such.
    void coerce(SqlExpr &lit, SqlType to)
    {
        if (lit.kind != SqlExpr::Kind::String)
            return;
        if (isNumeric(to)) {
            double v = 0;
            if (!SqlValue::parseNumber(lit.text, &v))
                fail(QStringLiteral("'%1' is not a number").arg(lit.text), lit.pos);
            lit.kind = SqlExpr::Kind::Number;
            lit.text = SqlValue::formatNumber(v);
            lit.type = SqlType::Float;
            SqlValue::parseNumber(lit.text, &lit.number);
        } else if (to == SqlType::Date) {
            if (!SqlValue::parseDate(lit.text).isValid())
                fail(QStringLiteral("'%1' is not a date (dd.MM.yyyy)").arg(lit.text), lit.pos);
            lit.type = SqlType::Date;
        }
    }

    QString m_sql;
    const QList<SqlResultColumn> &m_fields;
};

class Evaluator
{
public:
    explicit Evaluator(const QVector<QVariant> &row, const QString &sql) : m_row(row), m_sql(sql) {}

    Value eval(const SqlExpr &e) const
    {
        switch (e.kind) {
        case SqlExpr::Kind::String:
            if (e.type == SqlType::Date) {
                Value v;
                v.type = SqlType::Date;
                v.date = SqlValue::parseDate(e.text);
                v.null = false;
                return v;
            }
            return text(e.text);
        case SqlExpr::Kind::Number: return number(e.number);
        case SqlExpr::Kind::Null: return Value{};
        case SqlExpr::Kind::Column: {
            static const QVariant none;
            return fromVariant(e.column < m_row.size() ? m_row[e.column] : none, e.type);
        }
        case SqlExpr::Kind::Unary: {
            const Value a = eval(*e.args[0]);
            if (e.text == u"NOT")
                return a.null ? truth(std::nullopt) : truth(!a.truth);
            return a.null ? Value{} : number(-numberOf(a, e));
        }
        case SqlExpr::Kind::Binary: return binary(e);
        case SqlExpr::Kind::Function: {
            const Value a = eval(*e.args[0]);
            if (a.null)
                return Value{};
            return text(e.text == u"UPPER" ? asText(a).toUpper() : asText(a).toLower());
        }
        case SqlExpr::Kind::Cast: return cast(e);
        case SqlExpr::Kind::Trim: {
            const Value a = eval(*e.args[0]);
            if (a.null)
                return Value{};
            const QString chars = e.args.size() > 1 ? asText(eval(*e.args[1])) : QStringLiteral(" ");
            QString s = asText(a);
            qsizetype from = 0, to = s.size();
            if (e.castType != u"TRAILING")
                while (from < to && chars.contains(s[from]))
                    ++from;
            if (e.castType != u"LEADING")
                while (to > from && chars.contains(s[to - 1]))
                    --to;
            return text(s.mid(from, to - from));
        }
        case SqlExpr::Kind::IsNull: {
            const Value a = eval(*e.args[0]);
            return truth(a.null != e.negated);
        }
        case SqlExpr::Kind::Like: {
            const Value a = eval(*e.args[0]);
            const Value p = eval(*e.args[1]);
            if (p.null)
                return truth(std::nullopt);
            return truth(SqlValue::likeMatches(asText(a), asText(p)) != e.negated);
        }
        }
        return Value{};
    }

private:
    [[noreturn]] void fail(const QString &m, int pos) const { throw SqlError(m, m_sql, pos); }

    double numberOf(const Value &v, const SqlExpr &at) const
    {
        if (v.type == SqlType::Integer || v.type == SqlType::Float)
            return v.number;
        double d = 0;
        if (v.type == SqlType::Text && SqlValue::parseNumber(v.text, &d))
            return d;
        fail(QStringLiteral("Type mismatch: a number is needed"), at.pos);
    }

    Value cast(const SqlExpr &e) const
    {
        const Value a = eval(*e.args[0]);
        if (a.null)
            return a;
        if (e.castType == u"CHAR") {
            const QString s = asText(a);
            return text(e.castSize > 0 ? s.left(e.castSize) : s);
        }
        if (e.castType == u"DATE") {
            Value v;
            v.type = SqlType::Date;
            v.date = a.type == SqlType::Date ? a.date : SqlValue::parseDate(a.text);
            v.null = !v.date.isValid();
            return v;
        }
        double d = 0;
        if (a.type == SqlType::Text) {
            if (!SqlValue::parseNumber(a.text, &d))
                return Value{};
        } else {
            d = numberOf(a, e);
        }
        return number(e.castType == u"INTEGER" ? std::trunc(d) : d);
    }

    Value binary(const SqlExpr &e) const
    {
        const QString &op = e.text;
        if (op == u"AND" || op == u"OR") {
            const Value a = eval(*e.args[0]);
            const bool isAnd = op == u"AND";
            if (!a.null && a.truth != isAnd)
                return truth(!isAnd); // decided by the left side
            const Value b = eval(*e.args[1]);
            if (!b.null && b.truth != isAnd)
                return truth(!isAnd);
            if (a.null || b.null)
                return truth(std::nullopt);
            return truth(isAnd);
        }
        const Value a = eval(*e.args[0]);
        const Value b = eval(*e.args[1]);
        if (isComparison(op))
            return compare(op, a, b, e);
        if (e.type == SqlType::Text) // "+" joining text; a blank part joins as ""
            return text(asText(a) + asText(b));
        if (a.null || b.null)
            return Value{};
        const double x = numberOf(a, *e.args[0]), y = numberOf(b, *e.args[1]);
        if (op == u"+") return number(x + y);
        if (op == u"-") return number(x - y);
        if (op == u"*") return number(x * y);
        if (y == 0)
            return Value{};
        return number(x / y);
    }

    Value compare(const QString &op, const Value &a, const Value &b, const SqlExpr &e) const
    {
        const bool textA = a.type == SqlType::Text, textB = b.type == SqlType::Text;
        if (textA && textB) // blank text is "" here
            return truth(comparisonHolds(op, RomanianCollation::compare(a.text, b.text)));
        if (a.null || b.null)
            return truth(std::nullopt);
        if (a.type == SqlType::Date && b.type == SqlType::Date)
            return truth(comparisonHolds(op, a.date < b.date ? -1 : a.date > b.date ? 1 : 0));
        if (a.type == SqlType::Logical && b.type == SqlType::Logical)
            return truth(comparisonHolds(op, int(a.truth) - int(b.truth)));
        if ((isNumeric(a.type) || textA) && (isNumeric(b.type) || textB)) {
            double x = 0, y = 0;
            // Text beside a number compares by its value; text that is no number matches nothing.
            if (textA && !SqlValue::parseNumber(a.text, &x))
                return truth(std::nullopt);
            if (textB && !SqlValue::parseNumber(b.text, &y))
                return truth(std::nullopt);
            if (!textA)
                x = a.number;
            if (!textB)
                y = b.number;
            return truth(comparisonHolds(op, x < y ? -1 : x > y ? 1 : 0));
        }
        fail(QStringLiteral("Type mismatch in comparison"), e.pos);
    }

    const QVector<QVariant> &m_row;
    const QString &m_sql;
};

} // namespace

FilterExpression::FilterExpression(const QString &text, const QList<SqlResultColumn> &fields) : m_text(text)
{
    SqlParser parser(text);
    m_root = parser.parseCondition();
    Resolver(text, fields).resolve(*m_root);
}

FilterExpression::~FilterExpression() = default;
FilterExpression::FilterExpression(FilterExpression &&) noexcept = default;
FilterExpression &FilterExpression::operator=(FilterExpression &&) noexcept = default;

bool FilterExpression::matches(const QVector<QVariant> &row) const
{
    const Value v = Evaluator(row, m_text).eval(*m_root);
    return !v.null && v.truth;
}
