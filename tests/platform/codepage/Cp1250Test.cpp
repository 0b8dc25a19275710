#include "platform/codepage/Cp1250.h"

#include <QProcess>
#include <gtest/gtest.h>

TEST(Cp1250, EveryByteRoundTrips)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = Cp1250::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Cp1250::encode(text), all);
    EXPECT_TRUE(Cp1250::canEncode(text));
}

// Python's codec is an independent table: every byte it defines must decode alike.
TEST(Cp1250, AgreesWithPythonCodec)
{
    QProcess py;
    py.start("/usr/bin/python3", {"-c",
        "import sys\n"
        "for b in range(128,256):\n"
        "  try: print(b, ord(bytes([b]).decode('cp1250')))\n"
        "  except UnicodeDecodeError: pass\n"});
    ASSERT_TRUE(py.waitForFinished(30000));
    const QList<QByteArray> lines = py.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 123); // five bytes are undefined
    for (const QByteArray &line : lines) {
        const QList<QByteArray> f = line.split(' ');
        const int byte = f[0].toInt();
        EXPECT_EQ(Cp1250::toUnicode(static_cast<unsigned char>(byte)).unicode(), f[1].toUInt())
            << "byte " << byte;
    }
}

TEST(Cp1250, RomanianLetters)
{
    struct { const char16_t *text; const char *bytes; } rows[] = {
        {u"ăâîşţĂÂÎŞŢ", "\xE3\xE2\xEE\xBA\xFE\xC3\xC2\xCE\xAA\xDE"},
        // Comma-below forms are written as the cedilla forms the code page holds.
        {u"șțȘȚ", "\xBA\xFE\xAA\xDE"},
        {u"Ştefan", "\xAAtefan"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(Cp1250::encode(QString::fromUtf16(r.text)), QByteArray(r.bytes));
}

TEST(Cp1250, UnknownCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(Cp1250::encode(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
    // One character outside the BMP is one question mark, not two.
    EXPECT_EQ(Cp1250::encode(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y"));
    EXPECT_FALSE(Cp1250::canEncode(QStringLiteral("\u4e2d")));
    char b = 0;
    EXPECT_FALSE(Cp1250::fromUnicode(QChar(0x4e2d), &b));
    EXPECT_EQ(b, '?');
    EXPECT_TRUE(Cp1250::fromUnicode(QChar(0), &b));
    EXPECT_EQ(b, '\0');
    // Into a room of two bytes: the pair is one byte and the text is cut.
    char room[4] = {'.', '.', '.', '.'};
    EXPECT_EQ(Cp1250::encode(QString::fromUtf8("\xF0\x9F\x98\x80" "ab"), room, 2), 2);
    EXPECT_EQ(QByteArray(room, 4), QByteArray("?a.."));
}
