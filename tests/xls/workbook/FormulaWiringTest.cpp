// The workbook's side of formulas: the extern-sheet table, new formula cells,
// and references that follow rows and sheets inserted elsewhere. LibreOffice,
// which recalculates on load, checks the results.
#include "FileOpsSupport.h"
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/References.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/XLSFile.h"

#include "xls/formula/FormulaRecord.h"
#include "xls/storage/ExcelException.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace FileOps;
using namespace IndependentReaders;

namespace {

// The texts of every formula of a sheet, by (row, column).
QMap<QPair<int, int>, QString> Formulas(TWorkbook &book, int sheet)
{
    QMap<QPair<int, int>, QString> texts;
    const TCellList &cells = book.WorkSheets(sheet)->Cells();
    TReferences references(book.Globals(), &cells);
    for (int r = 0; r < cells.RowCount(); ++r)
        for (int c = 0; c <= 255; ++c)
            if (const auto *f = dynamic_cast<const TFormulaRecord *>(cells.Cell(r, c)))
                texts[{r, c}] = f->FormulaText(&book.Globals().Names(), &references);
    return texts;
}

QString Find(const QMap<QPair<int, int>, QString> &texts, const QString &part)
{
    for (const QString &t : texts)
        if (t.contains(part))
            return t;
    return {};
}

}  // namespace

TEST(FormulaWiring, ExternSheetsNameTheSheets)
{
    auto file = OpenBook(fixture(QStringLiteral("lo-basic.xls")));
    TWorkbook &book = file->Workbook();
    TReferences references(book.Globals());
    // Extern sheets of this workbook point at its sheets; prefixes quote what needs it.
    QStringList prefixes;
    for (int e = 0; e < book.Globals().ExternSheets().size(); ++e)
        prefixes << references.GetSheetPrefix(e);
    EXPECT_TRUE(prefixes.contains(QStringLiteral("Persoane!")));
    EXPECT_TRUE(prefixes.contains(QStringLiteral("'Foaie ascunsă'!")));
    EXPECT_EQ(references.GetSheetIndex(u"persoane"), 0);
    EXPECT_EQ(references.GetSheetIndex(u"Nu exista"), -1);
    const int before = int(book.Globals().ExternSheets().size());
    const int gol = references.AddExternSheet(3, 3);
    EXPECT_EQ(references.AddExternSheet(3, 3), gol) << "an entry is added once";
    EXPECT_EQ(references.GetSheetPrefix(gol), QStringLiteral("Gol!"));
    EXPECT_EQ(int(book.Globals().ExternSheets().size()), before + 1);
    EXPECT_EQ(references.SheetOfExternSheet(gol), 3);
    EXPECT_EQ(references.SheetOfExternSheet(999), -1);
}

