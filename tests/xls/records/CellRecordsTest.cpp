#include "RecordTestSupport.h"

#include "xls/records/CellRecords.h"
#include "xls/records/SheetInfo.h"
#include "xls/storage/ByteUtils.h"

#include <cmath>
#include <functional>

using namespace recordtest;

namespace {

// Each cell class from its bytes: the fields it reads, and the same bytes back.
TEST(CellRecordsTest, CellClassesLoadTheirFieldsAndStoreTheSameBytes)
{
    struct Row
    {
        const char *name;
        quint16 id;
        QByteArray data;
        int row, column, xf;
        QVariant value;
    };
    const Row rows[] = {
        {"NUMBER 12.5", 0x0203,
         Bytes({0x04, 0x00,                                      // row 4
                0x02, 0x00,                                      // column 2
                0x11, 0x00,                                      // XF 17
                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x29, 0x40}),  // 12.5
         4, 2, 17, 12.5},
        {"RK integer 7", 0x027E,
         Bytes({0x00, 0x01,               // row 256
                0xFF, 0x00,               // column 255
                0x0F, 0x00,               // XF 15
                0x1E, 0x00, 0x00, 0x00}),  // 7 << 2 | integer
         256, 255, 15, 7.0},
        {"RK 1.5 from the double's high bits", 0x027E,
         Bytes({0, 0, 0, 0, 0x0F, 0x00,
                0x00, 0x00, 0xF8, 0x3F}),  // high word of 1.5
         0, 0, 15, 1.5},
        {"RK -1234.56 scaled by 100", 0x027E,
         Bytes({1, 0, 1, 0, 0x0F, 0x00,
                0x03, 0x77, 0xF8, 0xFF}),  // -123456 << 2 | integer | /100
         1, 1, 15, -1234.56},
        {"LABEL", 0x0204,
         Bytes({2, 0, 3, 0, 0x10, 0x00,
                0x02, 0x00, 0x00, 'O', 'K'}),  // "OK"
         2, 3, 16, QStringLiteral("OK")},
        {"BOOLERR true", 0x0205, Bytes({0, 0, 0, 0, 15, 0, 0x01, 0x00}), 0, 0, 15, true},
        {"BOOLERR #DIV/0!", 0x0205, Bytes({0, 0, 0, 0, 15, 0, 0x07, 0x01}), 0, 0, 15,
         QStringLiteral("#DIV/0!")},
        {"BOOLERR unknown error code", 0x0205, Bytes({0, 0, 0, 0, 15, 0, 0x63, 0x01}), 0, 0, 15, QVariant()},
        {"BLANK", 0x0201, Bytes({9, 0, 8, 0, 0x16, 0x00}), 9, 8, 22, QVariant()},
        {"LABELSST", 0x00FD, Bytes({1, 0, 0, 0, 15, 0, 0x39, 0x30, 0, 0}), 1, 0, 15, QVariant()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray file = WithHeader(row.id, row.data);
        auto record = ReadOne(file);
        auto *cell = As<TCellRecord>(record);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->Row(), row.row);
        EXPECT_EQ(cell->Column(), row.column);
        EXPECT_EQ(cell->XF(), row.xf);
        if (row.value.typeId() == QMetaType::Double)
            EXPECT_NEAR(cell->GetValue().toDouble(), row.value.toDouble(), 1e-9);
        else
            EXPECT_EQ(cell->GetValue(), row.value);
        EXPECT_TRUE(SameBytes(file, Saved(*record)));
    }
}

TEST(CellRecordsTest, NewCellsCarryTheirPlaceFormatAndValue)
{
    struct Row
    {
        const char *name;
        std::function<std::unique_ptr<TBaseRecord>()> make;
        QByteArray bytes;
    };
    const Row rows[] = {
        {"text", [] { return TLabelSSTRecord::NewLabelSST(1, 2, 15, 12345); },
         Bytes({0xFD, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x02, 0x00, 0x0F, 0x00, 0x39, 0x30, 0x00, 0x00})},
        {"RK in the last row and column", [] { return TRKRecord::NewRK(65535, 255, 0x1234, 0x89ABCDEF); },
         Bytes({0x7E, 0x02, 0x0A, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89})},
        {"number", [] { return TNumberRecord::NewNumber(3, 4, 16, -2.5); },
         Bytes({0x03, 0x02, 0x0E, 0x00, 0x03, 0x00, 0x04, 0x00, 0x10, 0x00,
                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xC0})},
        {"blank", [] { return TBlankRecord::NewBlank(0, 0, 21); },
         Bytes({0x01, 0x02, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x15, 0x00})},
    };
    for (const Row &row : rows)
        EXPECT_TRUE(SameBytes(row.bytes, Saved(*row.make()))) << row.name;
    EXPECT_THROW(TRKRecord::NewRK(65536, 0, 15, 0), EExcelException);
    EXPECT_THROW(TBlankRecord::NewBlank(0, 256, 15), EExcelException);
}

TEST(CellRecordsTest, NumbersPackIntoRKOnlyWithoutLoss)
{
    struct Row
    {
        const char *name;
        double value;
        bool packs;
    };
    const Row rows[] = {
        {"zero", 0.0, true},
        {"small integer", 42.0, true},
        {"negative integer", -17.0, true},
        {"largest 30-bit integer", 536870911.0, true},
        {"just past 30 bits", 536870912.0, true},  // exact as a short double
        {"money with cents", 1234.56, true},
        {"negative cents", -0.01, true},
        {"half", 0.5, true},
        {"a third", 1.0 / 3.0, false},
        {"pi", 3.14159265358979, false},
        {"large odd integer", 1073741825.0, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        quint32 rk = 0;
        EXPECT_EQ(TRKRecord::EncodeRK(row.value, rk), row.packs);
        if (row.packs) {
            EXPECT_EQ(TRKRecord::DecodeRK(rk), row.value);
        }
    }
}

TEST(CellRecordsTest, MultipleCellRecordsSplitIntoOneCellEach)
{
    const QByteArray mulrk = WithHeader(0x00BD, Bytes({3, 0,                    // row 3
                                                       4, 0,                    // first column 4
                                                       15, 0, 0x1E, 0, 0, 0,    // XF 15, 7
                                                       16, 0, 0x00, 0, 0xF8, 0x3F,  // XF 16, 1.5
                                                       5, 0}));                 // last column 5
    auto record = ReadOne(mulrk);
    auto *multiple = As<TMulRKRecord>(record);
    ASSERT_TRUE(multiple);
    const auto cells = multiple->SplitToCells();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0]->Column(), 4);
    EXPECT_EQ(cells[0]->GetValue().toDouble(), 7.0);
    EXPECT_EQ(cells[1]->Column(), 5);
    EXPECT_EQ(cells[1]->XF(), 16);
    EXPECT_EQ(cells[1]->GetValue().toDouble(), 1.5);
    EXPECT_TRUE(SameBytes(mulrk, Saved(*record)));

