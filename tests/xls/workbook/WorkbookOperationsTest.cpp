// Sheets, rows, saving rules and the facade's checks, on the corpus and on
// new files; what we write is read back by xlrd.
#include "FileOpsSupport.h"
#include "xls/support/ErrorOf.h"
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XLSFile.h"
#include "xls/workbook/XlsImport.h"
#include "xls/workbook/XlsTextWriter.h"

#include "xls/storage/ExcelException.h"
#include "xls/storage/Ole2Storage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <functional>
#include <limits>
#include <gtest/gtest.h>

using namespace FileOps;
using namespace IndependentReaders;

namespace {

QString Book(const char *name)
{
    return fixture(QString::fromLatin1(name) + QStringLiteral(".xls"));
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}


}  // namespace

TEST(Facade, RefusesWorkWithoutAdapterOrFile)
{
    TXlsImport import;
    EXPECT_EQ(ErrorOf([&] { import.OpenFile(Book("lo-basic")); }),
              QStringLiteral("There is no Adapter linked to the report"));
    TXLSAdapter adapter;
    import.Adapter = &adapter;
    const struct { const char *name; std::function<void()> call; } rows[] = {
        {"GetCellValue", [&] { import.GetCellValue(1, 1); }},
        {"SetCellValue", [&] { import.SetCellValue(1, 1, 1.0); }},
        {"MaxRow", [&] { import.MaxRow(); }},
        {"MaxCol", [&] { import.MaxCol(); }},
        {"SheetCount", [&] { import.SheetCount(); }},
        {"SetActiveSheet", [&] { import.SetActiveSheet(1); }},
        {"SetActiveSheetName", [&] { import.SetActiveSheetName(QStringLiteral("x")); }},
        {"InsertAndCopyRows", [&] { import.InsertAndCopyRows(1, 1, 2, 1); }},
        {"InsertAndCopySheets", [&] { import.InsertAndCopySheets(1, 1, 1); }},
        {"DeleteSheets", [&] { import.DeleteSheets(1); }},
        {"Save", [&] { import.Save(QStringLiteral("/nonexistent/x.xls")); }},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ErrorOf(r.call), QStringLiteral("There is no open file")) << r.name;
    EXPECT_NO_THROW(import.CloseFile());
}

TEST(Facade, OpensOnTheActiveSheetAndKeepsTheOldBookWhenAnOpenFails)
{
    TXLSAdapter adapter;
    TXlsImport import(&adapter);
    import.OpenFile(Book("lo-basic"));
    EXPECT_EQ(import.SheetCount(), 4);
    EXPECT_EQ(import.ActiveSheet(), 1);
    EXPECT_EQ(import.GetCellValue(2, 1), QVariant(QStringLiteral("Popescu Ion")));

    const QString broken = scratchDir(QStringLiteral("facade-broken")) + QStringLiteral("/cut.xls");
    QFile cut(broken);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(ReadAll(Book("lo-basic")).left(3000));
    cut.close();
    EXPECT_THROW(import.OpenFile(broken), EExcelException);
    EXPECT_EQ(ErrorOf([&] { import.OpenFile(QStringLiteral("/no/such/book")); }),
              QStringLiteral("Can't find the file \"/no/such/book\""));
    ASSERT_TRUE(import.IsFileOpen());
    EXPECT_EQ(import.SheetCount(), 4);
    EXPECT_EQ(import.GetCellValue(2, 1), QVariant(QStringLiteral("Popescu Ion")));
}

