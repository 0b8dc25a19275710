#include "reports/eval/BRAggregates.h"

#include "reports/eval/BRFiFo.h"
#include "reports/eval/BRMessages.h"

bool TBRRunningFunction::TakeFirst(bool (*accept)(const TBREvResult &))
{
    if (ArgCount() != 1 || !m_hasValue) {
        m_running = ArgCount() == 1 && accept(Arg(0)) ? Arg(0) : TBREvResult::error();
        m_hasValue = true;
        return true;
    }
    return m_running.isError(); // an error stays
}

void TBRFunctionSUM::Aggregate()
{
    if (TakeFirst([](const TBREvResult &v) { return v.isNumeric(); }))
        return;
    const TBREvResult &v = Arg(0);
    if (v.kind == TBREvKind::String) {
        m_running = TBREvResult::error();
    } else if (v.kind == TBREvKind::Integer && m_running.kind == TBREvKind::Integer) {
        m_running.intValue = qint32(quint32(m_running.intValue) + quint32(v.intValue));
    } else if (v.isNumeric()) {
        // Integers and floats mixed: the total becomes a float.
        m_running = TBREvResult::floating(m_running.asDouble() + v.asDouble());
    }
}

void TBRFunctionAVERAGE::Aggregate()
{
    TBRFunctionSUM::Aggregate();
    ++m_count;
    m_result = m_running.isNumeric() ? TBREvResult::floating(m_running.asDouble() / m_count) : TBREvResult::error();
}

TBREvResult TBRFunctionAVERAGE::Calculate()
{
    return m_result;
}

void TBRFunctionAVERAGE::Reset()
{
    TBRFunctionSUM::Reset();
    m_count = 0;
    m_result = TBREvResult::floating(0.0);
}

void TBRExtremeFunction::Aggregate()
{
    if (TakeFirst([](const TBREvResult &) { return true; }))
        return;
    const TBREvResult &v = Arg(0);
    if (v.isError())
        return;
    int c = 0;
    if (v.isNumeric() && m_running.isNumeric())
        c = v.asDouble() < m_running.asDouble() ? -1 : (v.asDouble() > m_running.asDouble() ? 1 : 0);
    else if (v.kind == m_running.kind)
        c = compareSameKind(v, m_running);
    // A value of another kind does not compare, and is passed over.
    if (c * Direction() > 0)
        m_running = v;
}

TBREvResult TBRFunctionCOUNT::Evaluate(TBRFiFo &fifo)
{
    CollectArguments(fifo);
    const bool extra = ArgCount() > 0;
    Arguments.clear();
    if (extra)
        return TBREvResult::error(QString::fromLatin1(BRText::CountPrefix) + QString::fromLatin1(BRText::TooManyArguments));
    if (fifo.AggregateMode)
        m_counter = qint32(quint32(m_counter) + 1u);
    return TBREvResult::integer(m_counter);
}
