#include "reports/eval/BREvaluator.h"

#include "reports/eval/BRDataSet.h"
#include "reports/eval/BREnvironment.h"
#include "reports/eval/BRError.h"
#include "reports/eval/BRFiFo.h"
#include "reports/eval/BRFunctionLibrary.h"
#include "reports/eval/BRMessages.h"

#include <QLocale>

#include <cmath>

namespace {

// Where a scan stands: inside quotes, inside a bracketed name, and the depth
// of round brackets. Only characters outside all three are operators,
// separators or swappable.
struct ScanState
{
    bool inQuotes = false;
    bool inBrackets = false;
    int depth = 0;

    bool atTop() const { return depth == 0 && !inQuotes && !inBrackets; }
    void step(QChar c)
    {
        if (c == QLatin1Char('\'') && !inBrackets)
            inQuotes = !inQuotes;
        else if (inQuotes)
            return;
        else if (c == QLatin1Char('[') && !inBrackets)
            inBrackets = true;
        else if (c == QLatin1Char(']') && inBrackets)
            inBrackets = false;
        else if (!inBrackets && c == QLatin1Char('('))
            ++depth;
        else if (!inBrackets && c == QLatin1Char(')'))
            --depth;
    }
};

struct OperatorAt
{
    qsizetype at = -1;
    qsizetype rightStart = 0;
    TBROperator op = TBROperator::Plus;
};

bool keywordAt(QStringView t, qsizetype i, QLatin1StringView word)
{
    // a blank, the word, a blank
    return t[i] == QLatin1Char(' ') && i + 1 + word.size() < t.size()
        && t.mid(i + 1, word.size()).compare(word, Qt::CaseInsensitive) == 0
        && t[i + 1 + word.size()] == QLatin1Char(' ');
}

bool matchOperator(int level, QStringView t, qsizetype i, OperatorAt *out)
{
    const QChar c = t[i];
    const QChar next = t[i + 1];
    auto found = [&](TBROperator op, qsizetype length) {
        out->at = i;
        out->rightStart = i + length;
        out->op = op;
        return true;
    };
    switch (level) {
    case 1:
        if (c == QLatin1Char('<') && next == QLatin1Char('>')) return found(TBROperator::NotEqual, 2);
        if (c == QLatin1Char('<') && next == QLatin1Char('=')) return found(TBROperator::LessEqual, 2);
        if (c == QLatin1Char('>') && next == QLatin1Char('=')) return found(TBROperator::GreaterEqual, 2);
        if (c == QLatin1Char('<')) return found(TBROperator::Less, 1);
        if (c == QLatin1Char('=')) return found(TBROperator::Equal, 1);
        if (c == QLatin1Char('>')) return found(TBROperator::Greater, 1);
        return false;
    case 2:
        if (c == QLatin1Char('+')) return found(TBROperator::Plus, 1);
        if (c == QLatin1Char('-')) return found(TBROperator::Minus, 1);
        if (keywordAt(t, i, QLatin1StringView("or"))) return found(TBROperator::Or, 3);
        return false;
    default:
        if (c == QLatin1Char('*')) return found(TBROperator::Multiply, 1);
        if (c == QLatin1Char('/')) return found(TBROperator::Divide, 1);
        if (keywordAt(t, i, QLatin1StringView("and"))) return found(TBROperator::And, 4);
        return false;
    }
}

// The leftmost operator of the level outside quotes, names and brackets; the
// first character (after leading blanks: " -1" is a sign, not a subtraction
// from nothing) and the last character never are one.
bool findOperator(int level, QStringView t, OperatorAt *out)
{
    ScanState st;
    qsizetype first = 0;
    while (first < t.size() && t[first] == QLatin1Char(' '))
        ++first;
    for (qsizetype i = 0; i + 1 < t.size(); ++i) {
        if (i > first && st.atTop() && matchOperator(level, t, i, out))
            return true;
        st.step(t[i]);
    }
    return false;
}

bool endsOperand(QChar c)
{
    return !QStringView(u"+-*/<>=(,").contains(c);
}

// A "+" or "-" is binary when an operand stands before it; a sign after an
// operator or at the start is not.
bool isBinaryAt(QStringView t, qsizetype i)
{
    for (qsizetype j = i - 1; j >= 0; --j)
        if (t[j] != QLatin1Char(' '))
            return endsOperand(t[j]);
    return false;
}

// The right side of "-" and "/" has its binary operators of the same level
// turned around, so a-b-c is a-(b+c) and a/b/c is a/(b*c).
QString swapOperators(const QString &t, QChar a, QChar b)
{
    QString out = t;
    ScanState st;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (st.atTop() && (c == a || c == b) && isBinaryAt(t, i))
            out[i] = c == a ? b : a;
        st.step(c);
    }
    return out;
}

