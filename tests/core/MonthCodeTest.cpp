#include "core/MonthCode.h"

#include <gtest/gtest.h>

namespace {

struct IndexCase
{
    const char *name;
    const char16_t *text;
    int code;
};

class MonthIndex : public ::testing::TestWithParam<IndexCase>
{
};

TEST_P(MonthIndex, ParsesOrGivesZero)
{
    const IndexCase &c = GetParam();
    EXPECT_EQ(MonthCode::index(QString::fromUtf16(c.text)), c.code);
}

INSTANTIATE_TEST_SUITE_P(Cases, MonthIndex,
    ::testing::Values(
        IndexCase{"december", u"12.2022", 2022 * 12 + 11},
        IndexCase{"january", u"01.2023", 2023 * 12},
        IndexCase{"one_digit_month", u"1.2023", 2023 * 12},
        // Only the first "." splits: "11.2022.5" has a year part "2022.5".
        IndexCase{"second_dot_is_no_year", u"11.2022.5", 0},
        IndexCase{"month_zero", u"00.2022", 0},
        IndexCase{"month_thirteen", u"13.2022", 0},
        IndexCase{"negative_month", u"-1.2022", 0},
        IndexCase{"no_dot", u"112022", 0},
        IndexCase{"empty", u"", 0},
        IndexCase{"letters", u"ab.2022", 0},
        IndexCase{"no_year", u"11.", 0},
        IndexCase{"year_zero", u"05.0000", 0},
        IndexCase{"blanks_around_parts", u" 03 . 2021 ", 2021 * 12 + 2},
        IndexCase{"huge_year_does_not_overflow", u"01.99999999999", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MonthCode, TextIsTheInverseOfIndex)
{
    for (int code : {2022 * 12 + 10, 2023 * 12, 1999 * 12 + 11, 12})
        EXPECT_EQ(MonthCode::index(MonthCode::text(code)), code) << code;
    EXPECT_EQ(MonthCode::text(2022 * 12 + 2), QStringLiteral("03.2022"));
    EXPECT_EQ(MonthCode::text(0), QString());
}

TEST(MonthCode, RomanianNamesAndNothingOutsideTheYear)
{
    EXPECT_EQ(MonthCode::name(1), QStringLiteral("Ianuarie"));
    EXPECT_EQ(MonthCode::name(11), QStringLiteral("Noiembrie"));
    EXPECT_EQ(MonthCode::name(12), QStringLiteral("Decembrie"));
    EXPECT_EQ(MonthCode::name(0), QString());
    EXPECT_EQ(MonthCode::name(13), QString());
}

} // namespace
