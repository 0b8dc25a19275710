#include "RecordTestSupport.h"
#include "StandInFormulaRecord.h"

#include "xls/records/SheetInfo.h"
#include "xls/records/CellRecords.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/SheetRecords.h"

using namespace recordtest;

namespace {

class BaseRecordTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterStandInFormulaClasses(); }
};

TEST_F(BaseRecordTest, EmptyRecordIsWrittenAsItsHeaderAlone)
{
    const QByteArray file = Bytes({0x34, 0x12, 0x00, 0x00});  // unknown id 0x1234, size 0
    auto record = ReadOne(file);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->DataSize(), 0);
    EXPECT_TRUE(record->Data().isEmpty());
    EXPECT_EQ(record->TotalSize(), 4);
    EXPECT_TRUE(SameBytes(file, Saved(*record)));
}

TEST_F(BaseRecordTest, ThreeContinueRecordsFormAChainAndCountFourHeaders)
{
    const QByteArray file = WithHeader(0x00EC, Bytes({1, 2, 3}))  // MSODRAWING
                          + WithHeader(0x003C, Bytes({4, 5}))     // CONTINUE
                          + WithHeader(0x003C, Bytes({}))         // empty CONTINUE
                          + WithHeader(0x003C, Bytes({6}));       // CONTINUE
    auto record = ReadOne(file);
    ASSERT_TRUE(record);
    int links = 0;
    for (const TBaseRecord *c = record->Continue(); c; c = c->Continue())
        ++links;
    EXPECT_EQ(links, 3);
    EXPECT_EQ(record->TotalSize(), 4 * 4 + 6);
    EXPECT_EQ(record->TotalDataSize(), 6);
    EXPECT_TRUE(SameBytes(file, Saved(*record)));

    auto copy = record->Clone();
    EXPECT_TRUE(SameBytes(file, Saved(*copy)));
    EXPECT_NE(copy->Continue(), record->Continue());
}

TEST_F(BaseRecordTest, UnknownRecordSurvivesByteForByte)
{
    const QByteArray file = WithHeader(0x0862, Bytes({0x62, 0x08, 0, 0, 0, 0, 0, 0, 0xAB, 0xCD}));
    auto record = ReadOne(file);
    ASSERT_TRUE(record);
    const TBaseRecord &read = *record;
    EXPECT_EQ(typeid(read), typeid(TBaseRecord));
    EXPECT_TRUE(SameBytes(file, Saved(*record)));
}

// Records are read as views of the stream; each keeps its own copy, so the
// stream may go away (or, here, be overwritten) once they are read.
TEST_F(BaseRecordTest, RecordsKeepTheirBytesWhenTheStreamGoesAway)
{
    struct Row
    {
        const char *name;
        QByteArray file;
    };
    const Row rows[] = {
        {"small cell", WithHeader(0x0203, Bytes({1, 0, 2, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}))},
        {"cell larger than a small one", WithHeader(0x0204, Bytes({1, 0, 2, 0, 15, 0, 9, 0, 0, 'a', 'b', 'c', 'd',
                                                                   'e', 'f', 'g', 'h', 'i'}))},
        {"unknown record", WithHeader(0x0862, Bytes({0x62, 0x08, 0, 0, 0, 0, 0, 0, 0xAB, 0xCD}))},
        {"record with a continue chain",
         WithHeader(0x00EC, Bytes({1, 2, 3})) + WithHeader(0x003C, Bytes({4, 5})) + WithHeader(0x003C, Bytes({6}))},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray stream = row.file;
        stream.detach();
        auto record = ReadOne(stream);
        ASSERT_TRUE(record);
        stream.fill('\x5A');
        stream.clear();
        EXPECT_TRUE(SameBytes(row.file, Saved(*record)));
    }
}

TEST_F(BaseRecordTest, IndexAndCacheRecordsAreDroppedOnSave)
{
    struct Row
    {
        const char *name;
        quint16 id;
    };
    const Row rows[] = {{"XCT", 0x0059},    {"CRN", 0x005A},      {"DBCELL", 0x00D7},
                        {"MSODRAWINGSELECTION", 0x00ED}, {"EXTSST", 0x00FF}, {"RECALCID", 0x01C1},
                        {"INDEX", 0x020B},  {"STRING", 0x0207}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray data = Bytes({0, 0, 0, 0, 0, 0, 0, 0});
        auto record = CreateRecord(row.id, data);
        EXPECT_EQ(record->TotalSize(), 0);
        EXPECT_TRUE(Saved(*record).isEmpty());
    }
}