    auto blanks = ReadOne(WithHeader(0x00BE, Bytes({0, 0, 1, 0, 15, 0, 16, 0, 17, 0, 3, 0})));
    ASSERT_TRUE(As<TMulBlankRecord>(blanks));
    const auto blankCells = As<TMulBlankRecord>(blanks)->SplitToCells();
    ASSERT_EQ(blankCells.size(), 3u);
    EXPECT_EQ(blankCells[2]->Column(), 3);
    EXPECT_EQ(blankCells[2]->XF(), 17);
}

TEST(CellRecordsTest, MultipleCellRecordsWhoseCountDisagreesAreRefused)
{
    struct Row
    {
        const char *name;
        QByteArray stream;
    };
    const Row rows[] = {
        {"last column does not match", WithHeader(0x00BD, Bytes({0, 0, 4, 0, 15, 0, 0, 0, 0, 0, 9, 0}))},
        {"partial item", WithHeader(0x00BE, Bytes({0, 0, 1, 0, 15, 0, 16, 1, 0}))},
        {"past the last column", WithHeader(0x00BE, Bytes({0, 0, 0xFF, 0, 15, 0, 15, 0, 0, 1}))},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(ErrorOf([&] { ReadAll(row.stream); }).startsWith(QStringLiteral("Record with ID 0x")));
    }
}

