#include "reports/model/BRPrinterSettings.h"

#include <iterator>

namespace {

const int BinCodes[] = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

} // namespace

int binCode(TBRBin bin)
{
    return BinCodes[int(bin)];
}

TBRBin binOfCode(int code)
{
    for (int i = 0; i < int(std::size(BinCodes)); ++i)
        if (BinCodes[i] == code)
            return TBRBin(i);
    return TBRBin::First;
}
