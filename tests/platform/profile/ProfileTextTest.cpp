#include "platform/profile/ProfileError.h"
#include "platform/profile/ProfileText.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

struct ReadRow
{
    const char *name;
    QByteArray bytes;
    const char *section;
    const char *key;
    std::optional<QString> expected; // nullopt: the key is absent
};

class ProfileRead : public testing::TestWithParam<ReadRow>
{
};

TEST_P(ProfileRead, Value)
{
    const ReadRow &r = GetParam();
    const ProfileText t = ProfileText::parse(r.bytes);
    const QString sec = QString::fromUtf8(r.section), key = QString::fromUtf8(r.key);
    EXPECT_EQ(t.contains(sec, key), r.expected.has_value());
    EXPECT_EQ(t.value(sec, key, QStringLiteral("<lipsa>")), r.expected.value_or(QStringLiteral("<lipsa>")));
}

const QByteArray kSettings = "[SETARI]\r\nLocalitate=Agas\r\nCodJud=4\r\n\r\n[INDEX]\r\nNRCRT=17\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, ProfileRead,
    testing::Values(
        ReadRow{"plain", kSettings, "SETARI", "Localitate", QStringLiteral("Agas")},
        ReadRow{"section_and_key_any_case", kSettings, "setari", "LOCALITATE", QStringLiteral("Agas")},
        ReadRow{"key_of_other_section_absent", kSettings, "INDEX", "CodJud", std::nullopt},
        ReadRow{"missing_section", kSettings, "CONST", "Lansat", std::nullopt},
        ReadRow{"empty_file", "", "SETARI", "Localitate", std::nullopt},
        ReadRow{"blanks_around_names_and_value", "  [ SETARI ]  \r\n\t Primar  =  Ion Pop \t\r\n", "SETARI",
                "Primar", QStringLiteral("Ion Pop")},
        // The first "=" splits; the rest belongs to the value, unescaped.
        ReadRow{"value_holds_equals", "[S]\r\nF=a=b==c\r\n", "S", "F", QStringLiteral("a=b==c")},
        ReadRow{"value_holds_semicolon_and_quotes", "[S]\r\nF=\"x\"; y\r\n", "S", "F", QStringLiteral("\"x\"; y")},
        ReadRow{"present_but_empty_is_not_default", "[S]\r\nF=\r\n", "S", "F", QString()},
        ReadRow{"first_duplicate_key_wins", "[S]\r\nF=1\r\nf=2\r\n", "S", "F", QStringLiteral("1")},
        ReadRow{"first_duplicate_section_wins", "[S]\r\nA=1\r\n[s]\r\nA=2\r\nB=3\r\n", "S", "B", std::nullopt},
        ReadRow{"comment_is_no_key", "[S]\r\n;F=1\r\n", "S", ";F", std::nullopt},
        ReadRow{"line_without_equals_is_no_key", "[S]\r\nF\r\n", "S", "F", std::nullopt},
        ReadRow{"line_starting_with_equals_is_no_key", "[S]\r\n=5\r\n", "S", "", std::nullopt},
        ReadRow{"key_before_any_section_ignored", "F=1\r\n[S]\r\n", "S", "F", std::nullopt},
        ReadRow{"lf_line_ends", "[S]\nA=1\nB=2\n", "S", "B", QStringLiteral("2")},
        ReadRow{"cr_line_ends", "[S]\rA=1\rB=2", "S", "B", QStringLiteral("2")},
        ReadRow{"head_without_bracket", "[S\r\nA=1\r\n", "S", "A", QStringLiteral("1")},
        ReadRow{"numeric_section", "[92]\r\nServer=/srv/date\r\n", "92", "Server", QStringLiteral("/srv/date")},
        ReadRow{"cp1250_text", "[S]\r\nPrimar=\xAA\x74\x65\x66\x61n \xDE\xE2\x72\xE3nu\r\n", "S", "Primar",
                QStringLiteral(u"Ştefan Ţârănu")},
        ReadRow{"cp1250_key_any_case", "[S]\r\n\xCEntocmit=x\r\n", "S", "\xC3\xAEntocmit", QStringLiteral("x")}),
    [](const auto &info) { return std::string(info.param.name); });

struct WriteRow
{
    const char *name;
    QByteArray before;
    std::function<void(ProfileText &)> change;
    QByteArray after;
};

class ProfileWrite : public testing::TestWithParam<WriteRow>
{
};

TEST_P(ProfileWrite, Bytes)
{
    const WriteRow &r = GetParam();
    ProfileText t = ProfileText::parse(r.before);
    r.change(t);
    EXPECT_EQ(t.toBytes(), r.after);
    // What was written reads back the same way.
    EXPECT_EQ(ProfileText::parse(t.toBytes()).toBytes(), r.after);
}

void set(ProfileText &t, const char16_t *s, const char16_t *k, const char16_t *v)
{
    t.setValue(QString::fromUtf16(s), QString::fromUtf16(k), QString::fromUtf16(v));
}

