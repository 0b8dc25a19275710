#include "sample-data/AidBrackets.h"

AidBrackets AidBrackets::season2022()
{
    return AidBrackets{{200, 320, 440, 560, 680, 920, 1040, 1160, 1280, 1386, 2053},
                       {320, 294, 267, 240, 214, 187, 160, 134, 107, 80, 80}};
}

int AidBrackets::amount(int members, bool entitled, qint64 incomeBani) const
{
    if (!entitled || members <= 0)
        return 0;
    // m <= limit  <=>  income <= limit * 100 * members
    const auto within = [&](int limit) { return incomeBani <= qint64(limit) * 100 * members; };
    if (!within(lim[10]))
        return 0;
    if (members == 1 && !within(lim[9]))
        return cu[10];
    for (int i = 0; i < 10; ++i)
        if (within(lim[i]))
            return cu[i];
    return 0;
}
