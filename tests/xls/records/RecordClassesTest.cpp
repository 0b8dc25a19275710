#include "RecordTestSupport.h"

#include "xls/records/CellRecords.h"
#include "xls/records/DrawingRecords.h"
#include "xls/records/FormatRecords.h"
#include "xls/records/LinkRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/SheetRecords.h"
#include "xls/records/TokenRecords.h"

#include <typeindex>

using namespace recordtest;

namespace {

// One sample per record class the factory makes: the class it must become,
// the least data that class reads, and a valid record as some writer saves it.
struct ClassSample
{
    const char *name;
    quint16 id;
    std::type_index type;
    int minSize;
    QByteArray data;
};

const std::vector<ClassSample> &Samples()
{
    static const std::vector<ClassSample> samples = {
        {"BOF", 0x0809, typeid(TBOFRecord), 4, Bytes({0x00, 0x06, 0x05, 0x00, 0xBB, 0x0D, 0xCC, 0x07, 0, 0, 0, 0, 6, 0, 0, 0})},
        {"EOF", 0x000A, typeid(TEOFRecord), 0, QByteArray()},
        {"PRECISION", 0x000E, typeid(TPrecisionRecord), 2, Bytes({1, 0})},
        {"REFMODE", 0x000F, typeid(TRefModeRecord), 2, Bytes({1, 0})},
        {"HEADER", 0x0014, typeid(TPageHeaderRecord), 0, Bytes({2, 0, 0, '&', 'P'})},
        {"FOOTER", 0x0015, typeid(TPageFooterRecord), 0, QByteArray()},
        {"EXTERNSHEET", 0x0017, typeid(TExternSheetRecord), 2, Bytes({1, 0, 0, 0, 1, 0, 1, 0})},
        {"VERTICALPAGEBREAKS", 0x001A, typeid(TVPageBreakRecord), 2, Bytes({1, 0, 3, 0, 0, 0, 0xFF, 0xFF})},
        {"HORIZONTALPAGEBREAKS", 0x001B, typeid(THPageBreakRecord), 2, Bytes({1, 0, 20, 0, 0, 0, 0xFF, 0})},
        {"NOTE", 0x001C, typeid(TNoteRecord), 8, Bytes({2, 0, 1, 0, 0, 0, 1, 0, 3, 0, 0, 'A', 'n', 'a', 0})},
        {"DATEMODE", 0x0022, typeid(T1904Record), 2, Bytes({0, 0})},
        {"EXTERNNAME", 0x0023, typeid(TExternNameRecord), 8, Bytes({0, 0, 0, 0, 0, 0, 3, 0, 'a', 'b', 'c', 2, 0, 0x1C, 0x17})},
        {"LEFTMARGIN", 0x0026, typeid(TMarginRecord), 8, Bytes({0, 0, 0, 0, 0, 0, 0xE8, 0x3F})},
        {"BOTTOMMARGIN", 0x0029, typeid(TMarginRecord), 8, Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
        {"PRINTGRIDLINES", 0x002B, typeid(TPrintGridLinesRecord), 2, Bytes({0, 0})},
        {"FONT", 0x0031, typeid(TFontRecord), 16, Bytes({0xC8, 0, 0, 0, 0xFF, 0x7F, 0x90, 1, 0, 0, 0, 0, 0, 0, 5, 1, 'A', 0, 'r', 0, 'i', 0, 'a', 0, 'l', 0})},
        {"WINDOW1", 0x003D, typeid(TWindow1Record), 16, Bytes({0, 0, 0, 0, 0x80, 0x3E, 0x70, 0x17, 0x38, 0, 1, 0, 0, 0, 1, 0, 0x58, 2})},
        {"PANE", 0x0041, typeid(TPaneRecord), 10, Bytes({0, 0, 1, 0, 1, 0, 0, 0, 2, 0})},
        {"PLS", 0x004D, typeid(TPlsRecord), 2, Bytes({0, 0, 'D', 'E', 'V'})},
        {"DEFCOLWIDTH", 0x0055, typeid(TDefColWidthRecord), 2, Bytes({8, 0})},
        {"OBJ", 0x005D, typeid(TObjRecord), 2, Bytes({0x15, 0, 0x12, 0, 0x19, 0, 1, 0, 0x11, 0x60, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"COLINFO", 0x007D, typeid(TColInfoRecord), 10, Bytes({0, 0, 3, 0, 0x00, 0x0C, 0x0F, 0, 0, 0, 0, 0})},
        {"GUTS", 0x0080, typeid(TGutsRecord), 8, Bytes({0, 0, 0, 0, 0, 0, 0, 0})},
        {"WSBOOL", 0x0081, typeid(TWsBoolRecord), 2, Bytes({0xC1, 0x04})},
        {"BOUNDSHEET", 0x0085, typeid(TBoundSheetRecord), 8, Bytes({0x00, 0x10, 0, 0, 0, 0, 2, 0, 'S', '1'})},
        {"PALETTE", 0x0092, typeid(TPaletteRecord), 2, Bytes({1, 0, 0xFF, 0, 0, 0})},
        {"STANDARDWIDTH", 0x0099, typeid(TStandardWidthRecord), 2, Bytes({0x00, 0x09})},
        {"SCL", 0x00A0, typeid(TSCLRecord), 4, Bytes({3, 0, 2, 0})},
        {"SETUP", 0x00A1, typeid(TSetupRecord), 34, QByteArray(34, '\x01')},
        {"MULRK", 0x00BD, typeid(TMulRKRecord), 12, Bytes({0, 0, 1, 0, 15, 0, 2, 0, 0, 0, 1, 0})},
        {"MULBLANK", 0x00BE, typeid(TMulBlankRecord), 8, Bytes({0, 0, 1, 0, 15, 0, 1, 0})},
        {"OBPROJ", 0x00D3, typeid(TObProjRecord), 0, QByteArray()},
        {"BOOKBOOL", 0x00DA, typeid(TBookBoolRecord), 2, Bytes({0, 0})},
        {"XF", 0x00E0, typeid(TXFRecord), 6, Bytes({0, 0, 0xA4, 0, 1, 0, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x20})},
        {"MERGEDCELLS", 0x00E5, typeid(TCellMergingRecord), 0, Bytes({1, 0, 1, 0, 2, 0, 0, 0, 2, 0})},
        {"MSODRAWINGGROUP", 0x00EB, typeid(TDrawingGroupRecord), 0, Bytes({0x0F, 0, 0, 0xF0, 0, 0, 0, 0})},
        {"MSODRAWING", 0x00EC, typeid(TDrawingRecord), 0, Bytes({0x0F, 0, 2, 0xF0, 0, 0, 0, 0})},
        {"SST", 0x00FC, typeid(TSSTRecord), 8, Bytes({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 'x'})},
        {"LABELSST", 0x00FD, typeid(TLabelSSTRecord), 10, Bytes({0, 0, 0, 0, 15, 0, 0, 0, 0, 0})},
        {"SUPBOOK", 0x01AE, typeid(TSupBookRecord), 4, Bytes({3, 0, 1, 4})},
        {"CONDFMT", 0x01B0, typeid(TCondFmtRecord), 0, Bytes({1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0})},
        {"CF", 0x01B1, typeid(TCFRecord), 6, Bytes({1, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1E, 5, 0})},
        {"DVAL", 0x01B2, typeid(TDValRecord), 0, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0})},
        {"TXO", 0x01B6, typeid(TTXORecord), 0, Bytes({0x12, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0x10, 0, 0, 0, 0, 0})},
        {"HLINK", 0x01B8, typeid(THLinkRecord), 8, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0xD0, 0xC9, 0xEA, 0x79})},
        {"CODENAME", 0x01BA, typeid(TCodeNameRecord), 3, Bytes({5, 0, 0, 'S', 'h', 'e', 'e', 't'})},
        {"DIMENSIONS", 0x0200, typeid(TDimensionsRecord), 12, Bytes({0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 4, 0, 0, 0})},
        {"BLANK", 0x0201, typeid(TBlankRecord), 6, Bytes({0, 0, 0, 0, 15, 0})},
        {"NUMBER", 0x0203, typeid(TNumberRecord), 14, Bytes({0, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0x24, 0x40})},
        {"LABEL", 0x0204, typeid(TLabelRecord), 9, Bytes({0, 0, 0, 0, 15, 0, 1, 0, 0, 'z'})},
        {"BOOLERR", 0x0205, typeid(TBoolErrRecord), 8, Bytes({0, 0, 0, 0, 15, 0, 1, 0})},
        {"ROW", 0x0208, typeid(TRowRecord), 16, Bytes({0, 0, 0, 0, 4, 0, 0x2C, 1, 0, 0, 0, 0, 0, 1, 0x0F, 0})},
        {"DEFAULTROWHEIGHT", 0x0225, typeid(TDefRowHeightRecord), 4, Bytes({0, 0, 0xFF, 0})},
        {"WINDOW2", 0x023E, typeid(TWindow2Record), 4, Bytes({0xB6, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {"RK", 0x027E, typeid(TRKRecord), 10, Bytes({0, 0, 0, 0, 15, 0, 0x06, 0, 0, 0})},
        {"STYLE", 0x0293, typeid(TStyleRecord), 2, Bytes({0x00, 0x80, 0x00, 0xFF})},
        {"FORMAT", 0x041E, typeid(TFormatRecord), 5, Bytes({0xA4, 0, 3, 0, 0, '0', '.', '0'})},
        {"HLINKTOOLTIP", 0x0800, typeid(TScreenTipRecord), 12, Bytes({0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'x', 0, 0, 0})},
        {"AI", 0x1051, typeid(TChartAIRecord), 8, Bytes({0, 1, 0, 0, 0, 0, 0, 0})},
    };
    return samples;
}

TEST(RecordClassesTest, FactoryMakesEachClassAndItKeepsItsBytes)
{
    for (const ClassSample &sample : Samples()) {
        SCOPED_TRACE(sample.name);
        const QByteArray file = WithHeader(sample.id, sample.data);
        auto record = ReadOne(file);
        ASSERT_TRUE(record);
        const TBaseRecord &read = *record;
        EXPECT_EQ(std::type_index(typeid(read)), sample.type);
        EXPECT_EQ(record->TotalSize(), file.size());
        EXPECT_TRUE(SameBytes(file, Saved(*record)));
        auto copy = record->Clone();
        const TBaseRecord &copied = *copy;
        EXPECT_EQ(std::type_index(typeid(copied)), sample.type);
        if (sample.id != TWindow2Record::Id) {  // copies of WINDOW2 are unselected
            EXPECT_TRUE(SameBytes(file, Saved(*copy)));
        }
    }
}

TEST(RecordClassesTest, DataShorterThanTheClassReadsIsRefusedWhenBuilt)
{
    for (const ClassSample &sample : Samples()) {
        SCOPED_TRACE(sample.name);
        for (int size = 0; size < sample.minSize; ++size) {
            const QByteArray cut = sample.data.left(size);
            const QString error = ErrorOf([&] { CreateRecord(sample.id, cut); });
            EXPECT_FALSE(error.isEmpty()) << size << " bytes were accepted";
        }
    }
}

TEST(RecordClassesTest, LoadedFieldsMatchTheSamples)
{
    auto find = [](const char *name) {
        for (const ClassSample &sample : Samples())
            if (qstrcmp(sample.name, name) == 0)
                return CreateRecord(sample.id, sample.data);
        return std::unique_ptr<TBaseRecord>();
    };
    EXPECT_EQ(As<TBOFRecord>(find("BOF"))->BofType(), TBOFRecord::TypeWorkbookGlobals);
    auto obj = find("OBJ");
    EXPECT_EQ(As<TObjRecord>(obj)->ObjKind(), 0x15);
    EXPECT_EQ(As<TObjRecord>(obj)->ObjType(), 0x19);  // a comment
    EXPECT_EQ(As<TSSTRecord>(find("SST"))->UniqueCount(), 1u);
    auto dimensions = find("DIMENSIONS");
    EXPECT_EQ(As<TDimensionsRecord>(dimensions)->LastRowPlus1(), 9u);
    EXPECT_EQ(As<TDimensionsRecord>(dimensions)->LastColumnPlus1(), 4);
    EXPECT_EQ(As<TDefRowHeightRecord>(find("DEFAULTROWHEIGHT"))->Height(), 255);
    auto pls = find("PLS");
    EXPECT_EQ(As<TPlsRecord>(pls)->Bytes(), QByteArray("DEV"));
    As<TPlsRecord>(pls)->Rebuild(1, QByteArray("XY"));
    EXPECT_TRUE(SameBytes(Bytes({1, 0, 'X', 'Y'}), pls->Data()));
    auto note = find("NOTE");
    EXPECT_EQ(As<TNoteRecord>(note)->Row(), 2);
    EXPECT_EQ(As<TNoteRecord>(note)->ObjId(), 1);
    auto supbook = find("SUPBOOK");
    EXPECT_TRUE(As<TSupBookRecord>(supbook)->IsSelfReference());
    EXPECT_EQ(As<TSupBookRecord>(supbook)->SheetCount(), 3);
    EXPECT_EQ(As<TExternNameRecord>(find("EXTERNNAME"))->Name(), QStringLiteral("abc"));
    auto breaks = find("HORIZONTALPAGEBREAKS");
    EXPECT_EQ(As<THPageBreakRecord>(breaks)->Count(), 1);
    EXPECT_EQ(As<THPageBreakRecord>(breaks)->Position(0), 20);
    auto externs = find("EXTERNSHEET");
    EXPECT_EQ(As<TExternSheetRecord>(externs)->Count(), 1);
    EXPECT_EQ(As<TExternSheetRecord>(externs)->LastSheet(0), 1);
    auto xf = find("XF");
    EXPECT_EQ(As<TXFRecord>(xf)->FormatIndex(), 0xA4);
    EXPECT_TRUE(As<TXFRecord>(xf)->IsStyle() == false);
    EXPECT_TRUE(As<TStyleRecord>(find("STYLE"))->IsBuiltIn());
    EXPECT_EQ(As<TFontRecord>(find("FONT"))->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(As<TBoundSheetRecord>(find("BOUNDSHEET"))->StreamPosition(), 0x1000u);
    EXPECT_EQ(As<TCodeNameRecord>(find("CODENAME"))->CodeName(), QStringLiteral("Sheet"));
    EXPECT_EQ(As<TLabelRecord>(find("LABEL"))->Text(), QStringLiteral("z"));
    EXPECT_EQ(As<TRKRecord>(find("RK"))->Value(), 1.0);  // 1 << 2 | integer
}

} // namespace
