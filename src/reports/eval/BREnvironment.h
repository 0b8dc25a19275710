#pragma once

#include "reports/eval/BREvElements.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TBRDataSet;
class TBREvaluator;
class TBREvEnvironment;

// A named expression of an environment, with its own evaluator.
class TBREvEmbeddedFunction : public TBREvElement
{
public:
    TBREvEmbeddedFunction(const QString &expression, TBREvEnvironment *owner);
    ~TBREvEmbeddedFunction() override;

    TBREvResult Evaluate(TBRFiFo &) override { return Value(); }
    // The expression's value; a variable that reaches itself gives an error.
    TBREvResult Value();
    void Reset() override;
    const QString &Expression() const { return m_expression; }
    TBREvaluator &Evaluator() { return *m_evaluator; }

private:
    QString m_expression;
    std::unique_ptr<TBREvaluator> m_evaluator;
    bool m_busy = false;
};

// Stands in an expression for a variable; its value is the variable's.
class TBREvElementWrapper : public TBREvElement
{
public:
    TBREvElementWrapper(std::weak_ptr<TBREvEmbeddedFunction> target, const QString &name)
        : m_target(std::move(target)), m_name(name) {}
    TBREvResult Evaluate(TBRFiFo &) override;

private:
    // Not owned: a variable deleted meanwhile reads as unknown.
    std::weak_ptr<TBREvEmbeddedFunction> m_target;
    QString m_name;
};

// A list of variables: names in capitals, each with its expression. The
// entries are prepared while the environment is (nested prepares count).
class TBREvEnvironment
{
public:
    TBREvEnvironment() = default;
    ~TBREvEnvironment();
    TBREvEnvironment(const TBREvEnvironment &) = delete;
    TBREvEnvironment &operator=(const TBREvEnvironment &) = delete;

    // A name already present keeps its expression.
    void AddFunction(const QString &name, const QString &expression);
    void DeleteFunction(const QString &name);
    // Renames the entry at `index` to the name in capitals. Refused (false) for
    // an empty name or one another entry holds: lookups find only the first.
    bool RenameFunction(int index, const QString &name);
    // Gives the entry at `index` a new expression. Refused (false) while the
    // environment is prepared: its prepared entries stay as they are.
    bool ReplaceExpression(int index, const QString &expression);
    void Clear();
    int Count() const { return int(m_entries.size()); }
    int IndexOf(const QString &name) const;

    // A wrapper for the variable, or the error "Unknown function : name".
    std::unique_ptr<TBREvElement> GetElement(const QString &name) const;
    TBREvResult Value(const QString &name);

    void Prepare();
    void Unprepare();
    bool IsPrepared() const { return m_prepareCount > 0; }
    int PrepareCount() const { return m_prepareCount; }

    // The first element of the variable's prepared expression (a constant for
    // a variable that is one), or nullptr. The report changes such handles
    // while printing, without preparing again.
    TBREvElement *GetConstant(const QString &name) const;
    static void SetStringConstant(TBREvElement *element, const QString &text);
    static void SetIntegerConstant(TBREvElement *element, qint32 value);
    static void SetConstantValue(TBREvElement *element, const TBREvResult &value);

    const QList<TBRDataSet *> &DataSets() const { return m_dataSets; }
    void SetDataSets(const QList<TBRDataSet *> &dataSets) { m_dataSets = dataSets; }

    // Stored form: the names, and "DATA", the expressions in the same order.
    QStringList Names() const;
    QStringList Data() const;
    void Load(const QStringList &names, const QStringList &data);

private:
    struct Entry
    {
        QString name;
        std::shared_ptr<TBREvEmbeddedFunction> function;
    };
    void prepareEntry(Entry &entry);
    std::vector<Entry> m_entries;
    QList<TBRDataSet *> m_dataSets;
    int m_prepareCount = 0;
};

// The application's variables: APPSTARTTIME, APPSTARTDATE and APPNAME.
TBREvEnvironment &GlobalEnvironment();
