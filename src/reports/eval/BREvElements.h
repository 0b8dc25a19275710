#pragma once

#include "reports/eval/BREvResult.h"

#include <QString>

#include <memory>
#include <vector>

class TBRFiFo;
class TBRDataSet;

// One element of a prepared expression. The list of elements holds the
// expression in prefix order; each element takes its operands from the list
// as it evaluates.
class TBREvElement
{
public:
    virtual ~TBREvElement() = default;
    virtual TBREvResult Evaluate(TBRFiFo &) { return TBREvResult::error(); }
    virtual void Reset() {}
    virtual bool IsArgumentEnd() const { return false; }
    bool IsAggregate = false;
};

// Codes of the binary operators, as the parser numbers them.
enum class TBROperator : quint8 {
    Less = 0, LessEqual = 1, Greater = 2, GreaterEqual = 3, Equal = 4, NotEqual = 5,
    Plus = 6, Minus = 7, Or = 8, Multiply = 9, Divide = 10, And = 11
};

class TBREvElementOperator : public TBREvElement
{
public:
    explicit TBREvElementOperator(TBROperator op) : m_op(op) {}
    TBREvResult Evaluate(TBRFiFo &fifo) override;
    TBROperator op() const { return m_op; }

private:
    TBROperator m_op;
};

class TBREvElementConstant : public TBREvElement
{
public:
    explicit TBREvElementConstant(TBREvResult value) : Value(std::move(value)) {}
    TBREvResult Evaluate(TBRFiFo &) override { return Value; }
    TBREvResult Value;
};

class TBREvElementString : public TBREvElement
{
public:
    explicit TBREvElementString(const QString &text) : Text(capText(text)) {}
    TBREvResult Evaluate(TBRFiFo &) override { return TBREvResult::string(Text); }
    QString Text;
};

// A field of a dataset, read at the dataset's current record.
class TBREvElementDataField : public TBREvElement
{
public:
    TBREvElementDataField(TBRDataSet *dataSet, int index) : m_dataSet(dataSet), m_index(index) {}
    TBREvResult Evaluate(TBRFiFo &) override;

private:
    TBRDataSet *m_dataSet;
    int m_index;
};

class TBREvElementError : public TBREvElement
{
public:
    explicit TBREvElementError(const QString &message) : Message(capText(message)) {}
    TBREvResult Evaluate(TBRFiFo &) override { return TBREvResult::error(Message); }
    QString Message;
};

class TBREvElementArgumentEnd : public TBREvElement
{
public:
    bool IsArgumentEnd() const override { return true; }
};

// "not" before a factor: the logical negation of a boolean.
class TBREvElementNot : public TBREvElement
{
public:
    TBREvResult Evaluate(TBRFiFo &fifo) override;
};

// Base of the library's functions. Evaluating collects the argument values up
// to the argument end, aggregates them in aggregate mode, then calculates.
class TBREvElementFunction : public TBREvElement
{
public:
    TBREvResult Evaluate(TBRFiFo &fifo) override;
    virtual void Aggregate() {}
    virtual TBREvResult Calculate() { return TBREvResult::error(); }

protected:
    // Evaluates the elements up to the argument end into Arguments.
    void CollectArguments(TBRFiFo &fifo);
    int ArgCount() const { return int(Arguments.size()); }
    const TBREvResult &Arg(int i) const { return Arguments[size_t(i)]; }
    std::vector<TBREvResult> Arguments;
};

// Applies a binary operator to two values (the operator table of the engine).
TBREvResult applyOperator(TBROperator op, TBREvResult left, TBREvResult right);
// Compares two values of the same kind, boolean false below true, strings by
// character codes; <0, 0 or >0.
int compareSameKind(const TBREvResult &a, const TBREvResult &b);