QString trimBlanks(const QString &s)
{
    const QString t = s.trimmed();
    return t.isEmpty() && !s.isEmpty() ? QStringLiteral(" ") : t;
}

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The argument texts, cut at separators outside quotes, names and brackets.
QStringList splitArguments(const QString &args)
{
    QStringList out;
    ScanState st;
    qsizetype start = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (st.atTop() && args[i] == ArgSeparator() && i + 1 < args.size()) {
            out << args.mid(start, i - start);
            start = i + 1;
        }
        st.step(args[i]);
    }
    out << args.mid(start);
    return out;
}

struct DepthGuard
{
    explicit DepthGuard(int &d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
    int &depth;
};

} // namespace

TBREvaluator::TBREvaluator() = default;

TBREvaluator::~TBREvaluator()
{
    Unprepare();
}

void TBREvaluator::Prepare(const QString &expression)
{
    Unprepare();
    if (m_owner != &GlobalEnvironment()) {
        GlobalEnvironment().Prepare();
        m_holdsGlobal = true;
    }
    m_fifo = std::make_unique<TBRFiFo>();
    m_depth = 0;
    ParseExpression(expression.isEmpty() ? QStringLiteral("' '") : expression);
}

void TBREvaluator::Unprepare()
{
    m_fifo.reset();
    if (m_holdsGlobal) {
        m_holdsGlobal = false;
        GlobalEnvironment().Unprepare();
    }
}

TBREvResult TBREvaluator::Value()
{
    if (!m_fifo)
        throw EBRError(QString::fromLatin1(BRText::NotPrepared));
    m_fifo->Start();
    TBREvElement *first = m_fifo->Get();
    return first ? first->Evaluate(*m_fifo) : TBREvResult::error();
}

TBREvResult TBREvaluator::EvaluateOnce(const QString &expression)
{
    Prepare(expression);
    TBREvResult r = Value();
    Unprepare();
    return r;
}

void TBREvaluator::Reset()
{
    if (m_fifo)
        for (const auto &e : m_fifo->Elements())
            e->Reset();
}

void TBREvaluator::UpdateAggregates()
{
    if (!m_fifo)
        throw EBRError(QString::fromLatin1(BRText::NotPrepared));
    m_fifo->AggregateMode = true;
    Value();
    m_fifo->AggregateMode = false;
}

bool TBREvaluator::HasAggregates() const
{
    if (m_fifo)
        for (const auto &e : m_fifo->Elements())
            if (e->IsAggregate)
                return true;
    return false;
}

void TBREvaluator::SetAggregateMode(bool on)
{
    if (m_fifo)
        m_fifo->AggregateMode = on;
}

void TBREvaluator::Put(std::unique_ptr<TBREvElement> element)
{
    m_fifo->Put(std::move(element));
}

void TBREvaluator::PutError(const QString &message)
{
    Put(std::make_unique<TBREvElementError>(message));
}

void TBREvaluator::ParseExpression(const QString &text)
{
    parseLevel(1, text);
}

void TBREvaluator::parseLevel(int level, const QString &text)
{
    DepthGuard guard(m_depth);
    if (m_depth > MaxDepth) {
        PutError(QString::fromLatin1(BRText::TooDeep));
        return;
    }
    OperatorAt op;
    if (!findOperator(level, text, &op)) {
        level == 3 ? parseFactor(text) : parseLevel(level + 1, text);
        return;
    }
    Put(std::make_unique<TBREvElementOperator>(op.op));
    QString right = text.mid(op.rightStart);
    if (op.op == TBROperator::Minus)
        right = swapOperators(right, QLatin1Char('+'), QLatin1Char('-'));
    else if (op.op == TBROperator::Divide)
        right = swapOperators(right, QLatin1Char('*'), QLatin1Char('/'));
    const QString left = text.left(op.at);
    if (level == 3)
        parseFactor(left);
    else
        parseLevel(level + 1, left);
    parseLevel(level == 1 ? 2 : level, right);
}

