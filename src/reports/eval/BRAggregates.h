#pragma once

#include "reports/eval/BREvElements.h"

// Running values over the records of a report. State changes only in
// Aggregate (aggregate mode); a plain evaluation reports the state: integer 0
// before any record.
class TBRRunningFunction : public TBREvElementFunction
{
public:
    TBRRunningFunction() { IsAggregate = true; }
    TBREvResult Calculate() override { return m_hasValue ? m_running : TBREvResult::integer(0); }
    void Reset() override { m_hasValue = false; }

protected:
    // Takes a wrong argument count (an error) or the first value (kept when
    // `accept` says so, else an error); false when the value is for the caller.
    bool TakeFirst(bool (*accept)(const TBREvResult &));
    bool m_hasValue = false;
    TBREvResult m_running;
};

class TBRFunctionSUM : public TBRRunningFunction
{
public:
    void Aggregate() override;
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
class TBRExtremeFunction : public TBRRunningFunction
{
public:
    void Aggregate() override;

protected:
    // +1 for MAX, -1 for MIN.
    virtual int Direction() const = 0;
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
