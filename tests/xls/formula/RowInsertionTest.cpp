#include "FixtureWorkbook.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/XLSFile.h"

#include <QDir>

using namespace IndependentReaders;

namespace {

const QString Expected = QStringLiteral(KESTRUN_FIXTURES "/xls-formula/");

enum class Kind { Rows, Cols, DeleteRows, DeleteCols, CopySheet };

struct Operation
{
    Kind What;
    int Sheet; // 1-based, as are rows and columns
    int First, Last, Dest, Count;
    const char *Name = nullptr; // of a copied sheet
};

struct Scenario
{
    const char *Book;
    std::vector<Operation> Operations;
};

// The same as SCENARIOS in make-insert-expected.py, which had LibreOffice do them.
const Scenario Scenarios[] = {
    {"lo-basic-inserted",
     {{Kind::Rows, 1, 2, 2, 3, 2}, {Kind::Rows, 2, 3, 4, 5, 1}, {Kind::Rows, 2, 9, 9, 13, 3}}},
    {"lo-basic-deleted",
     {{Kind::DeleteRows, 1, 3, 0, 0, 2}, {Kind::DeleteRows, 2, 4, 0, 0, 2}, {Kind::DeleteCols, 2, 1, 0, 0, 1},
      {Kind::Cols, 1, 6, 6, 7, 1}}},
    {"lo-basic-sheetcopy", {{Kind::CopySheet, 1, 0, 0, 2, 1, "Copie"}, {Kind::Rows, 2, 2, 2, 3, 1}}},
};

const QStringList Sheets = {QStringLiteral("Persoane"), QStringLiteral("Sume lunare"),
                            QStringLiteral("Foaie ascunsă"), QStringLiteral("Gol")};

QString RunScenario(const Scenario &scenario, const QString &dir)
{
    const QString saved = dir + u'/' + QLatin1StringView(scenario.Book) + QStringLiteral(".xls");
    TXLSFile file(nullptr, true);
    file.Connect();
    file.OpenFile(fixture(QStringLiteral("lo-basic.xls")));
    for (const Operation &op : scenario.Operations) {
        file.SetActiveSheet(op.Sheet);
        switch (op.What) {
        case Kind::Rows: file.InsertAndCopyRows(op.First, op.Last, op.Dest, op.Count, false); break;
        case Kind::Cols: file.InsertAndCopyCols(op.First, op.Last, op.Dest, op.Count, false); break;
        case Kind::DeleteRows: file.DeleteRows(op.First, op.Count); break;
        case Kind::DeleteCols: file.DeleteCols(op.First, op.Count); break;
        case Kind::CopySheet:
            file.InsertAndCopySheets(op.Sheet, op.Dest, op.Count);
            file.SetActiveSheet(op.Dest);
            file.SetActiveSheetName(QString::fromUtf8(op.Name));
            break;
        }
    }
    file.Save(saved);
    return saved;
}

// Rows and columns inserted, copied and deleted, and a sheet copied, by the engine in a workbook
// whose formulas sum, reach into other (and hidden) sheets, mix absolute and
// relative references, use a defined name and shared formulas: LibreOffice,
// opening what we saved, computes the same values (and shows the same
// formulas) as when it did the same itself.
TEST(RowInsertion, LibreOfficeComputesWhatItComputesForItsOwnChanges)
{
    const QString dir = scratchDir(QStringLiteral("formula-row-insertion"));
    QStringList saved;
    for (const Scenario &scenario : Scenarios)
        saved += RunScenario(scenario, dir);
    exportCsvWithSoffice(saved, dir + QStringLiteral("/values"), false);
    exportCsvWithSoffice(saved, dir + QStringLiteral("/formulas"), true);
    for (const Scenario &scenario : Scenarios) {
        for (const QString &kind : {QStringLiteral("values"), QStringLiteral("formulas")}) {
            QStringList sheets = Sheets;
            for (const Operation &op : scenario.Operations)
                if (op.What == Kind::CopySheet)
                    sheets.insert(op.Dest - 1, QString::fromUtf8(op.Name));
            for (const QString &sheet : sheets) {
                SCOPED_TRACE((QLatin1StringView(scenario.Book) + u' ' + kind + u' ' + sheet).toStdString());
                const QString name = QStringLiteral("/%1-%2.csv").arg(QLatin1StringView(scenario.Book), sheet);
                ExpectSameCsv(Expected + kind + name, dir + u'/' + kind + name);
            }
        }
    }
}

// The engine's own reading of what it saved: every formula decodes, and the
// moved references are where LibreOffice put them.
TEST(RowInsertion, SavedFormulasDecodeAsLibreOfficeShowsThem)
{
    const QString dir = scratchDir(QStringLiteral("formula-row-insertion-decode"));
    const QString saved = RunScenario(Scenarios[0], dir);
    FixtureWorkbook wb(saved);
    int compared = 0;
    for (const auto &f : wb.Formulas) {
        const QString sheet = wb.Refs.Sheets.at(f.Sheet);
        const QVector<QStringList> rows = IndependentReaders::readCsv(Expected + QStringLiteral("formulas/lo-basic-inserted-%1.csv").arg(sheet));
        const int row = f.Record->Row();
        const int col = f.Record->Column();
        ASSERT_LT(row, rows.size());
        ASSERT_LT(col, rows.at(row).size());
        EXPECT_EQ(f.Record->FormulaText(&wb.Names, &wb.Refs), FromLibreOfficeSyntax(rows.at(row).at(col)))
            << sheet.toStdString() << " " << row << "," << col;
        ++compared;
    }
    EXPECT_EQ(compared, 49) << "24 on Persoane, 25 on Sume lunare";
}

} // namespace

namespace {

// A formula's last result stays readable (a text result comes from the STRING
// record after it); what is saved carries no STRING record and every formula
// asks to be recalculated on open.
TEST(FormulaResults, ReadFromTheFileSavedAsPlaceholders)
{
    TXLSFile file(nullptr, true);
    file.Connect();
    file.OpenFile(fixture(QStringLiteral("lo-basic.xls")));
    file.SetActiveSheet(1);
    EXPECT_EQ(file.GetCellValue(2, 3), QVariant(QStringLiteral("M")));    // =IF(...) text
    EXPECT_EQ(file.GetCellValue(7, 6), QVariant(15007.5));                // =SUM(F2:F6)
    EXPECT_EQ(file.GetCellValue(2, 5), QVariant(QStringLiteral("Popescu Ion (M)")));

    const QString dir = scratchDir(QStringLiteral("formula-results"));
    file.Save(dir + QStringLiteral("/saved.xls"));
    FixtureWorkbook saved(dir + QStringLiteral("/saved.xls"));
    ASSERT_EQ(saved.Formulas.size(), 33u);
    for (const auto &f : saved.Formulas)
        EXPECT_EQ(f.Record->GetValue(), QVariant(QStringLiteral("#NULL!"))) << "the placeholder: error code 0";
    EXPECT_EQ(saved.StringRecords, 0);
    EXPECT_GT(FixtureWorkbook(fixture(QStringLiteral("lo-basic.xls"))).StringRecords, 0);
}

} // namespace
