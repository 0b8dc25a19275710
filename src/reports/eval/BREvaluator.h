#pragma once

#include "reports/eval/BREvResult.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class TBRDataSet;
class TBREvEnvironment;
class TBRFiFo;

// Turns the text of an expression into elements once (Prepare) and computes
// its value as often as asked. Bad expressions never raise: every fault
// becomes an error value. Preparing holds the global environment prepared;
// unpreparing lets it go, one for one.
class TBREvaluator
{
public:
    TBREvaluator();
    virtual ~TBREvaluator();
    TBREvaluator(const TBREvaluator &) = delete;
    TBREvaluator &operator=(const TBREvaluator &) = delete;

    void Prepare(const QString &expression);
    void Unprepare();
    bool Prepared() const { return m_fifo != nullptr; }
    // Raises EBRError "Evaluator not prepared" when not prepared.
    TBREvResult Value();
    TBREvResult EvaluateOnce(const QString &expression);
    // Clears the aggregates.
    void Reset();
    // Evaluates once in aggregate mode, so the aggregates take the current record.
    void UpdateAggregates();
    bool HasAggregates() const;
    void SetAggregateMode(bool on);

    const QList<TBRDataSet *> &DataSets() const { return m_dataSets; }
    void SetDataSets(const QList<TBRDataSet *> &dataSets) { m_dataSets = dataSets; }
    TBREvEnvironment *Environment() const { return m_environment; }
    void SetEnvironment(TBREvEnvironment *environment) { m_environment = environment; }
    TBRFiFo *FiFo() const { return m_fifo.get(); }

    // The evaluator of a variable of `env`; one of the global environment's own
    // variables does not hold the global environment (it is what holds it).
    void setOwnerEnvironment(TBREvEnvironment *env) { m_owner = env; }

    // How deeply an expression may nest before it is refused.
    static constexpr int MaxDepth = 1000;

protected:
    // name in capitals; arguments: the text between the brackets, if any.
    virtual void ParseFunctionCall(const QString &name, const std::optional<QString> &arguments);
    virtual void ResolveFieldIdentifier(const QString &text);
    void Put(std::unique_ptr<class TBREvElement> element);
    void PutError(const QString &message);
    // Level 1: a comparison of two sums.
    void ParseExpression(const QString &text);

private:
    void parseLevel(int level, const QString &text);
    void parseFactor(const QString &text);
    void parseNumber(const QString &text);
    void parseName(const QString &text);
    bool putField(const QString &text);
    void putEnvironmentElement(const QString &text);

    std::unique_ptr<TBRFiFo> m_fifo;
    QList<TBRDataSet *> m_dataSets;
    TBREvEnvironment *m_environment = nullptr;
    TBREvEnvironment *m_owner = nullptr;
    bool m_holdsGlobal = false;
    int m_depth = 0;
};
