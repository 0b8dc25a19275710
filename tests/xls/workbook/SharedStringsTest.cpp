// The shared-string table: what it writes reads back, split over CONTINUE
// records the way the format asks, and unused strings go.
#include "xls/workbook/SST.h"

#include "xls/records/BaseRecord.h"
#include "xls/storage/ExcelException.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QStringList Texts(const TSST &sst)
{
    QStringList texts;
    for (int i = 0; i < sst.Count(); ++i)
        texts << sst.Text(quint32(i));
    return texts;
}

}  // namespace

TEST(SharedStrings, WrittenTablesReadBack)
{
    const struct { const char *name; QStringList texts; } rows[] = {
        {"empty table", {}},
        {"short strings", {QStringLiteral("a"), QStringLiteral("Şură"), QString()}},
        // 8224 data bytes per record: these must continue in CONTINUE records,
        // the characters split with a fresh option byte.
        {"long compressed", {QString(20000, u'x')}},
        {"long wide", {QString(9000, u'ţ')}},
        {"wide after compressed across a boundary",
         {QString(8210, u'a'), QString(30, u'ă') + QString(10, u'b'), QStringLiteral("end")}},
        {"many", [] {
             QStringList many;
             for (int i = 0; i < 3000; ++i)
                 many << QStringLiteral("Şir %1").arg(i);
             return many;
         }()},
    };
    for (const auto &r : rows) {
        TSST sst;
        for (const QString &t : r.texts)
            sst.AddString(t);
        const auto record = sst.BuildRecord(7);
        ASSERT_EQ(record->RecordId(), 0x00FC) << r.name;
        for (const TBaseRecord *part = record.get(); part; part = part->Continue())
            EXPECT_LE(part->DataSize(), 8224) << r.name;
        TSST back;
        back.Load(*record);
        EXPECT_EQ(Texts(back), r.texts) << r.name;
        // Written as it is made, the record has the same bytes.
        QBuffer built, streamed;
        built.open(QIODevice::WriteOnly);
        streamed.open(QIODevice::WriteOnly);
        record->SaveToStream(built);
        const auto table = sst.TableRecord(7);
        table->SaveToStream(streamed);
        EXPECT_EQ(streamed.data(), built.data()) << r.name;
        EXPECT_EQ(table->TotalSize(), built.data().size()) << r.name;
    }
}

// Texts are scanned and narrowed many characters at a time: one character
// past 0xFF anywhere makes the text two bytes a character, else one.
TEST(SharedStrings, ATextIsCompressedUnlessACharacterNeedsTwoBytes)
{
    for (int length = 1; length <= 40; ++length) {
        QStringList texts{QString(length - 1, u'a') + QChar(0xFF), QString(length, QChar(0xE9))};
        for (int at = 0; at < length; ++at) {
            texts << QString(length, u'a');
            texts.back()[at] = QChar(0x100);
        }
        for (const QString &text : texts) {
            TSST sst;
            sst.AddString(text);
            const auto record = sst.BuildRecord(1);
            const bool wide = text.contains(QChar(0x100));
            EXPECT_EQ(record->DataSize(), 8 + 3 + length * (wide ? 2 : 1)) << length << " " << wide;
            TSST back;
            back.Load(*record);
            EXPECT_EQ(back.Text(0), text) << length;
        }
    }
}

TEST(SharedStrings, EqualTextsShareAnEntryAndUnusedOnesGo)
{
    TSST sst;
    EXPECT_EQ(sst.AddString(QStringLiteral("unu")), 0u);
    EXPECT_EQ(sst.AddString(QStringLiteral("doi")), 1u);
    EXPECT_EQ(sst.AddString(QStringLiteral("unu")), 0u);
    EXPECT_EQ(sst.AddString(QStringLiteral("trei")), 2u);
    std::vector<quint32> newIndex;
    sst.Compact({true, false, true}, newIndex);
    EXPECT_EQ(Texts(sst), (QStringList{QStringLiteral("unu"), QStringLiteral("trei")}));
    EXPECT_EQ(newIndex[0], 0u);
    EXPECT_EQ(newIndex[2], 1u);
    EXPECT_EQ(sst.AddString(QStringLiteral("trei")), 1u) << "the lookup follows the compaction";
    EXPECT_EQ(sst.AddString(QStringLiteral("doi")), 2u);
    EXPECT_TRUE(sst.Text(99).isEmpty());
}

