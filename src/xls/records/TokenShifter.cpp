#include "xls/records/TokenShifter.h"

namespace {
const TTokenShifter *GInstalledShifter = nullptr;
}

const TTokenShifter *TokenShifter()
{
    return GInstalledShifter;
}

void SetTokenShifter(const TTokenShifter *shifter)
{
    GInstalledShifter = shifter;
}
