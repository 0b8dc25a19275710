#include "RecordTestSupport.h"

#include "xls/records/FormatRecords.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/SheetInfo.h"
#include "xls/records/SheetRecords.h"
#include "xls/records/TokenRecords.h"
#include "xls/records/TokenShifter.h"
#include "xls/storage/ByteUtils.h"

using namespace recordtest;

namespace {

QByteArray SetupBytes(int options)
{
    return Bytes({0x09, 0x00,  // paper size 9 (A4)
                  0x4B, 0x00,  // scale 75
                  0x01, 0x00,  // first page number
                  0x01, 0x00,  // fit width
                  0x02, 0x00,  // fit height
                  options & 0xFF, options >> 8,
                  0x58, 0x02,  // resolution 600
                  0x2C, 0x01,  // vertical resolution 300
                  0, 0, 0, 0, 0, 0, 0xE0, 0x3F,  // header margin 0.5
                  0, 0, 0, 0, 0, 0, 0xE0, 0x3F,  // footer margin 0.5
                  0x03, 0x00});                  // copies 3
}

TEST(SheetRecordsTest, SetupReadsDefaultsWithoutPrinterDataAndKeepsTheUpperOptionByte)
{
    TSetupRecord valid(TSetupRecord::Id, SetupBytes(0x0200));
    EXPECT_EQ(valid.PaperSize(), 9);
    EXPECT_EQ(valid.Scale(), 75);
    EXPECT_EQ(valid.Resolution(), 600);
    EXPECT_EQ(valid.VResolution(), 300);
    EXPECT_EQ(valid.Copies(), 3);
    EXPECT_EQ(valid.FitHeight(), 2);
    EXPECT_DOUBLE_EQ(valid.HeaderMargin(), 0.5);

    TSetupRecord noPrinter(TSetupRecord::Id, SetupBytes(0x0204));
    EXPECT_EQ(noPrinter.PaperSize(), 0);
    EXPECT_EQ(noPrinter.Scale(), 100);
    EXPECT_EQ(noPrinter.Resolution(), 100);
    EXPECT_EQ(noPrinter.Copies(), 1);

    // Setting a printer field makes the data valid; bits 8-15 (here the
    // "no colour" option 0x0200 of a newer writer) must survive.
    noPrinter.SetScale(80);
    EXPECT_EQ(noPrinter.Options(), 0x0200);
    EXPECT_EQ(noPrinter.Scale(), 80);
    EXPECT_EQ(noPrinter.PaperSize(), 9);
    QByteArray expected = SetupBytes(0x0200);
    expected[2] = 80;
    EXPECT_TRUE(SameBytes(WithHeader(TSetupRecord::Id, expected), Saved(noPrinter)));
}

TEST(SheetRecordsTest, ZoomRoundsHalvesToEvenAndClampsWhenSet)
{
    struct Row
    {
        int numerator, denominator, zoom;
    };
    for (const Row &row : {Row{3, 2, 150}, Row{1, 0, 100}, Row{1, 8, 12}, Row{3, 8, 38}, Row{1, 200, 0},
                           Row{5, 1000, 0}, Row{15, 1000, 2}}) {
        SCOPED_TRACE(QStringLiteral("%1/%2").arg(row.numerator).arg(row.denominator).toStdString());
        TSCLRecord scl(TSCLRecord::Id, Bytes({row.numerator, 0, row.denominator & 0xFF, row.denominator >> 8}));
        EXPECT_EQ(scl.Zoom(), row.zoom);
    }
    // 1/8 is 12.5 (even 12); 3/8 is 37.5 (even 38); 15/1000 is 1.5 (even 2).
    struct Set
    {
        int asked, stored;
    };
    for (const Set &set : {Set{5, 10}, Set{250, 250}, Set{1000, 400}}) {
        auto scl = TSCLRecord::NewSCL(set.asked);
        EXPECT_TRUE(SameBytes(WithHeader(0x00A0, Bytes({set.stored & 0xFF, set.stored >> 8, 100, 0})), Saved(*scl)));
    }
}

TEST(SheetRecordsTest, NewRowRecordHasTheDefaultLayout)
{
    auto row = TRowRecord::NewRow(0x1234);
    EXPECT_TRUE(SameBytes(Bytes({0x08, 0x02, 0x10, 0x00,  // ROW, 16 bytes
                                 0x34, 0x12,              // row
                                 0x00, 0x00, 0x00, 0x00,  // columns
                                 0xFF, 0x00,              // height 255
                                 0, 0, 0, 0,              // reserved
                                 0x00, 0x01,              // options: default
                                 0x0F, 0x00}),            // XF 15
                          Saved(*row)));
    EXPECT_FALSE(row->IsFormatted());
    EXPECT_EQ(row->XF(), 15);
    row->SetXF(22);
    EXPECT_TRUE(row->IsFormatted());
    EXPECT_EQ(row->XF(), 22);
}

TEST(SheetRecordsTest, RowLoadClearsTheReservedWordAndNarrowsOnARangeSave)
{
    TRowRecord row(TRowRecord::Id, Bytes({3, 0, 1, 0, 9, 0, 0x2C, 0x01, 0xAA, 0xBB, 0, 0, 0x40, 0x01, 0x0F, 0x00}));
    EXPECT_EQ(row.Data()[8], 0);
    EXPECT_EQ(row.Data()[9], 0);
    EXPECT_TRUE(row.HasCustomHeight());
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    row.SaveRangeToStream(buffer, 2, 5);
    EXPECT_EQ(ReadWord(out.mid(4), 2), 2);
    EXPECT_EQ(ReadWord(out.mid(4), 4), 6);
    EXPECT_EQ(row.FirstColumn(), 1);  // the row itself is unchanged
    EXPECT_EQ(row.LastColumnPlus1(), 9);
}

TEST(SheetRecordsTest, Window2CopiesAreNeverSelected)
{
    auto window = CreateRecord(TWindow2Record::Id, Bytes({0xB6, 0x06, 0, 0, 0x40, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(As<TWindow2Record>(window)->Selected());
    auto copy = window->Clone();
    ASSERT_TRUE(As<TWindow2Record>(copy));
    EXPECT_FALSE(As<TWindow2Record>(copy)->Selected());
    EXPECT_EQ(As<TWindow2Record>(copy)->Options(), 0x00B6);
    EXPECT_TRUE(As<TWindow2Record>(window)->Selected());
}

TEST(SheetRecordsTest, Window1SelectsOneSheet)
{
    TWindow1Record window(TWindow1Record::Id, QByteArray(18, '\x07'));
    window.SetActiveSheet(2);
    EXPECT_EQ(window.ActiveSheet(), 2);
    EXPECT_EQ(window.FirstVisibleTab(), 0);
    EXPECT_EQ(ReadWord(window.Data(), 14), 1);
    EXPECT_EQ(ReadWord(window.Data(), 16), 0x0707);  // the rest untouched
}

TEST(SheetRecordsTest, OutlineLevelsGiveGutterSizeAndCount)
{
    struct Row
    {
        int level, size, count;
    };
    for (const Row &row : {Row{-1, 0, 0}, Row{0, 0, 0}, Row{1, 41, 2}, Row{3, 65, 4}, Row{7, 113, 8},
                           Row{8, 113, 8}, Row{12, 113, 8}}) {
        SCOPED_TRACE(row.level);
        TGutsRecord guts(TGutsRecord::Id, QByteArray(8, '\0'));
        guts.SetRowLevel(row.level);
        guts.SetColumnLevel(row.level);
        EXPECT_EQ(guts.RowGutter(), row.size);
        EXPECT_EQ(guts.RowLevels(), row.count);
        EXPECT_EQ(guts.ColumnGutter(), row.size);
        EXPECT_EQ(guts.ColumnLevels(), row.count);
    }
    TGutsRecord guts(TGutsRecord::Id, QByteArray(8, '\0'));
    guts.Flag = 1;
    EXPECT_EQ(dynamic_cast<TGutsRecord &>(*guts.Clone()).Flag, 1);
}

TEST(SheetRecordsTest, ActivePaneIsOneThatExists)
{
    struct Row
    {
        const char *name;
        int horizontal, vertical, active, fixed;
    };
    const Row rows[] = {
        {"both splits keep lower right", 3, 2, 0, 0},
        {"lower right, vertical split only", 0, 2, 0, 2},
        {"lower right, no split", 0, 0, 0, 3},
        {"lower right, horizontal split only", 3, 0, 0, 1},
        {"upper right without horizontal split", 0, 5, 1, 3},
        {"upper right with horizontal split", 4, 0, 1, 1},
        {"lower left without vertical split", 4, 0, 2, 3},
        {"upper left stays", 0, 0, 3, 3},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TPaneRecord pane(TPaneRecord::Id, QByteArray(10, '\0'));
        pane.SetHorizontalSplit(row.horizontal);
        pane.SetVerticalSplit(row.vertical);
        pane.SetActivePane(row.active);
        pane.FixActivePane();
        EXPECT_EQ(pane.ActivePane(), row.fixed);
    }
}

TEST(SheetRecordsTest, BoundSheetCarriesPositionOptionsAndName)
{
    auto sheet = TBoundSheetRecord::NewBoundSheet(0, QStringLiteral("Foi"));
    EXPECT_EQ(sheet->DataSize(), 6 + 2 + 3);
    sheet->SetStreamPosition(0x01020304);
    EXPECT_TRUE(SameBytes(Bytes({0x85, 0x00, 0x0B, 0x00,
                                 0x04, 0x03, 0x02, 0x01,  // stream position
                                 0x00, 0x00,              // visible worksheet
                                 0x03, 0x00, 'F', 'o', 'i'}),
                          Saved(*sheet)));
    sheet->SetSheetName(QStringLiteral("Anexă"));
    EXPECT_EQ(sheet->SheetName(), QStringLiteral("Anexă"));
    EXPECT_EQ(sheet->StreamPosition(), 0x01020304u);
    EXPECT_EQ(sheet->DataSize(), 6 + 2 + 10);
}

TEST(SheetRecordsTest, TextRecordsReadAndRebuildTheirStrings)
{
    TPageHeaderRecord header(TPageHeaderRecord::Id, QByteArray());
    EXPECT_EQ(header.Text(), QString());
    header.SetText(QStringLiteral("&CPagina &P"));
    EXPECT_EQ(header.Text(), QStringLiteral("&CPagina &P"));
    EXPECT_EQ(header.DataSize(), 3 + 11);

    auto code = TCodeNameRecord::NewCodeName(QStringLiteral("Foaie1"));
    EXPECT_EQ(As<TCodeNameRecord>(CreateRecord(code->RecordId(), code->Data()))->CodeName(), QStringLiteral("Foaie1"));

    auto format = TFormatRecord::NewFormat(164, QStringLiteral("#,##0.00\" lei\""));
    TFormatRecord read(TFormatRecord::Id, format->Data());
    EXPECT_EQ(read.FormatIndex(), 164);
    EXPECT_EQ(read.FormatString(), QStringLiteral("#,##0.00\" lei\""));

    auto txo = TTXORecord::NewTXO();
    EXPECT_TRUE(SameBytes(WithHeader(0x01B6, Bytes({0x12, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})),
                          Saved(*txo)));
}

TEST(SheetRecordsTest, FlagRecordsReadTheirWord)
{
    EXPECT_TRUE(T1904Record(0x0022, Bytes({1, 0})).Is1904());
    EXPECT_FALSE(T1904Record(0x0022, Bytes({0, 0})).Is1904());
    TRefModeRecord mode(0x000F, Bytes({1, 0}));
    EXPECT_FALSE(mode.IsR1C1());
    mode.SetR1C1(true);
    EXPECT_TRUE(SameBytes(Bytes({0, 0}), mode.Data()));
    EXPECT_TRUE(TRefModeRecord(0x000F, Bytes({7, 0})).IsR1C1());
    TWsBoolRecord wsbool(0x0081, Bytes({0xC1, 0x04}));
    wsbool.SetFitToPage(true);
    wsbool.SetRowSumsBelow(false);
    EXPECT_TRUE(SameBytes(Bytes({0x81, 0x05}), wsbool.Data()));
    TMarginRecord margin(0x0026, QByteArray(8, '\0'));
    margin.SetValue(0.75);
    EXPECT_DOUBLE_EQ(margin.Value(), 0.75);
    EXPECT_TRUE(TBOFRecord(0x0809, Bytes({0, 6, 0x10, 0, 0, 0, 0, 0})).BofType() == TBOFRecord::TypeWorksheet);
}

TEST(SheetRecordsTest, LongExternSheetTablesContinueInContinueRecords)
{
    auto externs = TExternSheetRecord::NewExternSheet();
    for (int i = 0; i < 1400; ++i)
        EXPECT_EQ(externs->AddRef(0, i, i), i);
    // 2 + 6 * 1400 bytes: one record of 8224 bytes and one CONTINUE.
    EXPECT_EQ(externs->DataSize(), 8224);
    ASSERT_TRUE(externs->Continue());
    EXPECT_EQ(externs->TotalDataSize(), 2 + 6 * 1400);
    EXPECT_EQ(externs->Count(), 1400);
    EXPECT_EQ(externs->FirstSheet(1399), 1399);
    externs->CheckEntries();

    auto reread = ReadOne(Saved(*externs));
    auto *table = As<TExternSheetRecord>(reread);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->LastSheet(1370), 1370);  // the entry split over both records
}

// Records with formula tokens hand exactly their token bytes to the shifter.
class RecordingShifter : public TTokenShifter
{
public:
    mutable QList<QByteArray> Seen;
    void ShiftForInsert(QByteArray &data, int start, int end, int, int, int, int, const TSheetInfo &) const override
    {
        Seen << data.mid(start, end - start);
    }
    void OffsetForCopy(QByteArray &data, int start, int end, int, int) const override
    {
        Seen << data.mid(start, end - start);
    }
};

TEST(SheetRecordsTest, ConditionalFormatAndChartLinkShiftTheirTokensThroughTheHook)
{
    RecordingShifter shifter;
    SetTokenShifter(&shifter);
    auto cf = CreateRecord(0x01B1, Bytes({1, 3,           // cell value, greater than
                                          3, 0, 2, 0,     // formula sizes 3 and 2
                                          0, 0, 0, 0, 0, 0,  // options, reserved
                                          0x1E, 5, 0,     // integer 5
                                          0x1D, 1}));     // TRUE
    auto ai = CreateRecord(0x1051, Bytes({1, 2, 0, 0, 0, 0, 3, 0, 0x1E, 9, 0, 0xEE}));
    cf->ShiftForInsert(0, 1, TSheetInfo());
    ai->OffsetForCopy(1, 0);
    SetTokenShifter(nullptr);
    ASSERT_EQ(shifter.Seen.size(), 3);
    EXPECT_TRUE(SameBytes(Bytes({0x1E, 5, 0}), shifter.Seen[0]));
    EXPECT_TRUE(SameBytes(Bytes({0x1D, 1}), shifter.Seen[1]));
    EXPECT_TRUE(SameBytes(Bytes({0x1E, 9, 0}), shifter.Seen[2]));

    EXPECT_FALSE(ErrorOf([] { CreateRecord(0x01B1, Bytes({1, 3, 9, 0, 0, 0})); }).isEmpty());
    EXPECT_FALSE(ErrorOf([] { CreateRecord(0x1051, Bytes({1, 2, 0, 0, 0, 0, 9, 0, 0x1E})); }).isEmpty());
}

TEST(SheetRecordsTest, HyperlinkMovesWithItsCellsAndRefusesLeavingTheSheet)
{
    auto link = CreateRecord(0x01B8, Bytes({5, 0, 6, 0, 1, 0, 2, 0, 0xAA}));
    TSheetInfo own;
    own.InsSheet = own.FormulaSheet = 0;
    link->ShiftForInsert(6, 3, own);
    auto *hyperlink = As<THLinkRecord>(link);
    EXPECT_EQ(hyperlink->FirstRow(), 5);
    EXPECT_EQ(hyperlink->LastRow(), 9);
    EXPECT_FALSE(ErrorOf([&] { link->OffsetForCopy(0, 254); }).isEmpty());
    EXPECT_EQ(hyperlink->FirstColumn(), 1);  // unchanged after the refusal
}

TEST(SheetRecordsTest, FormatRecordsReadTheirFields)
{
    TFontRecord font(TFontRecord::Id, Bytes({0xC8, 0x00, 0x02, 0x00, 0x0A, 0x00, 0xBC, 0x02, 0, 0, 1, 0, 0xEE, 0,
                                             0x05, 0x00, 'A', 'r', 'i', 'a', 'l'}));
    EXPECT_EQ(font.Height(), 200);
    EXPECT_EQ(font.Weight(), 700);
    EXPECT_EQ(font.ColorIndex(), 10);
    EXPECT_EQ(font.CharSet(), 0xEE);
    EXPECT_EQ(font.Name(), QStringLiteral("Arial"));
    TPaletteRecord palette(TPaletteRecord::Id, Bytes({1, 0, 0x11, 0x22, 0x33, 0}));
    EXPECT_EQ(palette.Color(0), 0x00332211u);
    EXPECT_FALSE(ErrorOf([] { TPaletteRecord(TPaletteRecord::Id, Bytes({2, 0, 1, 2, 3, 0})); }).isEmpty());
    TColInfoRecord column(TColInfoRecord::Id, Bytes({2, 0, 4, 0, 0x00, 0x10, 0x0F, 0, 0x01, 0, 0, 0}));
    EXPECT_EQ(column.LastColumn(), 4);
    EXPECT_EQ(column.Width(), 4096);
}

} // namespace