TEST(FormulaWiring, ArrayAndTableLookupsRaiseTheCellListsErrors)
{
    auto file = OpenBook(fixture(QStringLiteral("lo-basic.xls")));
    TWorkbook &book = file->Workbook();
    TReferences references(book.Globals(), &book.WorkSheets(0)->Cells());
    const auto message = [&](int row, int col) {
        try {
            references.GetArrayRecordData(row, col);
        } catch (const EExcelException &e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    };
    EXPECT_EQ(message(-1, 0), QStringLiteral("Invalid Row (-1)"));
    EXPECT_EQ(message(0, 256), QStringLiteral("Invalid Column (256)"));
    EXPECT_EQ(message(1, 0), QStringLiteral("Can't find Shared Formula")) << "a text cell";
    EXPECT_EQ(message(1, 2), QStringLiteral("Formula at Row 2, column 3 is not supported. Token Id: 0x01"));
}

TEST(FormulaWiring, InsertedRowsMoveReferencesFromOtherSheetsAndNames)
{
    auto file = OpenBook(fixture(QStringLiteral("lo-basic.xls")));
    TWorkbook &book = file->Workbook();
    const auto before = Formulas(book, 1);
    ASSERT_EQ(Find(before, QStringLiteral("Persoane!F7")), QStringLiteral("=Persoane!F7*2"));
    ASSERT_FALSE(Find(before, QStringLiteral("Persoane!$F$2")).isEmpty());
    const TNameRecord *venituri = nullptr;
    for (int i = 0; i < book.Globals().Names().Count(); ++i)
        if (book.Globals().Names()[i]->Name() == QStringLiteral("Venituri"))
            venituri = book.Globals().Names()[i];
    ASSERT_NE(venituri, nullptr);
    const int firstRow = venituri->FirstRow(), lastRow = venituri->LastRow();

    // Two copies of row 3 (1-based) in front of row 4 of "Persoane".
    file->SetActiveSheet(1);
    file->InsertAndCopyRows(3, 3, 4, 2, false);
    const auto after = Formulas(book, 1);
    EXPECT_EQ(Find(after, QStringLiteral("*2")), QStringLiteral("=Persoane!F9*2"));
    EXPECT_FALSE(Find(after, QStringLiteral("Persoane!$F$2")).isEmpty()) << "rows above stay";
    EXPECT_EQ(venituri->FirstRow(), firstRow);
    EXPECT_EQ(venituri->LastRow(), lastRow + 2);
    const auto own = Formulas(book, 0);
    EXPECT_EQ(own.value({8, 5}), QStringLiteral("=SUM(F2:F8)")) << "the total of the sheet itself";
}

TEST(FormulaWiring, LibreOfficeRecalculatesWhatWeChanged)
{
    const QString dir = scratchDir(QStringLiteral("formula-wiring"));
    {
        // An empty sheet in front: every extern sheet moves by one.
        auto file = OpenBook(fixture(QStringLiteral("lo-basic.xls")));
        file->InsertAndCopySheets(-1, 1, 1);
        file->Save(dir + QStringLiteral("/front.xls"));
    }
    {
        // New formulas in a new file, one of them on another sheet.
        TXLSFile file(nullptr, true);
        file.Connect();
        file.NewFile(2);
        TWorkbook &book = file.Workbook();
        TCellList &cells = book.WorkSheets(0)->Cells();
        TReferences references(book.Globals(), &cells);
        for (int r = 0; r < 3; ++r)
            cells.SetCellValue(r, 0, double(r + 1) * 1.5);
        book.WorkSheets(1)->Cells().SetCellValue(0, 0, 40.0);
        cells.SetFormula(3, 0, QStringLiteral("=SUM(A1:A3)*2"), 18.0, references, nullptr);
        cells.SetFormula(4, 0, QStringLiteral("=Sheet2!A1+A4"), QVariant(), references, nullptr);
        cells.SetFormula(5, 0, QStringLiteral("=IF(A5>50,\"mare\",\"mic\")"), QVariant(), references, nullptr);
        EXPECT_EQ(file.GetCellValue(4, 1), QVariant(18.0));
        EXPECT_THROW(cells.SetFormula(6, 0, QStringLiteral("=SUM(("), QVariant(), references, nullptr),
                     EExcelException);
        EXPECT_THROW(cells.SetFormula(65536, 0, QStringLiteral("=1"), QVariant(), references, nullptr),
                     EExcelException);
        file.Save(dir + QStringLiteral("/new.xls"));
    }
    const QString out = dir + QStringLiteral("/csv");
    exportCsvWithSoffice({dir + QStringLiteral("/front.xls"), dir + QStringLiteral("/new.xls")}, out, false);
    EXPECT_EQ(readCsv(out + QStringLiteral("/front-Sume lunare.csv")),
              readCsv(QStringLiteral(KESTRUN_FIXTURES "/xls/values/lo-basic-Sume lunare.csv")));
    EXPECT_EQ(readCsv(out + QStringLiteral("/front-Persoane.csv")),
              readCsv(QStringLiteral(KESTRUN_FIXTURES "/xls/values/lo-basic-Persoane.csv")));
    const auto values = readCsv(out + QStringLiteral("/new-Sheet1.csv"));
    ASSERT_GE(values.size(), 6);
    EXPECT_EQ(values[3].value(0), QStringLiteral("18"));
    EXPECT_EQ(values[4].value(0), QStringLiteral("58"));
    EXPECT_EQ(values[5].value(0), QStringLiteral("mare"));
}

TEST(FormulaWiring, CopiedSheetsPointAtThemselves)
{
    TXLSFile file(nullptr, true);
    file.Connect();
    file.NewFile(2);
    TWorkbook &book = file.Workbook();
    TCellList &cells = book.WorkSheets(0)->Cells();
    TReferences references(book.Globals(), &cells);
    cells.SetCellValue(0, 0, 21.0);
    cells.SetFormula(1, 0, QStringLiteral("=Sheet1!A1*2"), QVariant(), references, nullptr);
    cells.SetFormula(2, 0, QStringLiteral("=Sheet2!A1+A1"), QVariant(), references, nullptr);
    // Copy the first sheet to the end, then again in front of everything.
    file.InsertAndCopySheets(1, 3, 1);
    file.InsertAndCopySheets(1, 1, 1);
    ASSERT_EQ(book.SheetCount(), 4);
    const QStringList names = {book.Globals().SheetName(0), book.Globals().SheetName(1),
                               book.Globals().SheetName(2), book.Globals().SheetName(3)};
    EXPECT_EQ(names, (QStringList{QStringLiteral("Sheet4"), QStringLiteral("Sheet1"),
                                  QStringLiteral("Sheet2"), QStringLiteral("Sheet3")}));
    EXPECT_EQ(Formulas(book, 1).value({1, 0}), QStringLiteral("=Sheet1!A1*2")) << "the source stays";
    EXPECT_EQ(Formulas(book, 3).value({1, 0}), QStringLiteral("=Sheet3!A1*2"));
    EXPECT_EQ(Formulas(book, 0).value({1, 0}), QStringLiteral("=Sheet4!A1*2"));
    EXPECT_EQ(Formulas(book, 3).value({2, 0}), QStringLiteral("=Sheet2!A1+A1")) << "other sheets stay";

    const QString dir = scratchDir(QStringLiteral("formula-sheet-copy"));
    file.Save(dir + QStringLiteral("/copies.xls"));
    exportCsvWithSoffice({dir + QStringLiteral("/copies.xls")}, dir, false);
    for (const char *sheet : {"Sheet4", "Sheet1", "Sheet3"}) {
        const auto values = readCsv(dir + QStringLiteral("/copies-%1.csv").arg(QLatin1String(sheet)));
        ASSERT_GE(values.size(), 2) << sheet;
        EXPECT_EQ(values[1].value(0), QStringLiteral("42")) << sheet;
    }
}
