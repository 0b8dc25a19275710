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
