#include "RecordTestSupport.h"

#include "xls/records/BoundSheetRecordList.h"
#include "xls/records/CellRecordList.h"
#include "xls/records/CellRecords.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RowRecordList.h"
#include "xls/records/SheetInfo.h"
#include "xls/records/SheetRecords.h"

using namespace recordtest;

namespace {

qint64 SumOfSizes(const TBaseRecordList &list)
{
    qint64 sum = 0;
    for (int i = 0; i < list.Count(); ++i)
        if (list[i])
            sum += list[i]->TotalSize();
    return sum;
}

TEST(RecordListTest, TotalFollowsEveryChangeOfTheList)
{
    TBaseRecordList list;
    list.Add(std::make_unique<TBaseRecord>(0x1000, QByteArray(10, 'a')));
    list.Add(nullptr);
    list.Add(std::make_unique<TBaseRecord>(0x1001, QByteArray(3, 'b')));
    auto chained = std::make_unique<TBaseRecord>(0x1002, QByteArray(1, 'c'));
    chained->AddContinue(std::make_unique<TContinueRecord>(0x003C, QByteArray(5, 'd')));
    list.Insert(1, std::move(chained));
    EXPECT_EQ(list.TotalSize(), 14 + 7 + 5 + 9);
    EXPECT_EQ(list.TotalSize(), SumOfSizes(list));

    list.SetItem(0, std::make_unique<TBaseRecord>(0x1003, QByteArray()));
    EXPECT_EQ(list.TotalSize(), SumOfSizes(list));
    list.Delete(1);
    EXPECT_EQ(list.TotalSize(), SumOfSizes(list));
    list.Add(CreateRecord(0x00D7, QByteArray(8, '\0')));  // DBCELL counts 0
    EXPECT_EQ(list.TotalSize(), SumOfSizes(list));
    list.CopyFrom(list);  // copying into itself ends
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.TotalSize(), SumOfSizes(list));
    EXPECT_EQ(Saved(list).size(), list.TotalSize());
    list.Clear();
    EXPECT_EQ(list.TotalSize(), 0);
}

TEST(RecordListTest, FindGivesTheFirstOfEqualColumnsOrWhereOneWouldGo)
{
    TBaseRowColRecordList list;
    for (int column : {7, 2, 5, 2, 9})
        list.Add(TBlankRecord::NewBlank(0, column, column == 2 ? list.Count() : 15));
    EXPECT_FALSE(list.Sorted());
    // A copy is sorted as its original is, before and after the sort.
    TBaseRowColRecordList unsorted, sorted;
    unsorted.CopyFrom(list);
    EXPECT_FALSE(unsorted.Sorted());
    int index = -1;
    EXPECT_TRUE(unsorted.Find(7, index));
    EXPECT_EQ(index, 3);
    list.Sort();
    sorted.CopyFrom(list);
    EXPECT_TRUE(sorted.Sorted());
    EXPECT_TRUE(list.Find(2, index));
    EXPECT_TRUE(list.Sorted());
    EXPECT_EQ(index, 0);
    // The sort keeps equal columns in their order: the first added comes first.
    EXPECT_EQ(static_cast<TBlankRecord *>(list[0])->XF(), 1);
    struct Row
    {
        int column;
        bool found;
        int index;
    };
    for (const Row &row : {Row{5, true, 2}, Row{6, false, 3}, Row{0, false, 0}, Row{10, false, 5}, Row{9, true, 4}}) {
        SCOPED_TRACE(row.column);
        EXPECT_EQ(list.Find(row.column, index), row.found);
        EXPECT_EQ(index, row.index);
    }
}

TEST(RecordListTest, FindGoesStraightToTheCellWhereTheColumnSaysAndIsNotFooledThere)
{
    TBaseRowColRecordList list;
    for (int column : {3, 5, 5, 6})
        list.Add(TBlankRecord::NewBlank(0, column, 15));
    struct Row
    {
        int column;
        bool found;
        int index;
    };
    // 3 and 6 stand where their distance from the first says; there stands
    // the second 5 (the first is given), and no 4.
    for (const Row &row : {Row{3, true, 0}, Row{6, true, 3}, Row{5, true, 1}, Row{4, false, 1}, Row{7, false, 4},
                           Row{2, false, 0}}) {
        SCOPED_TRACE(row.column);
        int index = -1;
        EXPECT_EQ(list.Find(row.column, index), row.found);
        EXPECT_EQ(index, row.index);
    }
}

