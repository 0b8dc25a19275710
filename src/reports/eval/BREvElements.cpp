#include "reports/eval/BREvElements.h"

#include "reports/eval/BRDataSet.h"
#include "reports/eval/BRFiFo.h"
#include "reports/eval/BRMessages.h"

namespace {

const char *operatorText(TBROperator op)
{
    static const char *const texts[] = {"<", "<=", ">", ">=", "=", "<>", "+", "-", "OR", "*", "/", "AND"};
    return texts[int(op)];
}

TBREvResult notCompatible(TBROperator op, const char *kind)
{
    return TBREvResult::error(QString::fromLatin1(BRText::NotCompatible)
                                  .arg(QLatin1String(operatorText(op)), QLatin1String(kind)));
}

TBREvResult cannot(const char *verb, const char *kind)
{
    return TBREvResult::error(QString::fromLatin1(BRText::CannotOperate).arg(QLatin1String(verb), QLatin1String(kind)));
}

// Integer kinds differing from floats become floats; any other pair of
// different kinds is compared and joined as text.
void makeCompatible(TBREvResult &l, TBREvResult &r)
{
    if (l.kind == r.kind)
        return;
    if (l.isNumeric() && r.isNumeric()) {
        l = TBREvResult::floating(l.asDouble());
        r = TBREvResult::floating(r.asDouble());
        return;
    }
    l = TBREvResult::string(ValueToString(l));
    r = TBREvResult::string(ValueToString(r));
}

bool isComparison(TBROperator op) { return int(op) <= int(TBROperator::NotEqual); }

bool comparisonHolds(TBROperator op, int c)
{
    switch (op) {
    case TBROperator::Less: return c < 0;
    case TBROperator::LessEqual: return c <= 0;
    case TBROperator::Greater: return c > 0;
    case TBROperator::GreaterEqual: return c >= 0;
    case TBROperator::Equal: return c == 0;
    default: return c != 0;
    }
}

// 32-bit arithmetic that wraps instead of overflowing.
qint32 wrap(quint32 v) { return static_cast<qint32>(v); }

TBREvResult integerOperator(TBROperator op, qint32 a, qint32 b)
{
    switch (op) {
    case TBROperator::Plus: return TBREvResult::integer(wrap(quint32(a) + quint32(b)));
    case TBROperator::Minus: return TBREvResult::integer(wrap(quint32(a) - quint32(b)));
    case TBROperator::Multiply: return TBREvResult::integer(wrap(quint32(a) * quint32(b)));
    case TBROperator::Divide:
        if (b == 0)
            return TBREvResult::error(QString::fromLatin1(BRText::DivideByZero));
        return TBREvResult::floating(double(a) / double(b));
    case TBROperator::Or: return TBREvResult::integer(a | b);
    default: return TBREvResult::integer(a & b);
    }
}

TBREvResult floatOperator(TBROperator op, double a, double b)
{
    switch (op) {
    case TBROperator::Plus: return TBREvResult::floating(a + b);
    case TBROperator::Minus: return TBREvResult::floating(a - b);
    case TBROperator::Multiply: return TBREvResult::floating(a * b);
    case TBROperator::Divide:
        if (b == 0.0)
            return TBREvResult::error(QString::fromLatin1(BRText::DivideByZero));
        return TBREvResult::floating(a / b);
    default: return notCompatible(op, "numeric");
    }
}

TBREvResult stringOperator(TBROperator op, const QString &a, const QString &b)
{
    switch (op) {
    case TBROperator::Plus: return TBREvResult::string(a + b);
    case TBROperator::Minus: return cannot("subtract", "string");
    case TBROperator::Multiply: return cannot("multiply", "string");
    case TBROperator::Divide: return cannot("divide", "string");
    default: return notCompatible(op, "string");
    }
}

TBREvResult booleanOperator(TBROperator op, bool a, bool b)
{
    switch (op) {
    case TBROperator::Equal: return TBREvResult::boolean(a == b);
    case TBROperator::NotEqual: return TBREvResult::boolean(a != b);
    case TBROperator::Or: return TBREvResult::boolean(a || b);
    case TBROperator::And: return TBREvResult::boolean(a && b);
    case TBROperator::Plus: return cannot("add", "boolean");
    case TBROperator::Minus: return cannot("subtract", "boolean");
    case TBROperator::Multiply: return cannot("multiply", "boolean");
    case TBROperator::Divide: return cannot("divide", "boolean");
    default: return notCompatible(op, "boolean");
    }
}

} // namespace

