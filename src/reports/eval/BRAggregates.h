#pragma once

#include "reports/eval/BREvElements.h"

// Running totals over the records of a report. State changes only in
// Aggregate (aggregate mode); a plain evaluation reports the state.
class TBRFunctionSUM : public TBREvElementFunction
{
public:
    TBRFunctionSUM() { IsAggregate = true; }
    void Aggregate() override;
    TBREvResult Calculate() override;
    void Reset() override { m_hasValue = false; }

protected:
    bool m_hasValue = false;
    TBREvResult m_running;
};

class TBRFunctionAVERAGE : public TBRFunctionSUM
{
public:
    void Aggregate() override;
    TBREvResult Calculate() override;
    void Reset() override;

private:
    int m_count = 0;
    TBREvResult m_result = TBREvResult::floating(0.0);
};

// MAX and MIN: the value is replaced when a new one is strictly beyond it.
class TBRExtremeFunction : public TBREvElementFunction
{
public:
    TBRExtremeFunction() { IsAggregate = true; }
    void Aggregate() override;
    TBREvResult Calculate() override;
    void Reset() override { m_hasValue = false; }

protected:
    // +1 for MAX, -1 for MIN.
    virtual int Direction() const = 0;

private:
    bool m_hasValue = false;
    TBREvResult m_running;
};
class TBRFunctionMAX : public TBRExtremeFunction { int Direction() const override { return 1; } };
class TBRFunctionMIN : public TBRExtremeFunction { int Direction() const override { return -1; } };

class TBRFunctionCOUNT : public TBREvElementFunction
{
public:
    TBRFunctionCOUNT() { IsAggregate = true; }
    TBREvResult Evaluate(TBRFiFo &fifo) override;
    void Reset() override { m_counter = 0; }

private:
    qint32 m_counter = 0;
};