TEST_F(BaseRecordTest, StreamEndingRightAfterARecordReturnsIt)
{
    const QByteArray number = WithHeader(0x0203, Bytes({1, 0, 2, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    auto record = ReadOne(number);
    ASSERT_TRUE(As<TNumberRecord>(record));
    EXPECT_DOUBLE_EQ(As<TNumberRecord>(record)->Value(), 1.0);
}

TEST_F(BaseRecordTest, NextRecordIsLeftForTheCaller)
{
    const QByteArray file = WithHeader(0x0201, Bytes({0, 0, 1, 0, 15, 0}))  // BLANK
                          + WithHeader(0x000A, Bytes({}));                  // EOF
    ByteCursor cursor(file);
    quint32 header = 0;
    ASSERT_TRUE(ReadRecordHeader(cursor, header));
    auto blank = ReadBiffRecord(cursor, header);
    EXPECT_EQ(cursor.pos(), 10);
    ASSERT_TRUE(ReadRecordHeader(cursor, header));
    EXPECT_EQ(header & 0xFFFF, 0x000Au);
}

TEST_F(BaseRecordTest, BrokenStreamsAreRefusedWithTheEngineMessage)
{
    struct Row
    {
        const char *name;
        QByteArray stream;
        const char *message;
    };
    const QByteArray blank = WithHeader(0x0201, Bytes({0, 0, 1, 0, 15, 0}));
    const Row rows[] = {
        {"data shorter than the size", Bytes({0x01, 0x02, 10, 0, 1, 2, 3}),
         "Error reading Excel records. File invalid"},
        // A NUMBER needs 14 bytes; 3 cannot even hold row and column.
        {"number of three bytes", WithHeader(0x0203, Bytes({1, 2, 3})), "Record with ID 0x203 is invalid"},
        {"number without its value", WithHeader(0x0203, Bytes({0, 0, 0, 0, 15, 0, 0, 0})),
         "Record with ID 0x203 is invalid"},
        {"password protected", WithHeader(0x002F, Bytes({0, 0})), "File is password protected"},
        {"table after a blank cell", blank + WithHeader(0x0236, QByteArray(16, '\0')),
         "Error reading Excel records. File invalid"},
        {"array after a blank cell", blank + WithHeader(0x0221, QByteArray(14, '\0')),
         "Error reading Excel records. File invalid"},
        {"string after a blank cell", blank + WithHeader(0x0207, Bytes({0, 0, 0})),
         "Error reading Excel records. File invalid"},
        {"screen tip after a blank cell", blank + WithHeader(0x0800, QByteArray(12, '\0')),
         "Error reading Excel records. File invalid"},
        {"BIFF5 workbook", WithHeader(0x0809, Bytes({0x00, 0x05, 0x05, 0x00, 0, 0, 0, 0})),
         "Template file is saved with an invalid Excel version"},
        {"row record too short", WithHeader(0x0208, QByteArray(15, '\0')), "Record with ID 0x208 is invalid"},
        {"bound sheet name past the record", WithHeader(0x0085, Bytes({0, 0, 0, 0, 0, 0, 5, 0, 'a'})),
         "Error reading record"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString error = ErrorOf([&] { ReadAll(row.stream); });
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(row.message))) << error.toStdString();
    }
}

TEST_F(BaseRecordTest, TableAndArrayJoinTheFormulaBeforeThem)
{
    const QByteArray formula = WithHeader(0x0006, QByteArray(22, '\0'));
    const QByteArray array = WithHeader(0x0221, QByteArray(14, '\x01'));
    const QByteArray text = WithHeader(0x0207, Bytes({1, 0, 0, 'x'}));
    auto records = ReadAll(formula + array + text);
    ASSERT_EQ(records.size(), 2u);  // the formula holding its array, then STRING
    auto *cell = As<TStandInFormula>(records[0]);
    ASSERT_TRUE(cell);
    ASSERT_TRUE(cell->Following());
    EXPECT_EQ(cell->Following()->RecordId(), 0x0221);
    EXPECT_EQ(As<TStringRecord>(records[1])->Text(), QStringLiteral("x"));
    EXPECT_TRUE(SameBytes(formula + array, Saved(*records[0])));

    // A long formula goes on in a CONTINUE record; what follows still
    // belongs to the formula, not to its continue record.
    const QByteArray longFormula = formula + WithHeader(0x003C, Bytes({0x03}));
    auto continued = ReadAll(longFormula + array + text);
    ASSERT_EQ(continued.size(), 2u);
    EXPECT_TRUE(As<TStandInFormula>(continued[0])->Following());
    EXPECT_TRUE(SameBytes(longFormula + array, Saved(*continued[0])));

    // An ARRAY after an ARRAY has no formula to join.
    EXPECT_EQ(ErrorOf([&] { ReadAll(formula + array + array); }),
              QStringLiteral("Error reading Excel records. File invalid"));
}

TEST_F(BaseRecordTest, ScreenTipIsOwnedAndWrittenByItsHyperlink)
{
    const QByteArray link = WithHeader(0x01B8, Bytes({2, 0, 2, 0, 1, 0, 1, 0, 0xAA, 0xBB}));
    // The tip repeats its id, then holds the link's range (rows 2-2, columns 1-1) and the text.
    const QByteArray tip = WithHeader(0x0800, Bytes({0, 8, 2, 0, 2, 0, 1, 0, 1, 0, 'h', 0, 0, 0}));
    auto record = ReadOne(link + tip);
    auto *hyperlink = As<THLinkRecord>(record);
    ASSERT_TRUE(hyperlink);
    ASSERT_TRUE(hyperlink->ScreenTip());
    EXPECT_EQ(record->TotalSize(), link.size() + tip.size());
    EXPECT_TRUE(SameBytes(link + tip, Saved(*record)));
    auto copy = record->Clone();
    EXPECT_TRUE(SameBytes(link + tip, Saved(*copy)));

    // Rows inserted above move the link and its tip alike.
    TSheetInfo ownSheet;
    ownSheet.InsSheet = 1;
    ownSheet.FormulaSheet = 1;
    record->ShiftForInsert(0, 3, ownSheet);
    EXPECT_TRUE(SameBytes(WithHeader(0x01B8, Bytes({5, 0, 5, 0, 1, 0, 1, 0, 0xAA, 0xBB}))
                              + WithHeader(0x0800, Bytes({0, 8, 5, 0, 5, 0, 1, 0, 1, 0, 'h', 0, 0, 0})),
                          Saved(*record)));
}

TEST_F(BaseRecordTest, SecondContinueOnTheSameRecordIsRefused)
{
    TBaseRecord record(0x00EC, Bytes({1}));
    record.AddContinue(std::make_unique<TContinueRecord>(0x003C, Bytes({2})));
    EXPECT_EQ(ErrorOf([&] { record.AddContinue(std::make_unique<TContinueRecord>(0x003C, Bytes({3}))); }),
              QStringLiteral("Trying to add more than one CONTINUE record to the same record"));
}

TEST_F(BaseRecordTest, LongContinueChainsAreReadSizedAndFreedWithoutRecursion)
{
    // 300,000 empty CONTINUE records: a recursive reader, size or destructor
    // would run out of stack long before the end.
    constexpr int links = 300000;
    QByteArray file = WithHeader(0x00EB, Bytes({7}));
    file.reserve(file.size() + 4 * links);
    for (int i = 0; i < links; ++i)
        file += Bytes({0x3C, 0x00, 0x00, 0x00});
    auto record = ReadOne(file);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->TotalSize(), file.size());
    auto copy = record->Clone();
    EXPECT_EQ(copy->TotalSize(), file.size());
    EXPECT_EQ(Saved(*copy).size(), file.size());
}

TEST_F(BaseRecordTest, SavingFailsLoudlyOnAShortWrite)
{
    TBaseRecord record(0x1234, Bytes({1, 2, 3}));
    QByteArray out;
    QBuffer buffer(&out);  // never opened, so every write fails
    EXPECT_EQ(ErrorOf([&] { record.SaveToStream(buffer); }), QStringLiteral("Error writing output file"));
}

TEST_F(BaseRecordTest, SubListPlaceholderWritesItsListAndCountsNothing)
{
    TBaseRecordList list;
    list.Add(std::make_unique<TBaseRecord>(0x1234, Bytes({9})));
    TSubListRecord placeholder(&list);
    EXPECT_EQ(placeholder.TotalSize(), 0);
    EXPECT_TRUE(SameBytes(WithHeader(0x1234, Bytes({9})), Saved(placeholder)));
    auto copy = placeholder.Clone();
    EXPECT_EQ(copy->TotalSize(), 0);
    EXPECT_TRUE(Saved(*copy).isEmpty());
}

} // namespace
