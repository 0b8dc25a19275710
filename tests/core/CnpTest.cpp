#include "TestSupport.h"

#include "core/Age.h"
#include "core/CNPEdit.h"
#include "core/Cnp.h"
#include "core/NumericF.h"

#include <gtest/gtest.h>

namespace {

struct CnpCase
{
    const char *name;
    const char16_t *code;
    bool valid;
};

class CnpValidity : public ::testing::TestWithParam<CnpCase>
{
};

TEST_P(CnpValidity, ChecksCenturyDateAndControlDigit)
{
    EXPECT_EQ(Cnp::isValid(QString::fromUtf16(GetParam().code)), GetParam().valid);
}

// Control digits worked out by hand with the weights 279146358279.
INSTANTIATE_TEST_SUITE_P(Cases, CnpValidity,
    ::testing::Values(
        CnpCase{"man_1980", u"1800101040017", true},
        CnpCase{"woman_1995", u"2951229041234", true},
        CnpCase{"boy_2002", u"5020229045672", false},        // 2002 has no 29 February
        CnpCase{"girl_leap_2000", u"6000229040011", true},
        CnpCase{"man_1800s", u"3800101040010", true},
        CnpCase{"resident", u"7900101040014", true},
        CnpCase{"resident_leap_2000", u"7000229040013", true}, // 1900 had no 29 February, 2000 had
        CnpCase{"feb29_1900", u"1000229040012", false},      // 1900 was not a leap year
        CnpCase{"feb29_2000", u"5000229040011", true},
        CnpCase{"wrong_control", u"1800101040018", false},
        CnpCase{"sex_digit_zero", u"0800101040015", false},
        CnpCase{"month_13", u"1801301040011", false},
        CnpCase{"twelve_digits", u"180010104001", false},
        CnpCase{"fourteen_digits", u"18001010400170", false},
        CnpCase{"letter", u"18001010400A7", false},
        CnpCase{"empty", u"", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Cnp, ControlDigitTenBecomesOne)
{
    // 180010104005: the weighted sum leaves 10 over 11, written as 1.
    EXPECT_EQ(Cnp::controlDigit(u"180010104005"), 1);
    EXPECT_TRUE(Cnp::isValid(u"1800101040051"));
    EXPECT_FALSE(Cnp::isValid(u"1800101040050"));
    EXPECT_EQ(Cnp::controlDigit(u"18001010400"), -1);
}

struct BirthCase
{
    const char *name;
    const char16_t *code;
    QDate born;
};

class BirthDate : public ::testing::TestWithParam<BirthCase>
{
};

TEST_P(BirthDate, FromDigitsTwoToSeven)
{
    testApp();
    TCNPEdit edit;
    edit.setText(QString::fromUtf16(GetParam().code));
    EXPECT_EQ(edit.NascutLa(), GetParam().born);
}

INSTANTIATE_TEST_SUITE_P(Cases, BirthDate,
    ::testing::Values(
        BirthCase{"nineteen_hundreds", u"1800101040017", QDate(1980, 1, 1)},
        BirthCase{"two_thousands_5", u"5020228045672", QDate(2002, 2, 28)},
        BirthCase{"two_thousands_6", u"6000229040011", QDate(2000, 2, 29)},
        BirthCase{"digit_3_eighteen_hundreds", u"3800101040010", QDate(1880, 1, 1)},
        BirthCase{"digit_0_as_1900s", u"0800101", QDate(1980, 1, 1)},
        BirthCase{"seven_characters_enough", u"1951231", QDate(1995, 12, 31)},
        BirthCase{"six_characters_unknown", u"195123", QDate()},
        BirthCase{"letters_unknown", u"19A1231", QDate()},
        // Digits that form no date are unknown, not an error.
        BirthCase{"february_30_unknown", u"1950230040011", QDate()},
        BirthCase{"month_00_unknown", u"1950001", QDate()},
        BirthCase{"empty_unknown", u"", QDate()}),
    [](const auto &info) { return std::string(info.param.name); });

struct ResidentCase
{
    const char *name;
    const char16_t *code;
    QDate today;
    QDate born;
};

class ResidentBirthDate : public ::testing::TestWithParam<ResidentCase>
{
};

TEST_P(ResidentBirthDate, TwentiethCenturyOnlyWhenTheTwentyFirstLiesAhead)
{
    EXPECT_EQ(Cnp::birthDate(QString::fromUtf16(GetParam().code), GetParam().today), GetParam().born);
}

// Residents and foreigners (7, 8, 9) carry no century: a child must not be
// read as born a hundred years ago.
INSTANTIATE_TEST_SUITE_P(Cases, ResidentBirthDate,
    ::testing::Values(
        ResidentCase{"child_7", u"7150310", QDate(2026, 1, 1), QDate(2015, 3, 10)},
        ResidentCase{"child_9", u"9200101", QDate(2026, 1, 1), QDate(2020, 1, 1)},
        ResidentCase{"born_today_is_not_future", u"8260101", QDate(2026, 1, 1), QDate(2026, 1, 1)},
        ResidentCase{"tomorrow_is_last_century", u"8260102", QDate(2026, 1, 1), QDate(1926, 1, 2)},
        ResidentCase{"adult_8", u"8750615", QDate(2026, 1, 1), QDate(1975, 6, 15)},
        ResidentCase{"leap_2000", u"7000229", QDate(2026, 1, 1), QDate(2000, 2, 29)},
        ResidentCase{"no_such_day", u"7010229", QDate(2026, 1, 1), QDate()}),
    [](const auto &info) { return std::string(info.param.name); });

struct AgeCase
{
    const char *name;
    QDate born, on;
    int years;
};

class CalendarAge : public ::testing::TestWithParam<AgeCase>
{
};

TEST_P(CalendarAge, WholeYears)
{
    EXPECT_EQ(Age::years(GetParam().born, GetParam().on), GetParam().years);
}

INSTANTIATE_TEST_SUITE_P(Cases, CalendarAge,
    ::testing::Values(
        AgeCase{"day_before_birthday", QDate(2008, 5, 10), QDate(2026, 5, 9), 17},
        AgeCase{"on_birthday", QDate(2008, 5, 10), QDate(2026, 5, 10), 18},
        // Born on 29 February: a year older on 1 March of a common year.
        AgeCase{"leap_born_28_february", QDate(2008, 2, 29), QDate(2026, 2, 28), 17},
        AgeCase{"leap_born_1_march", QDate(2008, 2, 29), QDate(2026, 3, 1), 18},
        AgeCase{"leap_born_leap_year", QDate(2008, 2, 29), QDate(2028, 2, 29), 20},
        // On 29 February, those born on 28 February had their birthday yesterday.
        AgeCase{"on_leap_day", QDate(2006, 2, 28), QDate(2024, 2, 29), 18}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CNPEdit, EmptyIsCorrectOnlyWithAcceptGol)
{
    testApp();
    TCNPEdit edit;
    EXPECT_FALSE(edit.Corect());
    edit.AcceptGol = true;
    EXPECT_TRUE(edit.Corect());
    edit.setText(QStringLiteral("1800101040018"));
    EXPECT_FALSE(edit.Corect());
    edit.setText(QStringLiteral("1800101040017"));
    EXPECT_TRUE(edit.Corect());
}

struct NumberCase
{
    const char *name;
    const char16_t *text;
    double value;
};

class NumericValue : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NumericValue, ReadsPointDecimalsOrZero)
{
    testApp();
    TNumericF edit;
    edit.setText(QString::fromUtf16(GetParam().text));
    EXPECT_DOUBLE_EQ(edit.Valoare(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, NumericValue,
    ::testing::Values(
        NumberCase{"whole", u"1386", 1386.0},
        NumberCase{"decimal", u"12.5", 12.5},
        NumberCase{"leading_point", u".75", 0.75},
        NumberCase{"minus_leading_point", u"-.5", -0.5},
        NumberCase{"negative", u"-20", -20.0},
        // The user's locale never applies: a comma is no decimal separator.
        NumberCase{"comma_is_not_a_number", u"12,5", 0.0},
        NumberCase{"letters", u"abc", 0.0},
        NumberCase{"lone_minus", u"-", 0.0},
        NumberCase{"empty", u"", 0.0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NumericF, StartsAtZeroAndHoldsTenCharacters)
{
    testApp();
    TNumericF edit;
    EXPECT_EQ(edit.text(), QStringLiteral("0"));
    EXPECT_EQ(edit.maxLength(), 10);
}

} // namespace
