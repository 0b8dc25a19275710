#include "RecordTestSupport.h"

#include "xls/records/ExcelString.h"

using namespace recordtest;

namespace {

TEST(ExcelStringTest, ReadsEveryLayoutFromAFlatBuffer)
{
    struct Row
    {
        const char *name;
        QByteArray bytes;
        int lengthField;
        QString text;
        int size;
    };
    const Row rows[] = {
        {"compressed, 2-byte length", Bytes({3, 0, 0x00, 'a', 'b', 'c'}), 2, QStringLiteral("abc"), 6},
        {"compressed, 1-byte length", Bytes({2, 0x00, 0xE9, 'x'}), 1, QStringLiteral("\u00E9x"), 4},
        {"wide", Bytes({2, 0, 0x01, 0x03, 0x02, 0x5F, 0x01}), 2, QStringLiteral("\u0203\u015F"), 7},
        // Two rich-text runs of 4 bytes each follow the characters.
        {"rich text", Bytes({1, 0, 0x08, 2, 0, 'r', 0, 0, 1, 0, 1, 0, 2, 0}), 2, QStringLiteral("r"), 14},
        // An extension block of 3 bytes follows the characters.
        {"extension block", Bytes({1, 0x04, 3, 0, 0, 0, 'e', 9, 9, 9}), 1, QStringLiteral("e"), 10},
        {"empty", Bytes({0, 0, 0x00}), 2, QString(), 3},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        int size = 0;
        EXPECT_EQ(ReadBiffString(row.bytes, 0, row.lengthField, &size), row.text);
        EXPECT_EQ(size, row.size);
        EXPECT_EQ(StringByteSize(row.bytes, 0, row.lengthField), row.size);

        // Read from a record, the same string writes back the same bytes.
        TBaseRecord record(0x00FC, row.bytes);
        const TBaseRecord *at = &record;
        int pos = 0;
        TExcelString string(row.lengthField, at, pos);
        EXPECT_EQ(string.Value(), row.text);
        EXPECT_EQ(pos, row.size);
        EXPECT_EQ(string.TotalSize(), row.size);
        EXPECT_TRUE(SameBytes(row.bytes, string.ToBytes()));
    }
}

TEST(ExcelStringTest, GivenLengthHasNoLengthField)
{
    // As in NAME records: the count stands elsewhere, the option byte here.
    EXPECT_EQ(StringByteSize(Bytes({0x01, 'a', 0, 'b', 0}), 0, 0, 2), 5);
}

TEST(ExcelStringTest, StringsRunningPastTheirDataAreRefused)
{
    struct Row
    {
        const char *name;
        QByteArray bytes;
    };
    const Row rows[] = {
        {"characters missing", Bytes({5, 0, 0x00, 'a', 'b'})},
        {"half a wide character", Bytes({1, 0, 0x01, 'a'})},
        {"runs missing", Bytes({1, 0, 0x08, 3, 0, 'a', 0, 0, 0, 0})},
        {"huge extension", Bytes({0, 0, 0x04, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"no option byte", Bytes({1, 0})},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(ErrorOf([&] { StringByteSize(row.bytes, 0, 2); }).isEmpty());
        EXPECT_FALSE(ErrorOf([&] { ReadBiffString(row.bytes, 0, 2); }).isEmpty());
        TBaseRecord record(0x00FC, row.bytes);
        const TBaseRecord *at = &record;
        int pos = 0;
        EXPECT_FALSE(ErrorOf([&] { TExcelString(2, at, pos); }).isEmpty());
    }
}

TEST(ExcelStringTest, TextSplitOverContinueRecordsMayChangeWidth)
{
    // "abcd\u0103e": 3 compressed characters, then a CONTINUE whose option
    // byte says wide for the rest, then a CONTINUE back to compressed.
    TBaseRecord record(0x00FC, Bytes({6, 0, 0x00, 'a', 'b', 'c'}));
    record.AppendContinue(std::make_unique<TContinueRecord>(0x003C, Bytes({0x01, 'd', 0, 0x03, 0x01})));
    record.AppendContinue(std::make_unique<TContinueRecord>(0x003C, Bytes({0x00, 'e', 0x77})));
    const TBaseRecord *at = &record;
    int pos = 0;
    TExcelString string(2, at, pos);
    EXPECT_EQ(string.Value(), QStringLiteral("abcd\u0103e"));
    EXPECT_TRUE(string.IsWide());  // one wide part makes the whole string wide
    EXPECT_EQ(at, record.Continue()->Continue());
    EXPECT_EQ(pos, 2);  // left on the byte after the string
}

TEST(ExcelStringTest, ContinueWithoutOptionByteIsRefused)
{
    TBaseRecord record(0x00FC, Bytes({2, 0, 0x00, 'a'}));
    record.AppendContinue(std::make_unique<TContinueRecord>(0x003C, QByteArray()));
    const TBaseRecord *at = &record;
    int pos = 0;
    EXPECT_EQ(ErrorOf([&] { TExcelString(2, at, pos); }), QStringLiteral("Error reading record"));
}

TEST(ExcelStringTest, ReadAcrossContinueSkipsAndCopiesOverRecordEnds)
{
    TBaseRecord record(0x00EB, Bytes({1, 2}));
    record.AppendContinue(std::make_unique<TContinueRecord>(0x003C, Bytes({3})));
    record.AppendContinue(std::make_unique<TContinueRecord>(0x003C, Bytes({4, 5})));
    const TBaseRecord *at = &record;
    int pos = 1;
    char out[3] = {};
    ReadAcrossContinue(at, pos, 3, out);
    EXPECT_EQ(QByteArray(out, 3), Bytes({2, 3, 4}));
    EXPECT_EQ(pos, 1);
    ReadAcrossContinue(at, pos, 1, nullptr);
    EXPECT_EQ(ErrorOf([&] { ReadAcrossContinue(at, pos, 1, out); }), QStringLiteral("Error reading record"));
    int beyond = 7;
    const TBaseRecord *start = &record;
    EXPECT_EQ(ErrorOf([&] { ReadAcrossContinue(start, beyond, 1, out); }), QStringLiteral("Error reading record"));
}

TEST(ExcelStringTest, NewStringsPickTheNarrowestWidthAndWriteWithOrWithoutLength)
{
    const TExcelString latin(1, QStringLiteral("Foaie"));
    EXPECT_FALSE(latin.IsWide());
    EXPECT_TRUE(SameBytes(Bytes({5, 0x00, 'F', 'o', 'a', 'i', 'e'}), latin.ToBytes()));
    const TExcelString romanian(2, QStringLiteral("\u0219a"));
    EXPECT_TRUE(romanian.IsWide());
    EXPECT_TRUE(SameBytes(Bytes({0x01, 0x19, 0x02, 'a', 0}), romanian.ToBytes(false)));

    QByteArray target(8, '\x55');
    romanian.CopyToPtr(target, 1);
    EXPECT_TRUE(SameBytes(Bytes({0x55, 2, 0, 0x01, 0x19, 0x02, 'a', 0}), target));
    EXPECT_FALSE(ErrorOf([&] { romanian.CopyToPtr(target, 2); }).isEmpty());
}

TEST(ExcelStringTest, TextsLongerThanTheirLengthFieldAreRefused)
{
    EXPECT_FALSE(ErrorOf([] { TExcelString(1, QString(256, 'x')); }).isEmpty());
    EXPECT_TRUE(ErrorOf([] { TExcelString(1, QString(255, 'x')); }).isEmpty());
    EXPECT_FALSE(ErrorOf([] { TExcelString(2, QString(65536, 'x')); }).isEmpty());
}

TEST(ExcelStringTest, RunsAndExtensionSpreadOverLongChains)
{
    // A string whose rich-text runs and extension block spread over a chain of
    // many CONTINUE records (some empty). The extension block is extSize bytes;
    // the chain holds chainBytes bytes after the string's header and text.
    struct Row
    {
        const char *name;
        quint32 extSize;
        int chainBytes;
        bool reads;
    };
    const Row rows[] = {
        {"exactly what the chain holds", 3000 - 8, 3000, true},
        {"the chain holds more after the string", 2000, 3000, true},
        {"one byte short at the end of the chain", 3000 - 8 + 1, 3000, false},
        // A claim of nearly 4 GB must be refused from what is there, not allocated.
        {"huge extension", 0xFFFFFFF0u, 3000, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        // Header: 1 character, options rich + extension, 2 runs, extension size.
        QByteArray head = Bytes({1, 0, 0x0C, 2, 0});
        head += Bytes({int(row.extSize & 0xFF), int((row.extSize >> 8) & 0xFF), int((row.extSize >> 16) & 0xFF),
                       int(row.extSize >> 24)});
        head += 'x';
        TBaseRecord record(0x00FC, head);
        QByteArray tail;  // the bytes the chain carries, in order
        for (int i = 0; tail.size() < row.chainBytes; ++i) {
            const int size = i % 5 == 4 ? 0 : std::min<int>(7 + i % 13, row.chainBytes - int(tail.size()));
            QByteArray part(size, '\0');
            for (int k = 0; k < size; ++k)
                part[k] = char((tail.size() + k) * 31 & 0xFF);
            tail += part;
            record.AppendContinue(std::make_unique<TContinueRecord>(TContinueRecord::Id, part));
        }
        const TBaseRecord *at = &record;
        int pos = 0;
        const QString error = ErrorOf([&] {
            const TExcelString string(2, at, pos);
            EXPECT_EQ(string.Value(), QStringLiteral("x"));
            EXPECT_EQ(string.TotalSize(), head.size() + 8 + int(row.extSize));
            // Written back flat, with runs and block exactly as they stood.
            EXPECT_TRUE(SameBytes(head + tail.left(8 + int(row.extSize)), string.ToBytes()));
        });
        EXPECT_EQ(error, row.reads ? QString() : QStringLiteral("Error reading record"));
        if (!row.reads)
            continue;
        // Left on the first byte after the string.
        char next = 0;
        if (tail.size() > 8 + qsizetype(row.extSize)) {
            ReadAcrossContinue(at, pos, 1, &next);
            EXPECT_EQ(next, tail.at(8 + row.extSize));
        } else {
            EXPECT_FALSE(ErrorOf([&] { ReadAcrossContinue(at, pos, 1, &next); }).isEmpty());
        }
    }
}

} // namespace
