#pragma once

#include <QtGlobal>

#include <array>

// The aid-amount bracket table (Lim1..Lim11 upper incomes per member, Cu1..Cu11
// monthly amounts, whole lei) and the rule that turns a household's income
// into its monthly aid.
struct AidBrackets
{
    std::array<int, 11> lim;
    std::array<int, 11> cu;

    // The firewood brackets of the 2022 heating season.
    static AidBrackets season2022();

    // 0 when not entitled or without members. With m = income / members: m
    // above Lim11 gives 0; one member above Lim10 gets Cu11; otherwise the
    // first bracket whose limit is not below m. Compared in whole bani, so no
    // rounding of m decides a border case.
    int amount(int members, bool entitled, qint64 incomeBani) const;
};