TEST(SharedStrings, RichEntriesKeepTheirRunsThroughACompaction)
{
    QByteArray data(8, '\0');
    data[4] = 3;
    // "a"; "b" with one run (font 5 from its first character); "c".
    data += QByteArray("\x01\x00\x00" "a" "\x01\x00\x08\x01\x00" "b" "\x00\x00\x05\x00" "\x01\x00\x00" "c", 19);
    TSST sst;
    sst.Load(TBaseRecord(0x00FC, data));
    ASSERT_NE(sst.RichString(1), nullptr);
    std::vector<quint32> newIndex;
    sst.Compact({false, true, true}, newIndex);
    EXPECT_EQ(Texts(sst), (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    ASSERT_NE(sst.RichString(0), nullptr);
    EXPECT_EQ(sst.RichString(0)->RichRuns(), QByteArray("\x00\x00\x05\x00", 4));
    EXPECT_EQ(sst.RichString(1), nullptr);
    EXPECT_EQ(sst.AddString(QStringLiteral("b")), 2u) << "a rich entry serves no new cell";
}

TEST(SharedStrings, CountsTheDataCannotHoldAreRefused)
{
    QByteArray data(8, '\0');
    data[4] = char(0xFF);
    data[5] = char(0xFF);
    data[6] = char(0xFF);  // 16 million strings in 8 bytes
    TBaseRecord record(0x00FC, data);
    TSST sst;
    EXPECT_THROW(sst.Load(record), EExcelException);
    data[4] = 2;
    data[5] = data[6] = 0;
    data += QByteArray("\x01\x00\x00" "a", 4);  // the second string is missing
    TBaseRecord cut(0x00FC, data);
    EXPECT_THROW(sst.Load(cut), EExcelException);
}

TEST(SharedStrings, LookupKeepsEveryTextApart)
{
    // Texts that differ only past the first eight bytes, only in length, or
    // only in a wide character, over enough entries to grow the table often.
    TSST sst;
    QStringList texts{QString(), QStringLiteral("POPESCU ION 1"), QStringLiteral("POPESCU ION 10"),
                      QStringLiteral("POPESCU ION 1 "), QStringLiteral("Ţară"), QStringLiteral("Tară")};
    for (int i = 0; i < 40000; ++i)
        texts << QStringLiteral("TURENI Str. Principala nr. %1").arg(i);
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_EQ(sst.AddString(texts[i]), quint32(i)) << qPrintable(texts[i]);
    for (int i = texts.size(); i-- > 0;)
        ASSERT_EQ(sst.AddString(texts[i]), quint32(i)) << qPrintable(texts[i]);
    EXPECT_EQ(sst.Count(), texts.size());
    EXPECT_THROW(sst.AddString(QString(0x10000, u'x')), EExcelException);
    EXPECT_EQ(sst.Count(), texts.size()) << "a refused text adds nothing";
}

TEST(SharedStrings, ARepeatedTextInAReadTableServesFromItsFirstEntry)
{
    QByteArray data(8, '\0');
    data[4] = 3;
    data += QByteArray("\x02\x00\x00" "ab" "\x01\x00\x00" "c" "\x02\x00\x00" "ab", 14);
    TSST sst;
    sst.Load(TBaseRecord(0x00FC, data));
    EXPECT_EQ(sst.AddString(QStringLiteral("ab")), 0u);
    EXPECT_EQ(sst.AddString(QStringLiteral("c")), 1u);
    EXPECT_EQ(sst.AddString(QStringLiteral("d")), 3u);
}