TEST(Facade, ChecksSheetNumbers)
{
    TXLSAdapter adapter;
    TXlsImport import(&adapter);
    import.OpenFile(Book("lo-basic"));
    const QString range = QStringLiteral("Sheet number \"%1\" invalid. Must be between 1 and 4");
    EXPECT_EQ(ErrorOf([&] { import.SetActiveSheet(0); }), range.arg(0));
    EXPECT_EQ(ErrorOf([&] { import.SetActiveSheet(5); }), range.arg(5));
    import.SetActiveSheet(2);
    EXPECT_EQ(import.ActiveSheet(), 2);
    EXPECT_EQ(import.ActiveSheetName(), QStringLiteral("Sume lunare"));
    // Copy-from past the end, with the workbook's 0-based numbers.
    EXPECT_EQ(ErrorOf([&] { import.InsertAndCopySheets(5, 1, 1); }),
              QStringLiteral("Sheet number \"4\" invalid. Must be between 0 and 3"));
    EXPECT_EQ(ErrorOf([&] { import.InsertAndCopySheets(1, 0, 1); }),
              QStringLiteral("Sheet number \"-1\" invalid. Must be between 0 and 3"));
    EXPECT_FALSE(ErrorOf([&] { import.InsertAndCopySheets(1, 1, -2); }).isEmpty());
    EXPECT_EQ(import.SheetCount(), 4) << "refused calls change nothing";
}

TEST(Sheets, DeleteRefusesCountsPastTheLastSheet)
{
    const struct { const char *name; int active; int count; bool ok; int left; int activeAfter; } rows[] = {
        {"all sheets", 1, 4, false, 4, 1},
        {"more than there are", 1, 7, false, 4, 1},
        {"the last two", 3, 2, true, 4, 3},
        {"two from the second", 2, 2, true, 2, 2},
        {"the last one moves the active sheet back", 4, 1, true, 3, 3},
        {"negative", 1, -1, false, 4, 1},
    };
    for (const auto &r : rows) {
        auto file = OpenBook(Book("lo-basic"));
        file->SetActiveSheet(r.active);
        const QString error = ErrorOf([&] { file->DeleteSheets(r.count); });
        EXPECT_EQ(error.isEmpty(), r.ok) << r.name << ": " << error.toStdString();
        EXPECT_EQ(file->SheetCount(), r.ok ? 4 - r.count : r.left) << r.name;
        if (r.ok) {
            EXPECT_EQ(file->GetActiveSheet(), std::min(r.activeAfter, file->SheetCount())) << r.name;
        }
    }
    // From the last sheet, two would run past the end.
    auto file = OpenBook(Book("lo-basic"));
    file->SetActiveSheet(4);
    EXPECT_EQ(ErrorOf([&] { file->DeleteSheets(2); }),
              QStringLiteral("Sheet number \"4\" invalid. Must be between 0 and 3"));
    EXPECT_EQ(file->SheetCount(), 4);
}

TEST(Sheets, DeletedSheetsAreGoneForXlrd)
{
    auto file = OpenBook(Book("lo-basic"));
    file->SetActiveSheet(2);
    file->DeleteSheets(2);
    const QString out = scratchDir(QStringLiteral("sheets-delete")) + QStringLiteral("/d.xls");
    file->Save(out);
    const XlrdBook book = readWithXlrd(out);
    ASSERT_EQ(book.sheets.size(), 2);
    EXPECT_EQ(book.sheets[0].name, QStringLiteral("Persoane"));
    EXPECT_EQ(book.sheets[1].name, QStringLiteral("Gol"));
}

TEST(Sheets, CopiesKeepCellsAndVisibilityAndGetNewNames)
{
    auto file = OpenBook(Book("lo-basic"));
    file->InsertAndCopySheets(3, 5, 2);  // the hidden sheet, twice, at the end
    file->InsertAndCopySheets(1, 1, 1);  // the first sheet, in front
    ASSERT_EQ(file->SheetCount(), 7);
    // The copy of the selected sheet is not selected itself.
    EXPECT_FALSE(file->Workbook().Sheets(0)->Selected());
    EXPECT_TRUE(file->Workbook().Sheets(1)->Selected());
    const QString out = scratchDir(QStringLiteral("sheets-copy")) + QStringLiteral("/c.xls");
    file->Save(out);
    const XlrdBook before = readWithXlrd(Book("lo-basic"));
    const XlrdBook after = readWithXlrd(out);
    ASSERT_EQ(after.sheets.size(), 7);
    // The two copies at the end came first and took the first free names.
    const QStringList names = {QStringLiteral("Sheet3"), QStringLiteral("Persoane"),
                               QStringLiteral("Sume lunare"), QStringLiteral("Foaie ascunsă"),
                               QStringLiteral("Gol"), QStringLiteral("Sheet1"), QStringLiteral("Sheet2")};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(after.sheets[i].name, names[i]);
    EXPECT_EQ(after.sheets[5].visibility, 1);
    EXPECT_EQ(after.sheets[6].visibility, 1);
    EXPECT_EQ(after.sheets[0].visibility, 0);
    EXPECT_EQ(after.sheets[0].cell(1, 0).text, before.sheets[0].cell(1, 0).text);
    EXPECT_EQ(after.sheets[5].rows.size(), before.sheets[2].rows.size());
}