void TBREvaluator::parseFactor(const QString &text)
{
    DepthGuard guard(m_depth);
    if (m_depth > MaxDepth) {
        PutError(QString::fromLatin1(BRText::TooDeep));
        return;
    }
    const QString t = trimBlanks(text);
    const auto missing = [&](const char *what) { PutError(QString::fromLatin1(BRText::Missing).arg(QLatin1String(what))); };
    const auto enclosed = [&](QChar close) { return t.size() >= 2 && t.endsWith(close); };
    if (t.isEmpty()) {
        PutError(QString::fromLatin1(BRText::ErrorInExpression).arg(t));
        return;
    }
    // "not" is a keyword only when no letter, digit or "_" follows it (Notes is a name).
    if (t.size() > 3 && t.left(3).compare(QLatin1String("not"), Qt::CaseInsensitive) == 0 && !isIdentifierChar(t[3])) {
        Put(std::make_unique<TBREvElementNot>());
        parseLevel(2, t.mid(3));
        return;
    }
    const QChar c = t[0];
    if (isAsciiDigit(c)) {
        parseNumber(t);
    } else if (isAsciiLetter(c)) {
        parseName(t);
    } else if (c == QLatin1Char('[')) {
        enclosed(QLatin1Char(']')) ? ResolveFieldIdentifier(t.mid(1, t.size() - 2)) : missing("]");
    } else if (c == QLatin1Char('\'')) {
        enclosed(QLatin1Char('\'')) ? Put(std::make_unique<TBREvElementString>(t.mid(1, t.size() - 2))) : missing("'");
    } else if (c == QLatin1Char('(')) {
        enclosed(QLatin1Char(')')) ? ParseExpression(t.mid(1, t.size() - 2)) : missing(")");
    } else if (c == QLatin1Char('+')) {
        parseFactor(t.mid(1));
    } else if (c == QLatin1Char('-')) {
        parseLevel(2, QStringLiteral("0-") + t.mid(1));
    } else {
        PutError(QString::fromLatin1(BRText::ErrorInExpression).arg(t));
    }
}

void TBREvaluator::parseNumber(const QString &t)
{
    qsizetype i = 0;
    while (i < t.size() && isAsciiDigit(t[i]))
        ++i;
    bool ok = false;
    if (i == t.size()) {
        const int v = t.toInt(&ok);
        if (ok) {
            Put(std::make_unique<TBREvElementConstant>(TBREvResult::integer(v)));
            return;
        }
    }
    for (qsizetype j = i; j < t.size(); ++j)
        if (!isAsciiDigit(t[j]) && !QStringView(u"+-.Ee").contains(t[j])) {
            PutError(QString::fromLatin1(BRText::IllegalNumeric).arg(t));
            return;
        }
    const double d = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(d)) {
        PutError(QString::fromLatin1(BRText::IllegalNumeric).arg(t));
        return;
    }
    Put(std::make_unique<TBREvElementConstant>(TBREvResult::floating(d)));
}

void TBREvaluator::parseName(const QString &t)
{
    const qsizetype open = t.indexOf(QLatin1Char('('));
    if (open < 0)
        ParseFunctionCall(t.toUpper(), std::nullopt);
    else if (t.endsWith(QLatin1Char(')')))
        ParseFunctionCall(t.left(open).toUpper(), t.mid(open + 1, t.size() - open - 2));
    else
        ParseFunctionCall(QString(), std::nullopt);
}

void TBREvaluator::ParseFunctionCall(const QString &name, const std::optional<QString> &arguments)
{
    const QString upper = name.toUpper();
    if (FunctionLibrary().IndexOf(upper) < 0) {
        if (arguments)
            PutError(QString::fromLatin1(BRText::UnknownFunction).arg(upper));
        else
            ResolveFieldIdentifier(upper);
        return;
    }
    Put(FunctionLibrary().GetFunction(upper));
    if (arguments && !arguments->trimmed().isEmpty())
        for (const QString &piece : splitArguments(*arguments))
            ParseExpression(piece);
    Put(std::make_unique<TBREvElementArgumentEnd>());
}

void TBREvaluator::ResolveFieldIdentifier(const QString &text)
{
    if (!m_dataSets.isEmpty() && putField(text))
        return;
    putEnvironmentElement(text);
}

bool TBREvaluator::putField(const QString &text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const QString dataSetName = dot < 0 ? QString() : text.left(dot).toUpper();
    const QString fieldName = (dot < 0 ? text : text.mid(dot + 1)).toUpper();
    for (TBRDataSet *ds : m_dataSets) {
        if (!ds || (!dataSetName.isEmpty() && ds->Name().toUpper() != dataSetName))
            continue;
        const int index = ds->FindField(fieldName);
        if (index >= 0) {
            Put(std::make_unique<TBREvElementDataField>(ds, index));
            return true;
        }
        if (!dataSetName.isEmpty())
            return false; // only the first dataset of that name is searched
    }
    return false;
}

void TBREvaluator::putEnvironmentElement(const QString &text)
{
    std::unique_ptr<TBREvElement> e;
    if (m_environment) {
        e = m_environment->GetElement(text);
        if (dynamic_cast<TBREvElementError *>(e.get()))
            e.reset();
    }
    if (!e)
        e = GlobalEnvironment().GetElement(text);
    Put(std::move(e));
}
