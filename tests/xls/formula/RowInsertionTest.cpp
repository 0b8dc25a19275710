#include "FixtureWorkbook.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/XLSFile.h"

#include <QDir>

using namespace IndependentReaders;

namespace {

const QString Expected = QStringLiteral(KESTRUN_FIXTURES "/xls-formula/");

struct Operation
{
    int Sheet, FirstRow, LastRow, DestRow, Count; // 1-based
};

// The same as OPERATIONS in make-insert-expected.py, which had LibreOffice do them.
const Operation Operations[] = {
    {1, 2, 2, 3, 2},
    {2, 3, 4, 5, 1},
    {2, 9, 9, 13, 3},
};

const QStringList Sheets = {QStringLiteral("Persoane"), QStringLiteral("Sume lunare"),
                            QStringLiteral("Foaie ascunsă"), QStringLiteral("Gol")};

// Rows inserted and copied by the engine in a workbook whose formulas sum,
// reach into other (and hidden) sheets, mix absolute and relative references,
// use a defined name and shared formulas: LibreOffice, opening what we saved,
// computes the same values (and shows the same formulas) as when it inserted
// the rows itself.
TEST(RowInsertion, LibreOfficeComputesWhatItComputesForItsOwnInsertion)
{
    const QString dir = scratchDir(QStringLiteral("formula-row-insertion"));
    const QString saved = dir + QStringLiteral("/lo-basic-inserted.xls");
    {
        TXLSFile file(nullptr, true);
        file.Connect();
        file.OpenFile(fixture(QStringLiteral("lo-basic.xls")));
        for (const Operation &op : Operations) {
            file.SetActiveSheet(op.Sheet);
            file.InsertAndCopyRows(op.FirstRow, op.LastRow, op.DestRow, op.Count, false);
        }
        file.Save(saved);
    }
    exportCsvWithSoffice({saved}, dir + QStringLiteral("/values"), false);
    exportCsvWithSoffice({saved}, dir + QStringLiteral("/formulas"), true);
    for (const QString &kind : {QStringLiteral("values"), QStringLiteral("formulas")}) {
        for (const QString &sheet : Sheets) {
            SCOPED_TRACE((kind + u' ' + sheet).toStdString());
            const QString name = QStringLiteral("/lo-basic-inserted-%1.csv").arg(sheet);
            const QVector<QStringList> expected = IndependentReaders::readCsv(Expected + kind + name);
            const QVector<QStringList> ours = IndependentReaders::readCsv(dir + u'/' + kind + name);
            ASSERT_FALSE(expected.isEmpty() && sheet != u"Gol");
            ASSERT_EQ(ours.size(), expected.size());
            for (int r = 0; r < expected.size(); ++r)
                EXPECT_EQ(ours.at(r).join(u'|'), expected.at(r).join(u'|')) << "row " << r + 1;
        }
    }
}

// The engine's own reading of what it saved: every formula decodes, and the
// moved references are where LibreOffice put them.
TEST(RowInsertion, SavedFormulasDecodeAsLibreOfficeShowsThem)
{
    const QString dir = scratchDir(QStringLiteral("formula-row-insertion-decode"));
    const QString saved = dir + QStringLiteral("/lo-basic-inserted.xls");
    {
        TXLSFile file(nullptr, true);
        file.Connect();
        file.OpenFile(fixture(QStringLiteral("lo-basic.xls")));
        for (const Operation &op : Operations) {
            file.SetActiveSheet(op.Sheet);
            file.InsertAndCopyRows(op.FirstRow, op.LastRow, op.DestRow, op.Count, false);
        }
        file.Save(saved);
    }
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