TEST(Sheets, NewFilesStartFromTheEmptyWorkbook)
{
    const QString dir = scratchDir(QStringLiteral("sheets-new"));
    for (int count : {1, 3}) {
        TXLSFile file(nullptr, true);
        file.Connect();
        file.NewFile(count);
        ASSERT_EQ(file.SheetCount(), count);
        EXPECT_EQ(file.MaxRow(), 0);
        file.SelectSheet(count);
        file.SetActiveSheet(count);
        file.SetCellValue(2, 3, QStringLiteral("în foaia %1").arg(count));
        const QString out = dir + QStringLiteral("/new%1.xls").arg(count);
        file.Save(out);
        const XlrdBook book = readWithXlrd(out);
        ASSERT_EQ(book.sheets.size(), count);
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(book.sheets[i].name, QStringLiteral("Sheet%1").arg(i + 1));
        EXPECT_EQ(book.sheets[count - 1].cell(1, 2).text, QStringLiteral("în foaia %1").arg(count));
    }
    TXLSFile file(nullptr, true);
    file.Connect();
    EXPECT_THROW(file.NewFile(0), EExcelException);
}

TEST(Saving, VisibleSheetRules)
{
    const QString dir = scratchDir(QStringLiteral("saving-visible"));
    {
        // Only the second sheet visible: it becomes the first visible tab.
        auto file = OpenBook(Book("xlwt-basic"));
        file->SelectSheet(2);
        file->SetActiveSheet(1);
        file->SetActiveSheetVisible(TXlsSheetVisible::sv_Hidden);
        file->SetActiveSheet(3);
        file->SetActiveSheetVisible(TXlsSheetVisible::sv_Hidden);
        file->Save(dir + QStringLiteral("/second.xls"));
        auto back = OpenBook(dir + QStringLiteral("/second.xls"));
        EXPECT_EQ(back->Workbook().Globals().FirstVisibleTab(), 1);
    }
    {
        auto file = OpenBook(Book("xlwt-basic"));
        file->SelectSheet(1);
        file->SetActiveSheet(1);
        file->SetActiveSheetVisible(TXlsSheetVisible::sv_Hidden);
        EXPECT_EQ(ErrorOf([&] { file->Save(dir + QStringLiteral("/selected-hidden.xls")); }),
                  QStringLiteral("To save this file, you must select a visible sheet"));
        EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/selected-hidden.xls")));
        for (int i = 1; i <= file->SheetCount(); ++i) {
            file->SetActiveSheet(i);
            file->SetActiveSheetVisible(TXlsSheetVisible::sv_VeryHidden);
        }
        file->SelectSheet(2);
        file->SetActiveSheetVisible(TXlsSheetVisible::sv_Hidden);
        EXPECT_FALSE(ErrorOf([&] { file->Save(dir + QStringLiteral("/none.xls")); }).isEmpty());
    }
}

