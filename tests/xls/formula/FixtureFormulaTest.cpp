#include "FixtureWorkbook.h"

#include "xls/support/IndependentReaders.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/formula/ParseString.h"
#include "xls/formula/TokenArray.h"

#include <QDir>

namespace {

const QString FixtureDir = QStringLiteral(KESTRUN_FIXTURES "/xls/");

// Formulas written by LibreOffice, xlwt and Spreadsheet::WriteExcel decode
// to the text LibreOffice shows for them; that text, encoded again, decodes
// the same and (for these plain formulas) gives the very same tokens.
TEST(FixtureFormulas, DecodeToTheTextOtherProgramsShow)
{
    const char *books[] = {"lo-basic", "lo-longtext", "xlwt-basic", "writeexcel-basic"};
    int compared = 0;
    for (const char *book : books) {
        SCOPED_TRACE(book);
        FixtureWorkbook wb(FixtureDir + QLatin1StringView(book) + QStringLiteral(".xls"));
        ASSERT_FALSE(wb.Formulas.empty());
        for (const auto &f : wb.Formulas) {
            const QString csv = FixtureDir + QStringLiteral("formulas/%1-%2.csv").arg(QLatin1StringView(book), wb.Refs.Sheets.at(f.Sheet));
            const QVector<QStringList> rows = IndependentReaders::readCsv(csv);
            const int row = f.Record->Row();
            const int col = f.Record->Column();
            ASSERT_LT(row, rows.size()) << csv.toStdString();
            ASSERT_LT(col, rows.at(row).size());
            const QString expected = FromLibreOfficeSyntax(rows.at(row).at(col));
            SCOPED_TRACE(QStringLiteral("%1 %2,%3").arg(expected).arg(row).arg(col).toStdString());
            const QString text = f.Record->FormulaText(&wb.Names, &wb.Refs);
            EXPECT_EQ(text, expected);

            TParseString p(text, fmValue, &wb.Refs, &wb.Names);
            if (text.contains(QStringLiteral("Venituri"))) {
                // Defined names cannot be typed into formulas.
                EXPECT_THROW(p.Parse(), EExcelException);
                continue;
            }
            p.Parse();
            EXPECT_EQ(DecodeTokens(p.Tokens(), 0, p.Tokens().size(), &wb.Names, &wb.Refs), text);
            ++compared;
        }
    }
    EXPECT_GT(compared, 40);
}

} // namespace

namespace {

TEST(FixtureFormulas, EncodingTheTextGivesTheTokensTheOtherProgramWrote)
{
    const char *books[] = {"lo-basic", "lo-longtext", "xlwt-basic", "writeexcel-basic"};
    int compared = 0;
    for (const char *book : books) {
        SCOPED_TRACE(book);
        FixtureWorkbook wb(FixtureDir + QLatin1StringView(book) + QStringLiteral(".xls"));
        for (const auto &f : wb.Formulas) {
            const QString text = f.Record->FormulaText(&wb.Names, &wb.Refs);
            if (text.contains(QStringLiteral("Venituri")))
                continue; // names cannot be typed
            SCOPED_TRACE(text.toStdString());
            TParseString p(text, fmValue, &wb.Refs, &wb.Names);
            p.Parse();
            const QByteArray file = f.Record->Data().mid(TFormulaRecord::TokenOffset, f.Record->TokenBytes());
            EXPECT_EQ(Hex(Canonical(p.Tokens())), Hex(Canonical(file)));
            ++compared;
        }
    }
    EXPECT_GT(compared, 40);
}

} // namespace