// A row of cells as the joining writer sees it.
TCellRecordList CellsOf(std::initializer_list<std::pair<char, int>> cells)
{
    TCellRecordList list;
    for (auto [kind, column] : cells) {
        if (kind == 'r')
            list.Add(TRKRecord::NewRK(1, column, 15, 0x1E));  // 7
        else if (kind == 'b')
            list.Add(TBlankRecord::NewBlank(1, column, 15));
        else
            list.Add(TNumberRecord::NewNumber(1, column, 15, 2.0));
    }
    return list;
}

TEST(RecordListTest, JoiningWriterWritesNeighbouringRKCellsAsOneMulRK)
{
    const TCellRecordList list = CellsOf({{'r', 2}, {'r', 3}, {'r', 4}});
    const QByteArray expected = Bytes({0xBD, 0x00, 0x18, 0x00,    // MULRK, 24 bytes
                                       0x01, 0x00, 0x02, 0x00,    // row 1, first column 2
                                       0x0F, 0x00, 0x1E, 0, 0, 0,  // XF 15, 7
                                       0x0F, 0x00, 0x1E, 0, 0, 0,
                                       0x0F, 0x00, 0x1E, 0, 0, 0,
                                       0x04, 0x00});               // last column 4
    EXPECT_TRUE(SameBytes(expected, Saved(list)));
    EXPECT_EQ(list.TotalSize(), expected.size());
}

