#include "core/TextChecks.h"

#include <gtest/gtest.h>

namespace {

struct CheckCase
{
    const char *name;
    const char16_t *text;
    bool ok;
};

std::string caseName(const ::testing::TestParamInfo<CheckCase> &info)
{
    return info.param.name;
}

class Email : public ::testing::TestWithParam<CheckCase>
{
};
TEST_P(Email, AcceptsOnlyUsualAddresses)
{
    EXPECT_EQ(TextChecks::checkEmail(QString::fromUtf16(GetParam().text)), GetParam().ok);
}
INSTANTIATE_TEST_SUITE_P(Cases, Email,
    ::testing::Values(
        CheckCase{"plain", u"primaria@comuna.ro", true},
        CheckCase{"dots_and_plus", u"ion.popescu+ajutor@mail.example.com", true},
        CheckCase{"blanks_around", u"  a@b.ro ", true},
        CheckCase{"no_at", u"primaria.comuna.ro", false},
        CheckCase{"two_ats", u"a@b@c.ro", false},
        CheckCase{"no_domain_dot", u"a@localhost", false},
        CheckCase{"empty_local", u"@comuna.ro", false},
        CheckCase{"leading_dot", u".a@comuna.ro", false},
        CheckCase{"double_dot", u"a..b@comuna.ro", false},
        CheckCase{"domain_hyphen_edge", u"a@-comuna.ro", false},
        CheckCase{"short_tld", u"a@comuna.r", false},
        CheckCase{"blank_inside", u"ion popescu@comuna.ro", false},
        CheckCase{"diacritics", u"\u0219tefan@comuna.ro", false},
        CheckCase{"empty", u"", false}),
    caseName);

class Phone : public ::testing::TestWithParam<CheckCase>
{
};
TEST_P(Phone, TenDigitsWithARomanianPrefix)
{
    EXPECT_EQ(TextChecks::checkPhone(QString::fromUtf16(GetParam().text)), GetParam().ok);
}
INSTANTIATE_TEST_SUITE_P(Cases, Phone,
    ::testing::Values(
        CheckCase{"mobile", u"0740123456", true},
        CheckCase{"landline_03", u"0334 123 456", true},
        CheckCase{"bucharest_02", u"021-312.34.56", true},
        CheckCase{"prefix_01", u"(01) 2345678", false},  // nine digits
        CheckCase{"prefix_01_ten", u"0123456789", true},
        CheckCase{"prefix_04", u"0412345678", false},
        CheckCase{"eleven_digits", u"07401234567", false},
        CheckCase{"international", u"+40740123456", false},
        CheckCase{"no_leading_zero", u"7401234560", false},
        CheckCase{"empty", u"", false}),
    caseName);

TEST(CleanText, TrimsQuotesAndDoubleBlanks)
{
    EXPECT_EQ(TextChecks::cleanText(u"  Asociatia \"Speranta\"   Bacau  "), QStringLiteral("Asociatia Speranta Bacau"));
    EXPECT_EQ(TextChecks::cleanText(u"\"\""), QString());
    EXPECT_EQ(TextChecks::cleanText(u"a\"\"b"), QStringLiteral("a b"));
    EXPECT_EQ(TextChecks::cleanText(u"\u0218tefan  \u0163"), QStringLiteral("\u0218tefan \u0163"));
}

TEST(ReplaceAll, ReplacesEveryOccurrenceAndNeverLoops)
{
    EXPECT_EQ(TextChecks::replaceAll(QStringLiteral("a,b,,c"), QStringLiteral(","), QStringLiteral(";")),
              QStringLiteral("a;b;;c"));
    // The replacement contains what is searched: it must not be searched again.
    EXPECT_EQ(TextChecks::replaceAll(QStringLiteral("aa"), QStringLiteral("a"), QStringLiteral("aa")),
              QStringLiteral("aaaa"));
    // An empty search changes nothing rather than inserting between characters.
    EXPECT_EQ(TextChecks::replaceAll(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(TextChecks::replaceAll(QStringLiteral("[JUDET] [judet]"), QStringLiteral("[JUDET]"), QStringLiteral("BACAU")),
              QStringLiteral("BACAU [judet]"));
}

} // namespace
