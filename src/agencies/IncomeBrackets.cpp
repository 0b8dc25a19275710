#include "agencies/IncomeBrackets.h"

IncomeBrackets::IncomeBrackets(const std::array<double, Count> &limits)
{
    for (int b = 1; b <= Count; ++b) {
        Bracket &br = m_brackets[b - 1];
        br.lower = b == 1 ? -1.0 : limits[b - 2];
        br.upper = limits[b - 1];
    }
    m_brackets[9].singles = false;
    m_brackets[10].families = false;
    // Bracket 11 starts where 9 ends: single persons skip bracket 10.
    m_brackets[10].lower = limits[8];
}

bool IncomeBrackets::has(int b, Household h) const
{
    const Bracket &br = bracket(b);
    return h == Household::Single ? br.singles : br.families;
}

bool IncomeBrackets::contains(int b, double venitm, int members) const
{
    if (members < 1 || !has(b, household(members)))
        return false;
    const Bracket &br = bracket(b);
    return venitm > br.lower && venitm <= br.upper;
}