TEST(RecordListTest, JoiningWriterRunsStopAtTheRangeAndAtOtherKinds)
{
    const QByteArray rk2 = Bytes({0x7E, 0x02, 0x0A, 0x00, 1, 0, 2, 0, 15, 0, 0x1E, 0, 0, 0});
    const QByteArray mulrk34 = Bytes({0xBD, 0x00, 0x12, 0x00, 1, 0, 3, 0, 15, 0, 0x1E, 0, 0, 0,
                                      15, 0, 0x1E, 0, 0, 0, 4, 0});
    const QByteArray mulrk23 = Bytes({0xBD, 0x00, 0x12, 0x00, 1, 0, 2, 0, 15, 0, 0x1E, 0, 0, 0,
                                      15, 0, 0x1E, 0, 0, 0, 3, 0});
    const QByteArray mulblank56 = Bytes({0xBE, 0x00, 0x0A, 0x00, 1, 0, 5, 0, 15, 0, 15, 0, 6, 0});
    const QByteArray blank7 = Bytes({0x01, 0x02, 0x06, 0x00, 1, 0, 7, 0, 15, 0});

    struct Row
    {
        const char *name;
        TCellRecordList list;
        int left, top, right, bottom;
        QByteArray expected;
    };
    Row rows[] = {
        // With Right = 3 the run stops at column 3 and column 4 is not written.
        {"range ends inside the run", CellsOf({{'r', 2}, {'r', 3}, {'r', 4}}), 0, 0, 3, 65535, mulrk23},
        {"range starts inside the run", CellsOf({{'r', 2}, {'r', 3}, {'r', 4}}), 3, 0, 255, 65535, mulrk34},
        {"gap breaks the run", CellsOf({{'r', 2}, {'r', 4}}), 0, 0, 255, 65535,
         rk2 + Bytes({0x7E, 0x02, 0x0A, 0x00, 1, 0, 4, 0, 15, 0, 0x1E, 0, 0, 0})},
        {"kinds do not mix", CellsOf({{'r', 2}, {'r', 3}, {'r', 4}, {'b', 5}, {'b', 6}, {'b', 7}}), 0, 0, 255,
         65535, Bytes({0xBD, 0x00, 0x18, 0x00, 1, 0, 2, 0, 15, 0, 0x1E, 0, 0, 0, 15, 0, 0x1E, 0, 0, 0,
                       15, 0, 0x1E, 0, 0, 0, 4, 0,
                       0xBE, 0x00, 0x0C, 0x00, 1, 0, 5, 0, 15, 0, 15, 0, 15, 0, 7, 0})},
        {"numbers never join", CellsOf({{'n', 0}, {'n', 1}}), 0, 0, 255, 65535,
         Bytes({0x03, 0x02, 0x0E, 0x00, 1, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0x40,
                0x03, 0x02, 0x0E, 0x00, 1, 0, 1, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0x40})},
        {"two-cell runs around another kind", CellsOf({{'r', 0}, {'r', 1}, {'n', 2}, {'b', 3}, {'b', 4}}), 0, 0,
         255, 65535,
         Bytes({0xBD, 0x00, 0x12, 0x00, 1, 0, 0, 0, 15, 0, 0x1E, 0, 0, 0, 15, 0, 0x1E, 0, 0, 0, 1, 0,
                0x03, 0x02, 0x0E, 0x00, 1, 0, 2, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0x40,
                0xBE, 0x00, 0x0A, 0x00, 1, 0, 3, 0, 15, 0, 15, 0, 4, 0})},
        {"blank run then a single blank", CellsOf({{'b', 5}, {'b', 6}, {'b', 7}}), 0, 0, 6, 65535, mulblank56},
        {"row outside the range", CellsOf({{'r', 2}, {'r', 3}}), 0, 2, 255, 65535, QByteArray()},
        {"single cell", CellsOf({{'b', 7}}), 0, 0, 255, 65535, blank7},
        {"empty row", CellsOf({}), 0, 0, 255, 65535, QByteArray()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        row.list.SaveRangeToStream(buffer, row.left, row.top, row.right, row.bottom);
        EXPECT_TRUE(SameBytes(row.expected, out));
        EXPECT_EQ(row.list.TotalRangeSize(row.left, row.top, row.right, row.bottom), out.size());
    }
}

TSheetInfo OwnSheet()
{
    TSheetInfo info;
    info.InsSheet = 0;
    info.FormulaSheet = 0;
    return info;
}

// The rows present, as "index:Row" pairs, so a list's shape shows at a glance.
QString Shape(const TRowRecordList &rows)
{
    QStringList parts;
    for (int i = 0; i < rows.Count(); ++i)
        if (rows.HasRow(i))
            parts << QStringLiteral("%1:%2").arg(i).arg(rows.RowRecord(i)->Row());
    return parts.join(u' ');
}

TEST(RecordListTest, RowListPlacesRowsAtTheirIndexWithEmptyItemsBetween)
{
    TRowRecordList rows;
    rows.AddRecord(TRowRecord::NewRow(0));
    rows.AddRecord(TRowRecord::NewRow(5));
    EXPECT_EQ(rows.Count(), 6);
    EXPECT_FALSE(rows.HasRow(3));
    EXPECT_EQ(rows.RowHeight(3), 0);
    EXPECT_TRUE(rows.IsAutoRowHeight(3));
    EXPECT_EQ(rows.TotalSize(), 2 * 20);
    EXPECT_EQ(ErrorOf([&] { rows.AddRecord(TRowRecord::NewRow(5)); }), QStringLiteral("Duplicated ROW record"));
    EXPECT_EQ(ErrorOf([&] { rows.RowRecord(3); }), QStringLiteral("Missing ROW Record for row 3"));
    EXPECT_EQ(ErrorOf([&] { rows.TotalRangeSize(0, 0, 255, 5); }), QStringLiteral("Missing ROW Record for row 1"));
    EXPECT_EQ(rows.TotalRangeSize(0, 5, 255, 5), 20);

    rows.SetRowHeight(3, 600);
    EXPECT_EQ(rows.RowHeight(3), 600);
    EXPECT_FALSE(rows.IsAutoRowHeight(3));
    rows.SetAutoRowHeight(3, true);
    EXPECT_TRUE(rows.IsAutoRowHeight(3));
    EXPECT_EQ(rows.TotalSize(), 3 * 20);
}

TEST(RecordListTest, DeletingRowsMovesTheRowsBelowUp)
{
    TRowRecordList rows;
    for (int r = 1; r <= 5; ++r)
        rows.AddRecord(TRowRecord::NewRow(r));
    rows.DeleteRows(2, 2, OwnSheet());
    EXPECT_EQ(Shape(rows), QStringLiteral("1:1 2:2 3:3"));
    EXPECT_EQ(rows.TotalSize(), 3 * 20);
    rows.DeleteRows(2, 100, OwnSheet());  // cut at the end
    EXPECT_EQ(Shape(rows), QStringLiteral("1:1"));
}

TEST(RecordListTest, InsertAndCopyRowsCopiesTheBandAndMovesTheRest)
{
    struct Row
    {
        const char *name;
        int first, last, dest, count;
        QString shape;
    };
    const Row rows[] = {
        // Rows 1, 2 and 4 exist; row 3 is empty.
        {"two copies of rows 1-2 below them", 1, 2, 5, 2, QStringLiteral("1:1 2:2 4:4 5:5 6:6 7:7 8:8")},
        {"one copy of rows 1-2 above them", 1, 2, 0, 1, QStringLiteral("0:0 1:1 3:3 4:4 6:6")},
        {"copy of an empty row", 3, 3, 2, 1, QStringLiteral("1:1 3:3 5:5")},
        {"copy past the end of the list", 1, 1, 9, 1, QStringLiteral("1:1 2:2 4:4 9:9")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        TRowRecordList list;
        for (int r : {1, 2, 4})
            list.AddRecord(TRowRecord::NewRow(r));
        list.RowRecord(1)->SetHeight(111);
        list.InsertAndCopyRows(row.first, row.last, row.dest, row.count, OwnSheet());
        EXPECT_EQ(Shape(list), row.shape);
        EXPECT_EQ(list.TotalSize(), SumOfSizes(list));
    }
    TRowRecordList list;
    list.AddRecord(TRowRecord::NewRow(1));
    list.RowRecord(1)->SetHeight(111);
    list.InsertAndCopyRows(1, 1, 3, 2, OwnSheet());
    EXPECT_EQ(list.RowHeight(3), 111);
    EXPECT_EQ(list.RowHeight(4), 111);
}

TEST(RecordListTest, InsertingPastTheLastRowChangesNothing)
{
    TRowRecordList list;
    list.AddRecord(TRowRecord::NewRow(2));
    list.AddRecord(TRowRecord::NewRow(65530));
    EXPECT_TRUE(ErrorOf([&] { list.InsertAndCopyRows(2, 2, 3, 10, OwnSheet()); })
                    .startsWith(QStringLiteral("Too many entries")));
    EXPECT_EQ(Shape(list), QStringLiteral("2:2 65530:65530"));
}

TEST(RecordListTest, OutlineLevelIsTheHighestOfTheRows)
{
    TRowRecordList rows;
    for (int r = 0; r < 4; ++r)
        rows.AddRecord(TRowRecord::NewRow(r * 2));
    rows.RowRecord(2)->SetOptions(rows.RowRecord(2)->Options() | 3);
    rows.RowRecord(4)->SetOptions(rows.RowRecord(4)->Options() | 1);
    TGutsRecord guts(TGutsRecord::Id, QByteArray(8, '\0'));
    rows.RecalcOutlineLevel(guts);
    EXPECT_EQ(guts.RowGutter(), 65);
    EXPECT_EQ(guts.RowLevels(), 4);
}

TEST(RecordListTest, BoundSheetListRenamesAndKeepsItsTotal)
{
    TBoundSheetRecordList sheets;
    sheets.Add(TBoundSheetRecord::NewBoundSheet(0, QStringLiteral("Foaie1")));
    sheets.Add(TBoundSheetRecord::NewBoundSheet(0x0102, QStringLiteral("Ascuns")));
    EXPECT_EQ(sheets.SheetVisible(1), TBoundSheetRecordList::VeryHidden);
    sheets.SetSheetVisible(1, TBoundSheetRecordList::Visible);
    EXPECT_EQ(sheets[1]->Options(), 0x0100);  // the sheet type stays
    sheets.Rename(0, QStringLiteral("Situația lunară"));
    EXPECT_EQ(sheets.SheetName(0), QStringLiteral("Situația lunară"));
    EXPECT_EQ(sheets.TotalSize(), SumOfSizes(sheets));
    EXPECT_EQ(Saved(sheets).size(), sheets.TotalSize());
}

} // namespace