TEST(Saving, RefusesToOverwriteBeforeWritingAByte)
{
    const QString dir = scratchDir(QStringLiteral("saving-overwrite"));
    const QString target = dir + QStringLiteral("/taken.xls");
    QFile taken(target);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("someone else's file");
    taken.close();

    TXLSAdapter adapter;
    adapter.AllowOverwritingFiles = false;
    adapter.SaveFormat = {TXlsSaveFormat::snCSVComma, TXlsSaveFormat::snXLS};
    auto file = adapter.CreateExcelFile();
    file->Connect();
    file->OpenFile(Book("lo-basic"));
    // The free CSV name comes first in the callback, the taken name second:
    // nothing at all may be written.
    const auto names = [&](TXlsSaveFormat format, QString &name) {
        if (format == TXlsSaveFormat::snCSVComma)
            name = dir + QStringLiteral("/free.csv");
    };
    EXPECT_EQ(ErrorOf([&] { file->Save(target, names); }),
              QStringLiteral("Nu pot scrie fisierul \"%1\": exista deja. Verificati sa nu fie folosit de alt utilizator.")
                  .arg(target));
    EXPECT_EQ(ReadAll(target), QByteArray("someone else's file"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("taken.xls")});

    adapter.AllowOverwritingFiles = true;
    auto overwriting = adapter.CreateExcelFile();
    overwriting->Connect();
    overwriting->OpenFile(Book("lo-basic"));
    overwriting->Save(target, names);
    EXPECT_EQ(readWithXlrd(target).sheets.size(), 4);
    EXPECT_TRUE(ReadAll(dir + QStringLiteral("/free.csv")).startsWith("Nume,"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 2) << "no temporary files left behind";
}

TEST(Saving, DelimitedFormatsWriteTheActiveSheet)
{
    const struct { const char *name; TXlsSaveFormat format; char delimiter; } rows[] = {
        {"comma", TXlsSaveFormat::snCSVComma, ','},
        {"semicolon", TXlsSaveFormat::snCSVSemiColon, ';'},
        {"tab", TXlsSaveFormat::snTabDelimited, '\t'},
    };
    for (const auto &r : rows) {
        TXLSAdapter adapter;
        adapter.SaveFormat = {r.format};
        auto file = adapter.CreateExcelFile();
        file->Connect();
        file->OpenFile(Book("xlwt-basic"));
        file->SetActiveSheet(2);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        file->Save(out);
        const auto &cells = dynamic_cast<TXLSFile &>(*file).Workbook().WorkSheets(1)->Cells();
        EXPECT_EQ(out.data(), TXlsTextWriter::ToBytes(cells, {0, 0, cells.ColCount() - 1,
                                                               cells.RowCount() - 1},
                                                      QChar::fromLatin1(r.delimiter)))
            << r.name;
        EXPECT_TRUE(out.data().contains(r.delimiter)) << r.name;
    }
}

TEST(Rows, InsertAndCopyChecksTheSheetBounds)
{
    const struct { const char *name; int first, last, dest, count; bool ok; } rows[] = {
        {"ten copies of 65530-65531 pass the last row", 65531, 65532, 65533, 10, false},
        {"destination inside the source", 2, 5, 4, 1, false},
        {"last before first", 5, 2, 8, 1, false},
        {"row 0 does not exist at this interface", 0, 1, 3, 1, false},
        {"a plain copy", 2, 3, 8, 2, true},
    };
    for (const auto &r : rows) {
        auto file = OpenBook(Book("lo-basic"));
        const QString error = ErrorOf([&] { file->InsertAndCopyRows(r.first, r.last, r.dest, r.count, false); });
        const QString expected = r.ok ? QString() : QStringLiteral("Ivalid arguments to call InsertAndCopyRows");
        EXPECT_EQ(error, expected) << r.name;
    }
}

TEST(Rows, DeleteChecksTheSheetBounds)
{
    const struct { const char *name; bool rows; int at, count; bool ok; } cases[] = {
        {"rows up to the last one", true, 65530, 7, true},
        {"rows past the last one", true, 65530, 8, false},
        {"a row count that overflows", true, 2, std::numeric_limits<int>::max(), false},
        {"a negative row count", true, 2, -1, false},
        {"columns up to the last one", false, 250, 7, true},
        {"a column count that overflows", false, 2, std::numeric_limits<int>::max(), false},
    };
    for (const auto &c : cases) {
        auto file = OpenBook(Book("lo-basic"));
        const QVariant kept = file->GetCellValue(1, 1);
        const QString error = ErrorOf([&] { c.rows ? file->DeleteRows(c.at, c.count) : file->DeleteCols(c.at, c.count); });
        const QString expected = c.ok ? QString() : QStringLiteral("Ivalid arguments to call InsertAndCopyRows");
        EXPECT_EQ(error, expected) << c.name;
        EXPECT_EQ(file->GetCellValue(1, 1), kept) << c.name;
    }
}

TEST(Rows, CopiedRowsAndShiftedRowsReadBack)
{
    auto file = OpenBook(Book("writeexcel-basic"));
    const XlrdBook before = readWithXlrd(Book("writeexcel-basic"));
    const XlrdSheet &sheet = before.sheets[0];
    ASSERT_GE(sheet.rows.size(), 4);
    // Rows 2-3 (1-based), twice, in front of row 4: four rows come in.
    file->InsertAndCopyRows(2, 3, 4, 2, false);
    const QString out = scratchDir(QStringLiteral("rows-copy")) + QStringLiteral("/r.xls");
    file->Save(out);
    const XlrdSheet after = readWithXlrd(out).sheets[0];
    ASSERT_EQ(after.rows.size(), sheet.rows.size() + 4);
    for (int c = 0; c < sheet.rows[1].size(); ++c) {
        if (sheet.cell(1, c).kind == XlrdCell::Error || after.cell(3, c).kind == XlrdCell::Error)
            continue;  // formula placeholders
        EXPECT_EQ(after.cell(3, c).text, sheet.cell(1, c).text) << c;
        EXPECT_EQ(after.cell(5, c).text, sheet.cell(1, c).text) << c;
        EXPECT_EQ(after.cell(6, c).number, sheet.cell(2, c).number) << c;
    }
    for (int r = 3; r < sheet.rows.size(); ++r) {
        for (int c = 0; c < sheet.rows[r].size(); ++c) {
            if (sheet.cell(r, c).kind == XlrdCell::Text) {
                EXPECT_EQ(after.cell(r + 4, c).text, sheet.cell(r, c).text) << r << "," << c;
            }
        }
    }
    file->DeleteRows(4, 4);
    file->Save(out);
    const XlrdSheet restored = readWithXlrd(out).sheets[0];
    ASSERT_EQ(restored.rows.size(), sheet.rows.size());
    for (int r = 0; r < sheet.rows.size(); ++r) {
        for (int c = 0; c < sheet.rows[r].size(); ++c) {
            if (sheet.cell(r, c).kind == XlrdCell::Text) {
                EXPECT_EQ(restored.cell(r, c).text, sheet.cell(r, c).text) << r << "," << c;
            }
        }
    }
}

TEST(Cells, ValuesWrittenAreReadBackAndUnusedStringsGo)
{
    auto file = OpenBook(Book("lo-basic"));
    const QString only = file->GetCellValue(2, 1).toString();
    ASSERT_EQ(only, QStringLiteral("Popescu Ion"));
    const struct { const char *name; int row, col; QVariant value; XlrdCell::Kind kind; } rows[] = {
        {"text replaces text", 2, 1, QStringLiteral("Ţară şi ăîâ"), XlrdCell::Text},
        {"integer as RK", 30, 2, 42, XlrdCell::Number},
        {"fraction that needs a NUMBER", 30, 3, 0.1, XlrdCell::Number},
        {"large number", 31, 256, 1.5e300, XlrdCell::Number},
        {"boolean", 32, 1, true, XlrdCell::Boolean},
        {"new row far below", 300, 1, QStringLiteral("end"), XlrdCell::Text},
    };
    for (const auto &r : rows) {
        file->SetCellValue(r.row, r.col, r.value);
        EXPECT_EQ(file->GetCellValue(r.row, r.col), r.value) << r.name;
    }
    EXPECT_EQ(file->MaxRow(), 300);
    EXPECT_EQ(file->MaxCol(), 256);
    EXPECT_THROW(file->SetCellValue(65537, 1, 1.0), EExcelException);
    EXPECT_THROW(file->SetCellValue(1, 257, 1.0), EExcelException);
    const QString out = scratchDir(QStringLiteral("cells-values")) + QStringLiteral("/v.xls");
    file->Save(out);
    const XlrdSheet sheet = readWithXlrd(out).sheets[0];
    for (const auto &r : rows) {
        const XlrdCell cell = sheet.cell(r.row - 1, r.col - 1);
        EXPECT_EQ(cell.kind, r.kind) << r.name;
        if (r.kind == XlrdCell::Text)
            EXPECT_EQ(cell.text, r.value.toString()) << r.name;
        else
            EXPECT_DOUBLE_EQ(cell.number, r.value.toDouble()) << r.name;
    }
    // The replaced name was used once: the string table no longer has it.
    const QByteArray stream = listWithOlefile(out).value(QStringLiteral("Workbook")).data;
    EXPECT_FALSE(stream.contains("Popescu Ion"));
    EXPECT_TRUE(stream.contains("end"));

    // The very last cell of the sheet survives a save.
    file->SetCellValue(65536, 256, QStringLiteral("corner"));
    file->Save(out);
    auto back = OpenBook(out);
    EXPECT_EQ(back->GetCellValue(65536, 256), QVariant(QStringLiteral("corner")));
    EXPECT_EQ(back->MaxRow(), 65536);
}

TEST(Sheets, CodeNamesMustDifferAndVisibilityIsKept)
{
    TXLSFile file(nullptr, true);
    file.Connect();
    file.NewFile(2);
    file.SetActiveSheet(2);
    file.SetActiveSheetCodeName(QStringLiteral("Foaie"));
    file.SetActiveSheetVisible(TXlsSheetVisible::sv_VeryHidden);
    file.SetActiveSheet(1);
    EXPECT_EQ(ErrorOf([&] { file.SetActiveSheetCodeName(QStringLiteral("FOAIE")); }),
              QStringLiteral("Sheet name already exists: FOAIE"));
    EXPECT_TRUE(file.GetActiveSheetCodeName().isEmpty());
    file.SetActiveSheetName(QStringLiteral("Date lunare"));
    const QString out = scratchDir(QStringLiteral("sheets-codenames")) + QStringLiteral("/c.xls");
    file.Save(out);
    auto back = OpenBook(out);
    back->SetActiveSheet(2);
    EXPECT_EQ(back->GetActiveSheetCodeName(), QStringLiteral("Foaie"));
    EXPECT_EQ(back->GetActiveSheetVisible(), TXlsSheetVisible::sv_VeryHidden);
    const XlrdBook book = readWithXlrd(out);
    EXPECT_EQ(book.sheets[0].name, QStringLiteral("Date lunare"));
    EXPECT_EQ(book.sheets[1].visibility, 2);
}

TEST(Sheets, AnActiveIndexThatNamesNoSheetIsRefused)
{
    auto file = OpenBook(Book("xlwt-basic"));
    const QString message = QStringLiteral("Sheet number \"%1\" invalid. Must be between 1 and 3");
    // Storing the index does not check it; using it does.
    for (int bad : {0, 4, -2}) {
        file->SetActiveSheet(bad);
        EXPECT_EQ(ErrorOf([&] { file->GetActiveSheetName(); }), message.arg(bad));
        EXPECT_EQ(ErrorOf([&] { file->SetActiveSheetVisible(TXlsSheetVisible::sv_Hidden); }), message.arg(bad));
        EXPECT_EQ(ErrorOf([&] { file->DeleteSheets(1); }), message.arg(bad));
        EXPECT_FALSE(file->GetCellValue(1, 1).isValid());
        EXPECT_EQ(file->MaxRow(), 0);
    }
    EXPECT_EQ(file->SheetCount(), 3);
}
