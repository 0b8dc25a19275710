// Report expressions from anywhere: preparing and evaluating must end with a
// value (an error value at worst), never a crash, a hang or an exception.
#include "reports/eval/BREnvironment.h"
#include "reports/eval/BREvaluator.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    TBREvEnvironment env;
    env.AddFunction(QStringLiteral("V"), text);
    env.AddFunction(QStringLiteral("W"), QStringLiteral("V+1"));
    env.Prepare();
    TBREvaluator ev;
    ev.SetEnvironment(&env);
    ev.Prepare(text);
    const TBREvResult r = ev.Value();
    ev.UpdateAggregates();
    ev.UpdateAggregates();
    ev.Value();
    ev.Reset();
    ev.Unprepare();
    env.Unprepare();
    if (r.stringValue.size() > TBREvResult::MaxText)
        __builtin_trap();
    if (GlobalEnvironment().PrepareCount() != 0)
        __builtin_trap();
    return 0;
}