int compareSameKind(const TBREvResult &a, const TBREvResult &b)
{
    switch (a.kind) {
    case TBREvKind::Integer: return a.intValue < b.intValue ? -1 : (a.intValue > b.intValue ? 1 : 0);
    case TBREvKind::Float: return a.floatValue < b.floatValue ? -1 : (a.floatValue > b.floatValue ? 1 : 0);
    case TBREvKind::Boolean: return int(a.boolValue) - int(b.boolValue);
    default: return a.stringValue.compare(b.stringValue, Qt::CaseSensitive);
    }
}

TBREvResult applyOperator(TBROperator op, TBREvResult l, TBREvResult r)
{
    if (l.isError())
        return l;
    if (r.isError())
        return r;
    makeCompatible(l, r);
    if (isComparison(op) && l.kind != TBREvKind::Boolean)
        return TBREvResult::boolean(comparisonHolds(op, compareSameKind(l, r)));
    switch (l.kind) {
    case TBREvKind::Integer: return integerOperator(op, l.intValue, r.intValue);
    case TBREvKind::Float: return floatOperator(op, l.floatValue, r.floatValue);
    case TBREvKind::String: return stringOperator(op, l.stringValue, r.stringValue);
    case TBREvKind::Boolean: return booleanOperator(op, l.boolValue, r.boolValue);
    case TBREvKind::Error: break;
    }
    return l; // both errors were handled above; kept for the compiler
}

TBREvResult TBREvElementOperator::Evaluate(TBRFiFo &fifo)
{
    TBREvResult left = fifo.EvaluateNext();
    TBREvResult right = fifo.EvaluateNext();
    return applyOperator(m_op, std::move(left), std::move(right));
}

TBREvResult TBREvElementDataField::Evaluate(TBRFiFo &)
{
    const QVariant v = m_dataSet->FieldValue(m_index);
    switch (m_dataSet->FieldKind(m_index)) {
    case TBRFieldKind::String:
    case TBRFieldKind::Date: return TBREvResult::string(v.toString());
    case TBRFieldKind::Integer: return TBREvResult::integer(v.toInt());
    case TBRFieldKind::Float: return TBREvResult::floating(v.toDouble());
    case TBRFieldKind::Boolean: return TBREvResult::boolean(v.toBool());
    case TBRFieldKind::Other: break;
    }
    return TBREvResult::error(BRText::FieldUnknownType, m_dataSet->FieldName(m_index));
}

TBREvResult TBRFiFo::EvaluateNext()
{
    TBREvElement *e = Get();
    if (!e || e->IsArgumentEnd())
        return TBREvResult::error();
    return e->Evaluate(*this);
}

void TBREvElementFunction::CollectArguments(TBRFiFo &fifo)
{
    Arguments.clear();
    while (TBREvElement *e = fifo.Get()) {
        if (e->IsArgumentEnd())
            break;
        Arguments.push_back(e->Evaluate(fifo));
    }
}

TBREvResult TBREvElementFunction::Evaluate(TBRFiFo &fifo)
{
    CollectArguments(fifo);
    if (fifo.AggregateMode)
        Aggregate();
    TBREvResult result = Calculate();
    Arguments.clear();
    return result;
}

TBREvResult TBREvElementNot::Evaluate(TBRFiFo &fifo)
{
    const TBREvResult v = fifo.EvaluateNext();
    if (v.kind != TBREvKind::Boolean)
        return TBREvResult::error(QString::fromLatin1(BRText::InvalidNot));
    return TBREvResult::boolean(!v.boolValue);
}
