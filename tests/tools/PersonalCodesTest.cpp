#include "sample-data/AidBrackets.h"
#include "sample-data/PersonalCodes.h"

#include <gtest/gtest.h>

namespace {

// Expected codes computed with the published rules by Python, not by this code.
TEST(PersonalCodes, CnpControlDigit)
{
    const struct { const char *name; bool male; QDate born; int county; int serial; const char *cnp; } rows[] = {
        {"man_of_1980", true, QDate(1980, 1, 1), 22, 114, "1800101221144"},
        {"woman_born_on_leap_day_2004", false, QDate(2004, 2, 29), 12, 1, "6040229120014"},
        // A remainder of 10 gives the control digit 1.
        {"remainder_ten_gives_one", false, QDate(1990, 3, 15), 4, 6, "2900315040061"},
        {"widest_county_and_serial", true, QDate(2099, 12, 31), 40, 999, "5991231409993"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(PersonalCodes::cnp(r.male, r.born, r.county, r.serial), QString::fromLatin1(r.cnp)) << r.name;
}

TEST(PersonalCodes, Iban)
{
    const struct { const char *name; const char *bank; const char *account; const char *iban; } rows[] = {
        {"published_example", "AAAA", "1B31007593840000", "RO49AAAA1B31007593840000"},
        {"letter_inside_account", "BTRL", "0000A00000123456", "RO75BTRL0000A00000123456"},
        // Check digits below 10 keep their leading zero.
        {"single_digit_check", "RNCB", "0000000000000001", "RO13RNCB0000000000000001"},
    };
    for (const auto &r : rows) {
        const QString iban = PersonalCodes::iban(QString::fromLatin1(r.bank), QString::fromLatin1(r.account));
        EXPECT_EQ(iban, QString::fromLatin1(r.iban)) << r.name;
        EXPECT_EQ(PersonalCodes::ibanRemainder(iban), 1) << r.name;
    }
    // One changed character is caught.
    EXPECT_NE(PersonalCodes::ibanRemainder(QStringLiteral("RO49AAAA1B31007593840001")), 1);
}

TEST(PersonalCodes, FiscalCodeControlDigit)
{
    const struct { const char *name; const char *leading; int digit; } rows[] = {
        // 0,0,1,4,3,9,9,8,4 by 7,5,3,2,1,7,5,3,2 is 154; 1540 mod 11 is 0.
        {"seven_digits_padded", "1439984", 0},
        // 4,0,0,0,0,0,1,2,4 gives 47; 470 mod 11 is 8.
        {"nine_digits", "400000124", 8},
        // 6 by 2 is 12; 120 mod 11 is 10, which becomes 0.
        {"remainder_ten_gives_zero", "6", 0},
    };
    for (const auto &r : rows)
        EXPECT_EQ(PersonalCodes::cifControlDigit(QString::fromLatin1(r.leading)), r.digit) << r.name;
}

AidBrackets distinctTable()
{
    // The season's table, but with a Cu11 unlike Cu10 so the one-member rule shows.
    AidBrackets b = AidBrackets::season2022();
    b.cu[10] = 55;
    return b;
}

TEST(AidBrackets, Amount)
{
    const AidBrackets b = distinctTable();
    const struct { const char *name; int members; bool entitled; qint64 bani; int amount; } rows[] = {
        {"not_entitled", 2, false, 0, 0},
        {"no_members", 0, true, 0, 0},
        {"no_income", 3, true, 0, 320},
        {"exactly_first_limit", 2, true, 40000, 320},      // m = 200: the limit is not below m
        {"a_ban_over_first_limit", 1, true, 20001, 294},
        // 600.01 / 3 = 200.0033...: above 200 although it prints as 200.00.
        {"share_just_over_a_limit", 3, true, 60001, 294},
        {"middle_bracket", 4, true, 4 * 100000, 160},      // m = 1000: Lim7 = 1040
        {"tenth_limit", 2, true, 2 * 138600, 80},
        {"family_over_tenth_limit_gets_nothing", 2, true, 2 * 138600 + 2, 0},
        {"single_over_tenth_limit_gets_last_amount", 1, true, 138601, 55},
        {"single_at_ceiling", 1, true, 205300, 55},
        {"single_over_ceiling", 1, true, 205301, 0},
        {"family_over_ceiling", 5, true, 5 * 205300 + 1, 0},
    };
    for (const auto &r : rows)
        EXPECT_EQ(b.amount(r.members, r.entitled, r.bani), r.amount) << r.name;
}

TEST(AidBrackets, SeasonTable)
{
    const AidBrackets b = AidBrackets::season2022();
    EXPECT_EQ(b.lim, (std::array<int, 11>{200, 320, 440, 560, 680, 920, 1040, 1160, 1280, 1386, 2053}));
    EXPECT_EQ(b.cu, (std::array<int, 11>{320, 294, 267, 240, 214, 187, 160, 134, 107, 80, 80}));
}

} // namespace
