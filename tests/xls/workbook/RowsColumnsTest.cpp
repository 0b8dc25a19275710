// Row heights, column widths, hidden rows and columns and their formats;
// and what every operation does when the active sheet is a chart.
#include "FileOpsSupport.h"

#include "xls/records/SheetRecords.h"
#include "xls/workbook/Workbook.h"

#include <gtest/gtest.h>

using namespace FileOps;
using namespace IndependentReaders;

namespace {

// A new workbook with a chart sheet "Grafic" after its worksheet.
std::unique_ptr<TXLSFile> WithChartSheet()
{
    auto made = NewBook();
    made->SetCellValue(1, 1, QStringLiteral("foaie"));
    return OpenWorkbookStream(FileOps::WithChartSheet(made->Workbook().SaveToBytes()));
}

}  // namespace

TEST(RowsAndColumns, SizesHiddenAndFormatsRoundTrip)
{
    auto file = NewBook();
    file->SetCellValue(1, 1, QStringLiteral("antet"));
    file->SetCellValue(5, 5, 1.0);
    const int defaultWidth = file->GetColumnWidth(3);
    EXPECT_GT(defaultWidth, 0);
    EXPECT_EQ(file->GetRowHeight(2), 255);
    EXPECT_EQ(file->GetRowFormat(2), -1);
    EXPECT_EQ(file->GetColumnFormat(2), -1);

    TXlsFormat shaded = file->GetFormat(15);
    shaded.Format = QStringLiteral("0.0");
    const int xf = file->AddFormat(shaded);
    file->SetRowHeight(1, 600);
    file->SetRowHidden(3, true);
    file->SetRowFormat(4, xf);
    // Column 2 alone out of a range of three.
    for (int col : {1, 2, 3})
        file->SetColumnWidth(col, 4000);
    file->SetColumnWidth(2, 1000);
    file->SetColumnHidden(4, true);
    file->SetColumnFormat(5, xf);
    EXPECT_EQ(file->GetColumnWidth(1), 4000);
    EXPECT_EQ(file->GetColumnWidth(2), 1000);
    EXPECT_EQ(file->GetColumnWidth(3), 4000);
    EXPECT_EQ(file->GetColumnWidth(6), defaultWidth);

    const QString out = SaveScratch(*file, QStringLiteral("rows-cols"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->GetRowHeight(1), 600);
    EXPECT_TRUE(again->GetRowHidden(3));
    EXPECT_FALSE(again->GetRowHidden(2));
    EXPECT_EQ(again->GetRowFormat(4), xf);
    EXPECT_EQ(again->GetColumnWidth(2), 1000);
    EXPECT_TRUE(again->GetColumnHidden(4));
    EXPECT_EQ(again->GetColumnFormat(5), xf);
    EXPECT_EQ(again->GetCellValue(5, 5), QVariant(1.0));

    const QString seen = Xlrd(out, QStringLiteral(
        "import sys, xlrd\n"
        "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
        "r = s.rowinfo_map\n"
        "c = s.colinfo_map\n"
        "print(r[0].height, r[2].hidden, [c[i].width for i in range(3)], c[3].hidden, c[4].xf_index)\n"));
    EXPECT_EQ(seen, QStringLiteral("600 1 [4000, 1000, 4000] 1 %1").arg(xf));
}

TEST(RowsAndColumns, NumbersAndValuesOutsideTheSheetAreRefused)
{
    auto file = NewBook();
    const struct { const char *name; std::function<void()> call; const char *message; } rows[] = {
        {"row 0", [&] { file->SetRowHeight(0, 300); }, "Invalid Row (0)"},
        {"row past the sheet", [&] { file->GetRowHeight(65537); }, "Invalid Row (65537)"},
        {"column 0", [&] { file->SetColumnWidth(0, 300); }, "Invalid Column (0)"},
        {"column 257", [&] { file->GetColumnHidden(257); }, "Invalid Column (257)"},
        {"negative height", [&] { file->SetRowHeight(2, -5); }, "Invalid row height (-5)"},
        {"width past a word", [&] { file->SetColumnWidth(2, 70000); }, "Invalid column width (70000)"},
        {"format past the list", [&] { file->SetColumnFormat(2, 5000); },
         "The index \"5000\" of the property \"FormatIndex\" is not in the range 0-%1"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ErrorOf(r.call), QString::fromUtf8(r.message).replace(QStringLiteral("%1"),
                                                                         QString::number(file->FormatCount() - 1)))
            << r.name;
    EXPECT_EQ(file->MaxRow(), 0) << "refused calls made no rows";
    // Column 256 is the last one there is.
    file->SetColumnWidth(256, 500);
    EXPECT_EQ(file->GetColumnWidth(256), 500);
}

TEST(ChartSheet, CellOperationsGiveDefaultsAndChangeNothing)
{
    auto file = WithChartSheet();
    ASSERT_EQ(file->SheetCount(), 2);
    EXPECT_TRUE(file->IsWorkSheet(1));
    EXPECT_FALSE(file->IsWorkSheet(2));
    file->SetActiveSheet(2);
    EXPECT_EQ(file->GetCellValue(1, 1), QVariant());
    file->SetCellValue(1, 1, 5.0);
    file->AssignCellDataFromText(1, 1, QStringLiteral("5"));
    EXPECT_EQ(file->GetCellValue(1, 1), QVariant());
    int xf = 0;
    EXPECT_EQ(file->GetCellValueX(1, 1, xf), QVariant());
    EXPECT_EQ(xf, -1);
    EXPECT_EQ(file->MaxRow(), 0);
    EXPECT_EQ(file->CommentsCount(0), 0);
    EXPECT_EQ(file->GetCommentText(0, 0), QString());
    EXPECT_EQ(file->MergedCellCount(), 0);
    file->MergeCells(1, 1, 2, 2);
    EXPECT_EQ(file->HyperLinkCount(), 0);
    file->AddHyperLink({1, 1, 1, 1}, {THyperLinkType::hl_URL, {}, QStringLiteral("https://exemplu.ro"), {}});
    EXPECT_EQ(file->HyperLinkCount(), 0);
    EXPECT_EQ(file->ImageCount(), 0);
    EXPECT_EQ(file->GetRowHeight(1), 255);
    EXPECT_EQ(file->GetColumnWidth(1), 0);
    EXPECT_EQ(file->GetRowFormat(1), -1);
    EXPECT_EQ(file->GetRowOptions(1), 1);
    file->SetRowHeight(1, 500);
    EXPECT_EQ(file->GetRowHeight(1), 255);
    // Margins belong to every kind of sheet.
    file->SetMargins({0.3, 0.3, 0.3, 0.3});
    EXPECT_EQ(file->GetMargins().Left, 0.3);

    const QString out = SaveScratch(*file, QStringLiteral("chart-sheet"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->SheetCount(), 2);
    EXPECT_EQ(again->GetCellValue(1, 1), QVariant(QStringLiteral("foaie")));
    again->SetActiveSheet(2);
    EXPECT_EQ(again->GetMargins().Left, 0.3);
}

TEST(View, FrozenPanesAsXlrdSeesThem)
{
    const struct { const char *name; int row, col; int frozen; int rows, cols; } rows[] = {
        {"header row", 2, 1, 1, 1, 0},
        {"first column", 1, 2, 1, 0, 1},
        {"both", 4, 3, 1, 3, 2},
        {"unfrozen", 1, 1, 0, 0, 0},
    };
    for (const auto &r : rows) {
        auto file = NewBook();
        file->SetCellValue(1, 1, QStringLiteral("antet"));
        file->FreezePanes(5, 5);
        file->FreezePanes(r.row, r.col);  // a second call replaces the first
        int row = 0, col = 0;
        file->GetFrozenPanes(row, col);
        EXPECT_EQ(row, r.row) << r.name;
        EXPECT_EQ(col, r.col) << r.name;
        const QString seen = Xlrd(SaveScratch(*file, QStringLiteral("panes")), QStringLiteral(
            "import sys, xlrd\n"
            "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
            "print(s.panes_are_frozen, s.horz_split_pos, s.vert_split_pos)\n"));
        EXPECT_EQ(seen, QStringLiteral("%1 %2 %3").arg(r.frozen).arg(r.rows).arg(r.cols)) << r.name;
    }
    auto file = NewBook();
    EXPECT_EQ(ErrorOf([&] { file->FreezePanes(1, 300); }), QStringLiteral("Invalid Column (300)"));
}

TEST(MarkedRows, DeletedFromTheBottomUp)
{
    auto file = NewBook();
    const QStringList firstCells = {QStringLiteral("Titlu"), QStringLiteral("#sterge"), QStringLiteral("#sterge"),
                                    QStringLiteral("Ion"), QStringLiteral("#sterge"), QStringLiteral("Ana"),
                                    QStringLiteral("#sterge")};
    for (int i = 0; i < firstCells.size(); ++i) {
        file->SetCellValue(i + 1, 1, firstCells[i]);
        file->SetCellValue(i + 1, 2, double(i + 1));
    }
    // Not in the first column: the row stays.
    file->SetCellValue(9, 2, QStringLiteral("#sterge"));
    file->DeleteMarkedRows(QStringLiteral("#sterge"));
    EXPECT_EQ(file->GetCellValue(1, 1), QVariant(QStringLiteral("Titlu")));
    EXPECT_EQ(file->GetCellValue(2, 1), QVariant(QStringLiteral("Ion")));
    EXPECT_EQ(file->GetCellValue(2, 2), QVariant(4.0));
    EXPECT_EQ(file->GetCellValue(3, 1), QVariant(QStringLiteral("Ana")));
    EXPECT_EQ(file->GetCellValue(5, 2), QVariant(QStringLiteral("#sterge")));
    EXPECT_EQ(file->MaxRow(), 5);
}

TEST(MarkedRows, PageBreaksAfterThemAndTheMarkersEmptied)
{
    auto file = NewBook();
    for (int row = 1; row <= 8; ++row)
        file->SetCellValue(row, 1, row == 3 || row == 6 ? QStringLiteral("#pagina") : QStringLiteral("rând"));
    // Not in the first column: no break.
    file->SetCellValue(7, 2, QStringLiteral("#pagina"));
    file->MakePageBreaks(QStringLiteral("#pagina"));
    file->MakePageBreaks(QStringLiteral("#pagina"));  // nothing left to mark
    EXPECT_EQ(file->GetCellValue(3, 1), QVariant());
    EXPECT_EQ(file->GetCellValue(6, 1), QVariant());
    EXPECT_EQ(file->GetCellValue(7, 2), QVariant(QStringLiteral("#pagina")));
    // xlrd gives each break by the first row of the new page, from 0.
    const QString seen = XlrdFirstSheet(SaveScratch(*file, QStringLiteral("page-breaks")),
                                        QStringLiteral("print(s.horizontal_page_breaks)\n"));
    EXPECT_EQ(seen, QStringLiteral("[(3, 0, 255), (6, 0, 255)]"));
}

TEST(RowsAndColumns, RowOptionsHoldHiddenAndTheOutlineLevel)
{
    auto file = NewBook();
    const int fresh = file->GetRowOptions(3);
    EXPECT_EQ(fresh, 0x0100) << "a row the sheet does not hold reads as a new one";
    file->SetRowOptions(3, fresh | TRowRecord::OptionHidden | 2);
    EXPECT_TRUE(file->GetRowHidden(3));
    EXPECT_EQ(file->GetRowOutlineLevel(3), 2);
    EXPECT_EQ(ErrorOf([&] { file->SetRowOptions(3, 0x10000); }), QStringLiteral("Invalid row options (65536)"));
    const QString seen = XlrdFirstSheet(SaveScratch(*file, QStringLiteral("row-options")),
                                        QStringLiteral("print(s.rowinfo_map[2].hidden, s.rowinfo_map[2].outline_level)\n"));
    EXPECT_EQ(seen, QStringLiteral("1 2"));
}

TEST(View, SplitAsXlrdSeesIt)
{
    auto file = NewBook();
    file->SetRowHeight(2, 400);
    file->FreezePanes(4, 4);
    file->SplitWindow(3, 2);  // in place of the frozen panes
    int row = 0, col = 0;
    file->GetSplitWindow(row, col);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(col, 2);
    file->GetFrozenPanes(row, col);
    EXPECT_EQ(row, 1) << "a split is not frozen";
    // The split stands below rows 1 and 2 (255 + 400 twips) and right of column A.
    const int columnA = file->GetColumnWidth(1) * 7 * 15 / 256;
    const QString script = QStringLiteral(
        "print(s.panes_are_frozen, s.horz_split_pos, s.vert_split_pos, s.horz_split_first_visible, s.vert_split_first_visible)\n");
    EXPECT_EQ(XlrdFirstSheet(SaveScratch(*file, QStringLiteral("split")), script),
              QStringLiteral("0 655 %1 2 1").arg(columnA));
    file->SplitWindow(1, 1);
    file->GetSplitWindow(row, col);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(XlrdFirstSheet(SaveScratch(*file, QStringLiteral("unsplit")), script), QStringLiteral("0 0 0 0 0"));
}

TEST(RowCells, ColumnsOfARowInOrder)
{
    auto file = NewBook();
    // Set out of column order; the row reads in column order.
    for (int col : {7, 2, 4})
        file->SetCellValue(3, col, double(col));
    const struct { const char *name; int row; bool empty; int count; } rows[] = {
        {"row with cells", 3, false, 3},
        {"row above", 2, true, 0},
        {"row past the sheet's rows", 50, true, 0},
        {"row 0", 0, true, 0},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(file->IsEmptyRow(r.row), r.empty) << r.name;
        EXPECT_EQ(file->ColCountInRow(r.row), r.count) << r.name;
    }
    EXPECT_EQ(file->ColByIndex(3, 1), 2);
    EXPECT_EQ(file->ColByIndex(3, 2), 4);
    EXPECT_EQ(file->ColByIndex(3, 3), 7);
    EXPECT_EQ(file->ColByIndex(3, 4), 0);
    EXPECT_EQ(file->ColByIndex(3, 0), 0);
    EXPECT_EQ(file->ColIndex(3, 7), 3);
    EXPECT_EQ(file->ColIndex(3, 5), 0);
    EXPECT_EQ(file->ColIndex(9, 1), 0);
}

TEST(Outline, LevelsOfBandsAndTheGutters)
{
    auto file = NewBook();
    file->SetCellValue(1, 1, QStringLiteral("total"));
    file->SetRowOutlineLevel(2, 5, 1);
    file->SetRowOutlineLevel(3, 4, 2);
    file->SetColOutlineLevel(2, 3, 3);
    EXPECT_EQ(file->GetRowOutlineLevel(2), 1);
    EXPECT_EQ(file->GetRowOutlineLevel(3), 2);
    EXPECT_EQ(file->GetRowOutlineLevel(6), 0);
    EXPECT_EQ(file->GetColOutlineLevel(3), 3);
    EXPECT_EQ(file->GetColOutlineLevel(4), 0);
    EXPECT_EQ(ErrorOf([&] { file->SetRowOutlineLevel(2, 3, 8); }), QStringLiteral("Invalid outline level (8)"));
    EXPECT_EQ(ErrorOf([&] { file->SetColOutlineLevel(3, 2, 1); }), QStringLiteral("Invalid Column (2)"));
    EXPECT_EQ(ErrorOf([&] { file->SetRowOutlineLevel(1, 65537, 1); }), QStringLiteral("Invalid Row (65537)"));

    const QString out = SaveScratch(*file, QStringLiteral("outline"));
    EXPECT_EQ(Xlrd(out, QStringLiteral(
                  "import sys, xlrd\n"
                  "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
                  "print([s.rowinfo_map[r].outline_level for r in range(1, 5)], s.colinfo_map[2].outline_level)\n")),
              QStringLiteral("[1, 2, 2, 1] 3"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->GetRowOutlineLevel(4), 2);
    EXPECT_EQ(again->GetColOutlineLevel(2), 3);
}