const QByteArray kCommented = "; setari comuna\r\n[SETARI]\r\nLocalitate=Agas\r\n; semnaturi\r\nPrimar=Ion\r\n"
                              "\r\n[INDEX]\r\nNRCRT=17\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, ProfileWrite,
    testing::Values(
        WriteRow{"replace_keeps_everything_else", kCommented,
                 [](ProfileText &t) { set(t, u"setari", u"PRIMAR", u"Ana"); },
                 "; setari comuna\r\n[SETARI]\r\nLocalitate=Agas\r\n; semnaturi\r\nPrimar=Ana\r\n"
                 "\r\n[INDEX]\r\nNRCRT=17\r\n"},
        WriteRow{"new_key_after_last_key_of_its_section", kCommented,
                 [](ProfileText &t) { set(t, u"SETARI", u"CodJud", u"4"); },
                 "; setari comuna\r\n[SETARI]\r\nLocalitate=Agas\r\n; semnaturi\r\nPrimar=Ion\r\nCodJud=4\r\n"
                 "\r\n[INDEX]\r\nNRCRT=17\r\n"},
        WriteRow{"new_key_in_section_without_keys", "[A]\r\n\r\n[B]\r\n",
                 [](ProfileText &t) { set(t, u"A", u"k", u"v"); }, "[A]\r\nk=v\r\n\r\n[B]\r\n"},
        WriteRow{"new_section_at_end", kCommented, [](ProfileText &t) { set(t, u"CONST", u"Lansat", u"NU"); },
                 kCommented + "[CONST]\r\nLansat=NU\r\n"},
        WriteRow{"into_empty_file", "", [](ProfileText &t) { set(t, u"92", u"Server", u""); },
                 "[92]\r\nServer=\r\n"},
        WriteRow{"lf_file_comes_back_crlf", "[S]\nA=1\n", [](ProfileText &t) { set(t, u"S", u"A", u"2"); },
                 "[S]\r\nA=2\r\n"},
        WriteRow{"last_line_gets_its_end", "[S]\r\nA=1", [](ProfileText &t) { set(t, u"S", u"B", u"2"); },
                 "[S]\r\nA=1\r\nB=2\r\n"},
        WriteRow{"first_of_duplicates_changes", "[S]\r\nA=1\r\nA=2\r\n",
                 [](ProfileText &t) { set(t, u"S", u"a", u"9"); }, "[S]\r\nA=9\r\nA=2\r\n"},
        WriteRow{"value_unescaped", "", [](ProfileText &t) { set(t, u"S", u"F", u"a=b; \"c\""); },
                 "[S]\r\nF=a=b; \"c\"\r\n"},
        // A line break would let a value start a section or key of its own.
        WriteRow{"line_breaks_in_value_become_blanks", "",
                 [](ProfileText &t) { set(t, u"S", u"F", u"x\r\n[INDEX]\nNRCRT=1"); },
                 "[S]\r\nF=x  [INDEX] NRCRT=1\r\n"},
        WriteRow{"cp1250_written", "", [](ProfileText &t) { set(t, u"S", u"Judet", u"Ştefan ș ț ă"); },
                 "[S]\r\nJudet=\xAAtefan \xBA \xFE \xE3\r\n"},
        WriteRow{"remove_key_only_its_line", kCommented,
                 [](ProfileText &t) { EXPECT_TRUE(t.removeKey(QStringLiteral("setari"), QStringLiteral("localitate"))); },
                 "; setari comuna\r\n[SETARI]\r\n; semnaturi\r\nPrimar=Ion\r\n\r\n[INDEX]\r\nNRCRT=17\r\n"},
        WriteRow{"remove_missing_key_changes_nothing", kCommented,
                 [](ProfileText &t) { EXPECT_FALSE(t.removeKey(QStringLiteral("INDEX"), QStringLiteral("Primar"))); },
                 kCommented},
        WriteRow{"removed_duplicate_uncovers_the_next", "[S]\r\nA=1\r\nA=2\r\n",
                 [](ProfileText &t) {
                     t.removeKey(QStringLiteral("S"), QStringLiteral("A"));
                     EXPECT_EQ(t.value(QStringLiteral("S"), QStringLiteral("A")), QStringLiteral("2"));
                 },
                 "[S]\r\nA=2\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ProfileText, SectionsAndKeysInFileOrderWithoutDuplicates)
{
    const ProfileText t = ProfileText::parse("x=0\r\n[SETARI]\r\nB=1\r\n; c\r\nA=2\r\nb=3\r\n[INDEX]\r\n[setari]\r\nZ=1\r\n");
    EXPECT_EQ(t.sections(), (QStringList{"SETARI", "INDEX"}));
    EXPECT_EQ(t.keys(QStringLiteral("setari")), (QStringList{"B", "A"}));
    EXPECT_TRUE(t.keys(QStringLiteral("INDEX")).isEmpty());
    EXPECT_TRUE(t.keys(QStringLiteral("CONST")).isEmpty());
}

TEST(ProfileText, NamesThatCannotStandInTheFileAreRefused)
{
    const struct { const char16_t *section, *key; } rows[] = {
        {u"", u"k"}, {u"  ", u"k"}, {u"A]B", u"k"}, {u"A\nB", u"k"},
        {u"S", u""}, {u"S", u"a=b"}, {u"S", u";k"}, {u"S", u"[k"}, {u"S", u"k\rx"},
    };
    for (const auto &r : rows) {
        ProfileText t = ProfileText::parse("[S]\r\nA=1\r\n");
        EXPECT_THROW(t.setValue(QString::fromUtf16(r.section), QString::fromUtf16(r.key), QStringLiteral("v")),
                     ProfileError)
            << QString::fromUtf16(r.section).toStdString() << "/" << QString::fromUtf16(r.key).toStdString();
        EXPECT_EQ(t.toBytes(), QByteArray("[S]\r\nA=1\r\n"));
    }
}

TEST(ProfileText, BlanksAroundValueAreLostAsOnWindows)
{
    ProfileText t;
    t.setValue(QStringLiteral(" S "), QStringLiteral(" K "), QStringLiteral("  v  "));
    EXPECT_EQ(t.toBytes(), QByteArray("[S]\r\nK=  v  \r\n"));
    EXPECT_EQ(t.value(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("v"));
}

} // namespace
