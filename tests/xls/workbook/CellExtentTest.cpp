// MaxRow and MaxCol answer from a kept extent: it must follow every change
// of the cells, not only the ones that widen it.
#include "FileOpsSupport.h"

using namespace FileOps;

TEST(CellExtent, FollowsEveryChangeOfTheCells)
{
    auto file = NewBook();
    struct Step { const char *name; std::function<void(TXLSFile &)> change; int maxRow, maxCol; };
    const Step steps[] = {
        {"empty sheet", [](TXLSFile &) {}, 0, 0},
        {"a cell far out", [](TXLSFile &f) { f.SetCellValue(40, 7, 1.5); }, 40, 7},
        {"a cell inside", [](TXLSFile &f) { f.SetCellValue(3, 2, QStringLiteral("x")); }, 40, 7},
        {"the far cell emptied", [](TXLSFile &f) { f.SetCellValue(40, 7, QVariant()); }, 3, 2},
        {"rows inserted above", [](TXLSFile &f) { f.InsertAndCopyRows(1, 1, 1, 5, false); }, 8, 2},
        {"columns copied to the right", [](TXLSFile &f) { f.InsertAndCopyCols(2, 2, 5, 3, false); }, 8, 7},
        {"rows deleted", [](TXLSFile &f) { f.DeleteRows(1, 5); }, 3, 7},
        {"columns deleted", [](TXLSFile &f) { f.DeleteCols(3, 5); }, 3, 2},
    };
    for (const Step &s : steps) {
        s.change(*file);
        EXPECT_EQ(file->MaxRow(), s.maxRow) << s.name;
        EXPECT_EQ(file->MaxCol(), s.maxCol) << s.name;
    }
}

TEST(CellExtent, ARowOfValuesLeavesWhatTheCellsOneByOneLeave)
{
    // Formatted and plain cells, found and missing, filled and emptied: the
    // saved books must match byte for byte.
    const auto prepare = [](TXLSFile &f) {
        TXlsFormat money = f.GetFormat(15);
        money.Format = QStringLiteral("0.00\" lei\"");
        const int xf = f.AddFormat(money);
        for (int col : {1, 3, 5, 8})
            f.SetCellValueX(4, col, QStringLiteral("#CAMP"), col == 8 ? -1 : xf);
        f.SetCellValue(4, 9, 7.0);
    };
    const TRowValues row{{1, 12.5},       {2, QStringLiteral("Şură")}, {3, QVariant()}, {5, true},
                         {6, QVariant()}, {8, QVariant()},              {9, 1e300},      {12, 3}};
    auto one = NewBook(), all = NewBook();
    prepare(*one);
    prepare(*all);
    for (const TColumnValue &v : row)
        one->SetCellValue(4, v.Col, v.Value);
    all->SetRowValues(4, row);
    EXPECT_EQ(all->MaxCol(), one->MaxCol());
    QBuffer a, b;
    a.open(QIODevice::WriteOnly);
    b.open(QIODevice::WriteOnly);
    one->Save(a);
    all->Save(b);
    EXPECT_EQ(b.data(), a.data());

    EXPECT_THROW(all->SetRowValues(4, {{1, 1.0}, {300, 2.0}}), EExcelException);
    EXPECT_EQ(all->GetCellValue(4, 1), QVariant(12.5)) << "a column out of range changes nothing";
}
