#include "xls/support/ErrorOf.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}


} // namespace

TEST(ByteUtils, LittleEndianLayout)
{
    const QByteArray data = bytes({0x34, 0x12, 0x78, 0x56, 0xFF, 0xFF});
    EXPECT_EQ(ReadWord(data, 0), 0x1234);
    EXPECT_EQ(ReadWord(data, 4), 0xFFFF);
    EXPECT_EQ(ReadCardinal(data, 0), 0x56781234u);

    QByteArray out(6, '\0');
    WriteWord(out, 0, 0xBEEF);
    WriteCardinal(out, 2, 0x01020304);
    EXPECT_EQ(out, bytes({0xEF, 0xBE, 0x04, 0x03, 0x02, 0x01}));

    // -1234.5 is 0xC0934A0000000000; the low byte comes first.
    QByteArray number(10, '\0');
    WriteDouble(number, 1, -1234.5);
    EXPECT_EQ(number, bytes({0, 0, 0, 0, 0, 0, 0x4A, 0x93, 0xC0, 0}));
    EXPECT_EQ(ReadDouble(number, 1), -1234.5);
}

TEST(ByteUtils, AccessOutsideTheBufferRaises)
{
    QByteArray data(4, '\0');
    EXPECT_THROW(ReadWord(data, 3), EExcelException);
    EXPECT_THROW(ReadWord(data, -1), EExcelException);
    EXPECT_THROW(ReadCardinal(data, 1), EExcelException);
    EXPECT_THROW(WriteCardinal(data, 2, 0), EExcelException);
    EXPECT_THROW(AddToByte(data, 4, 1, 10), EExcelException);
    EXPECT_THROW(ReadDouble(data, 0), EExcelException);
    // Half of the double would fit: nothing may be written.
    EXPECT_THROW(WriteDouble(data, 0, 0.1), EExcelException);
    EXPECT_EQ(data, QByteArray(4, '\0'));
}

TEST(ByteUtils, AddToWordAndByteKeepWithinTheMaximum)
{
    struct Row { const char *name; bool word; int start, delta, max; int expected; const char *error; };
    const Row rows[] = {
        {"word grows", true, 10, 5, 100, 15, nullptr},
        {"word shrinks to zero", true, 3, -3, 100, 0, nullptr},
        {"word reaches the maximum", true, 99, 1, 100, 100, nullptr},
        {"word passes the maximum", true, 99, 2, 100, 99, "Too many entries for this kind of record (101 out of a maximum of 100)"},
        {"word below zero", true, 2, -3, 100, 2, "Too many entries for this kind of record (-1 out of a maximum of 100)"},
        // The sum is taken before it is cut to 16 bits, so 0xFFFF + 1 is not 0.
        {"word does not wrap", true, 0xFFFF, 1, 0xFFFF, 0xFFFF, "Too many entries for this kind of record (65536 out of a maximum of 65535)"},
        {"byte grows", false, 200, 55, 255, 255, nullptr},
        {"byte does not wrap", false, 255, 1, 255, 255, "Too many entries for this kind of record (256 out of a maximum of 255)"},
        {"byte under a smaller maximum", false, 30, 3, 31, 30, "Too many entries for this kind of record (33 out of a maximum of 31)"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        QByteArray data(4, '\x5A'); // neighbours must stay untouched
        if (r.word)
            WriteWord(data, 1, quint16(r.start));
        else
            data[1] = char(r.start);
        const QByteArray before = data;
        const QString error = ErrorOf([&] {
            if (r.word)
                AddToWord(data, 1, r.delta, r.max);
            else
                AddToByte(data, 1, r.delta, r.max);
        });
        EXPECT_EQ(error, r.error ? QString::fromUtf8(r.error) : QString());
        EXPECT_EQ(r.word ? ReadWord(data, 1) : quint8(data[1]), r.expected);
        EXPECT_EQ(data[0], '\x5A');
        EXPECT_EQ(data[3], '\x5A');
        if (r.error) {
            EXPECT_EQ(data, before);
        }
    }
}

TEST(ByteCursor, ReadsInOrderAndStopsAtTheEnd)
{
    const QByteArray data = bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B});
    ByteCursor c(data, QStringLiteral("record 0x0809"), 100);
    EXPECT_EQ(c.u8(), 0x01);
    EXPECT_EQ(c.u16(), 0x0302);
    EXPECT_EQ(c.u64(), 0x0B0A090807060504ull);
    EXPECT_TRUE(c.atEnd());
    const QString msg = ErrorOf([&] { c.u8(); });
    // The message names the context and the absolute offset where data ran short.
    EXPECT_TRUE(msg.startsWith(QStringLiteral("record 0x0809: "))) << msg.toStdString();
    EXPECT_TRUE(msg.contains(QStringLiteral("offset 111"))) << msg.toStdString();
    EXPECT_EQ(c.pos(), 11); // a failed read does not move
}

TEST(ByteCursor, ChecksLengthsBeforeTheyAreUsed)
{
    QByteArray data(16, '\0');
    ByteCursor c(data);
    c.skip(4);
    EXPECT_EQ(c.checkedCount(3, 4), 3);
    EXPECT_THROW(c.checkedCount(4, 4), EExcelException);
    // A count read from a file may be huge; it must be refused, not multiplied into an overflow.
    EXPECT_THROW(c.checkedCount(0x4000000000000001LL, 4), EExcelException);
    EXPECT_THROW(c.checkedCount(-1, 1), EExcelException);
    EXPECT_THROW(c.bytes(13), EExcelException);
    EXPECT_THROW(c.skip(-1), EExcelException);
    EXPECT_THROW(c.seek(17), EExcelException);
    c.seek(16);
    EXPECT_TRUE(c.atEnd());
    EXPECT_EQ(c.bytes(0).size(), 0);
}
