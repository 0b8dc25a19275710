#include "remote/ReplyFile.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplyFile, RefusesWhatWouldWriteAnythingWrong)
{
    struct Case
    {
        const char *name;
        QByteArray reply;
        bool accepted;
    };
    const Case cases[] = {
        {"two attachments, taken in order", "#ATTACH Stoc.dbf : 3\r\n#ATTACH 7 : 2\r\n/END\r\nabcde", true},
        {"no attachments", "/DATAIN 01.12.2026\r\n/end\r\n", true},
        {"parent folder", "#ATTACH .. : 1\r\n/END\r\nx", false},
        {"dots inside the name", "#ATTACH a..b : 1\r\n/END\r\nx", false},
        {"folder part", "#ATTACH Temp/a : 1\r\n/END\r\nx", false},
        {"backslash", "#ATTACH Temp\\a : 1\r\n/END\r\nx", false},
        {"size not a number", "#ATTACH a : 1x\r\n/END\r\nx", false},
        // 19 digits may overflow a 64-bit size into 0, which the empty rest would match.
        {"size of 19 digits", "#ATTACH a : 9999999999999999999\r\n/END\r\n", false},
        {"no size", "#ATTACH a\r\n/END\r\nx", false},
        {"sizes short of the bytes", "#ATTACH a : 1\r\n/END\r\nxy", false},
        {"sizes past the bytes", "#ATTACH a : 3\r\n/END\r\nxy", false},
        {"bytes without an attachment", "/END\r\nxy", false},
        {"no /END", "/MSG_DLG salut\r\n", false},
    };
    for (const Case &c : cases) {
        bool accepted = true;
        try {
            const ReplyFile r = ReplyFile::parse(c.reply, c.reply.size());
            if (c.accepted && !r.attachments.isEmpty()) {
                EXPECT_EQ(r.attachments[0].offset, c.reply.indexOf("/END\r\n") + 6) << c.name;
                EXPECT_EQ(r.attachments[1].offset, r.attachments[0].offset + 3) << c.name;
                EXPECT_EQ(r.attachments[1].line, 1) << c.name;
            }
        } catch (const ReplyError &) {
            accepted = false;
        }
        EXPECT_EQ(accepted, c.accepted) << c.name;
    }
}

TEST(ReplyFile, SplitsKeywordAndArgument)
{
    using P = std::pair<QString, QString>;
    EXPECT_EQ(ReplyFile::split(QStringLiteral("/pass  no ")), (P{"/PASS", "no"}));
    // A line without a blank is compared whole, as it stands.
    EXPECT_EQ(ReplyFile::split(QStringLiteral("/end")), (P{"/end", ""}));
    EXPECT_EQ(ReplyFile::split(QStringLiteral("/MSG_DLG ") + QString(1200, u'x')).second.size(), 1000);
}

} // namespace