TEST(CellRecordsTest, ShiftAndCopyMoveCellsWithinTheSheetOnly)
{
    TSheetInfo ownSheet;
    ownSheet.InsSheet = 1;
    ownSheet.FormulaSheet = 1;
    TSheetInfo otherSheet;
    otherSheet.InsSheet = 0;
    otherSheet.FormulaSheet = 1;

    struct Row
    {
        const char *name;
        int row, column;
        std::function<void(TCellRecord &)> change;
        int wantRow, wantColumn;
        bool fails;
    };
    const Row rows[] = {
        {"rows inserted above", 10, 3, [&](TCellRecord &c) { c.ShiftForInsert(5, 2, ownSheet); }, 12, 3, false},
        {"rows inserted at the cell", 10, 3, [&](TCellRecord &c) { c.ShiftForInsert(10, 2, ownSheet); }, 12, 3,
         false},
        {"rows inserted below", 10, 3, [&](TCellRecord &c) { c.ShiftForInsert(11, 2, ownSheet); }, 10, 3, false},
        {"another sheet", 10, 3, [&](TCellRecord &c) { c.ShiftForInsert(0, 2, otherSheet); }, 10, 3, false},
        {"columns inserted", 10, 3, [&](TCellRecord &c) { c.ShiftForInsert(0, 0, ownSheet, 4, 2); }, 10, 7,
         false},
        {"rows deleted above", 10, 3, [&](TCellRecord &c) { c.ShiftForInsert(2, -3, ownSheet); }, 7, 3, false},
        {"pushed past the last row", 65530, 0, [&](TCellRecord &c) { c.ShiftForInsert(0, 6, ownSheet); }, 65530,
         0, true},
        {"pushed past the last column", 0, 250, [&](TCellRecord &c) { c.ShiftForInsert(0, 1, ownSheet, 6, 0); }, 0,
         250, true},
        {"copied down", 10, 3, [](TCellRecord &c) { c.OffsetForCopy(5, 1); }, 15, 4, false},
        // 16-bit wrapping would put the copy on row 4; it is refused instead.
        {"copied past the last row", 65535, 3, [](TCellRecord &c) { c.OffsetForCopy(5, 0); }, 65535, 3, true},
        {"copied before the first column", 10, 3, [](TCellRecord &c) { c.OffsetForCopy(0, -4); }, 10, 3, true},
        // Column 300 is past the format's last column, as a damaged or foreign
        // file may have it: only a move of the column itself is refused.
        {"rows inserted above a column out of range", 10, 300,
         [&](TCellRecord &c) { c.ShiftForInsert(5, 2, ownSheet); }, 12, 300, false},
        {"column out of range copied down", 10, 300, [](TCellRecord &c) { c.OffsetForCopy(5, 0); }, 15, 300, false},
        {"column out of range moved", 10, 300, [](TCellRecord &c) { c.OffsetForCopy(0, 1); }, 10, 300, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        // Built from bytes, as read from a file, so the column may be out of range.
        QByteArray data = TCellRecord::NewCellData(row.row, 0, 15, 14);
        WriteWord(data, 2, quint16(row.column));
        auto cell = std::make_unique<TNumberRecord>(TNumberRecord::Id, data);
        const QString error = ErrorOf([&] { row.change(*cell); });
        EXPECT_EQ(!error.isEmpty(), row.fails) << error.toStdString();
        if (row.fails) {
            EXPECT_TRUE(error.startsWith(QStringLiteral("Too many entries for this kind of record")));
        }
        EXPECT_EQ(cell->Row(), row.wantRow);
        EXPECT_EQ(cell->Column(), row.wantColumn);
    }
}

// Small cells keep their data inside the record object. Whatever the storage,
// a record's bytes are its own: the caller's buffer, copies taken through
// Data() and clones each keep their bytes when any of the others changes.
TEST(CellRecordsTest, CellBytesStayTheirOwnAcrossCopiesClonesAndChanges)
{
    struct Row
    {
        const char *name;
        quint16 id;
        QByteArray data;
    };
    const Row rows[] = {
        {"BLANK", TBlankRecord::Id, Bytes({1, 0, 2, 0, 15, 0})},
        {"BOOLERR", TBoolErrRecord::Id, Bytes({1, 0, 2, 0, 15, 0, 1, 0})},
        {"RK", TRKRecord::Id, Bytes({1, 0, 2, 0, 15, 0, 0x1E, 0, 0, 0})},
        {"LABELSST", TLabelSSTRecord::Id, Bytes({1, 0, 2, 0, 15, 0, 5, 0, 0, 0})},
        {"NUMBER", TNumberRecord::Id, Bytes({1, 0, 2, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0x29, 0x40})},
        {"LABEL, short", TLabelRecord::Id, Bytes({1, 0, 2, 0, 15, 0, 2, 0, 0, 'a', 'b'})},
        {"LABEL, longer than a small cell", TLabelRecord::Id,
         Bytes({1, 0, 2, 0, 15, 0, 10, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'})},
        // 21 bytes are the most a record keeps inside; one more goes to the heap.
        {"LABEL, 21 bytes", TLabelRecord::Id,
         Bytes({1, 0, 2, 0, 15, 0, 12, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l'})},
        {"LABEL, 22 bytes", TLabelRecord::Id,
         Bytes({1, 0, 2, 0, 15, 0, 13, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm'})},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray source = row.data;
        const std::unique_ptr<TBaseRecord> base = CreateRecord(row.id, source);
        auto *cell = dynamic_cast<TCellRecord *>(base.get());
        ASSERT_NE(cell, nullptr);
        source[0] = 'X';
        EXPECT_TRUE(SameBytes(row.data, cell->Data()));

        const QByteArray before = cell->Data();
        const std::unique_ptr<TBaseRecord> clone = cell->Clone();
        cell->SetXF(77);
        cell->OffsetForCopy(3, 1);
        EXPECT_TRUE(SameBytes(row.data, before));
        EXPECT_TRUE(SameBytes(row.data, clone->Data()));
        EXPECT_EQ(cell->XF(), 77);
        EXPECT_EQ(cell->Row(), 4);
        EXPECT_EQ(cell->Column(), 3);
        EXPECT_TRUE(SameBytes(row.data.mid(6), cell->Data().mid(6)));
        EXPECT_TRUE(SameBytes(WithHeader(row.id, cell->Data()), Saved(*cell)));
        EXPECT_TRUE(SameBytes(WithHeader(row.id, row.data), Saved(*clone)));
    }
}

} // namespace
