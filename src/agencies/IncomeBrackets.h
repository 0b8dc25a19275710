#pragma once

#include <array>

// The eleven income brackets of the county's annexes. Bracket b covers the
// incomes per member above its lower limit and up to its upper limit; bracket
// 10 holds families only and bracket 11 single persons only, from Lim9 up to
// Lim11, so a single person above Lim9 counts in 11 even below Lim10.
class IncomeBrackets
{
public:
    static constexpr int Count = 11;

    enum class Household { Family, Single };

    struct Bracket
    {
        double lower = 0;  // exclusive
        double upper = 0;  // inclusive
        bool families = true;
        bool singles = true;
    };

    // From the upper limits Lim1..Lim11.
    explicit IncomeBrackets(const std::array<double, Count> &limits);

    const Bracket &bracket(int b) const { return m_brackets[b - 1]; }
    // Whether a request of that income and household belongs to bracket b.
    bool contains(int b, double venitm, int members) const;
    static Household household(int members) { return members == 1 ? Household::Single : Household::Family; }
    // Whether bracket b has a cell for that household.
    bool has(int b, Household h) const;

private:
    std::array<Bracket, Count> m_brackets;
};
