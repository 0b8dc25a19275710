// Each committed spreadsheet template must still be what its editable source
// makes (tools/build-templates rebuilds them): the same sheets, cells and
// formulas as LibreOffice reads both, and the same cells read back through
// our own engine or package back-end.

#include "SavedWorkbook.h"

#include "documents/XlsFillBackEnd.h"
#include "xls/support/IndependentReaders.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace IR = IndependentReaders;

namespace {

QStringList templateSources()
{
    QStringList sources;
    for (const char *folder : {"resources/templates/src", "tests/documents/templates/src"}) {
        const QDir dir(QStringLiteral(KESTRUN_SOURCE_DIR "/") + QString::fromLatin1(folder));
        for (const QString &name : dir.entryList({QStringLiteral("*.fods")}, QDir::Files, QDir::Name))
            sources << dir.filePath(name);
    }
    return sources;
}

// resources/templates/src/Stat.xls.fods is built into resources/templates/Stat.xls.
QString builtFrom(const QString &source)
{
    const QFileInfo info(source);
    return info.dir().absoluteFilePath(QStringLiteral("../") + info.completeBaseName());
}

QStringList sheetNames(const QString &workbook)
{
    QStringList names;
    if (XlsxWorkbook::hasSignature(workbook)) {
        XlsxWorkbook book;
        book.open(workbook);
        for (int n = 1; n <= book.sheetCount(); ++n)
            names << book.sheetName(n);
    } else {
        TXLSAdapter adapter;
        TXlsImport facade(&adapter);
        facade.OpenFile(workbook);
        for (int n = 1; n <= facade.SheetCount(); ++n) {
            facade.SetActiveSheet(n);
            names << facade.ActiveSheetName();
        }
    }
    return names;
}

QString csvCell(const QVector<QStringList> &rows, int row, int col)
{
    return row < rows.size() && col < rows[row].size() ? rows[row][col] : QString();
}

} // namespace

TEST(TemplateSources, CommittedTemplatesMatchTheirSources)
{
    const QStringList sources = templateSources();
    ASSERT_FALSE(sources.isEmpty());
    QStringList all;
    for (const QString &source : sources) {
        ASSERT_TRUE(QFileInfo::exists(builtFrom(source))) << "not built: " << source.toStdString();
        all << source << builtFrom(source);
    }
    const QString csvDir = IR::scratchDir(QStringLiteral("template-sources"));
    IR::exportCsvWithSoffice(all, csvDir, true);

    for (const QString &source : sources) {
        const QString built = builtFrom(source);
        SCOPED_TRACE(QFileInfo(built).fileName().toStdString());
        const QStringList sheets = sheetNames(built);
        ASSERT_FALSE(sheets.isEmpty());
        SavedWorkbook book(built);
        for (int s = 0; s < sheets.size(); ++s) {
            SCOPED_TRACE(sheets[s].toStdString());
            const auto csvOf = [&](const QString &file) {
                return IR::readCsv(csvDir + u'/' + QFileInfo(file).completeBaseName() + u'-' + sheets[s] + QStringLiteral(".csv"));
            };
            const QVector<QStringList> expected = csvOf(source);
            // Cells and formulas as LibreOffice reads the source and the built file.
            EXPECT_EQ(csvOf(built), expected);

            // Our own reading of the built file: every value where the source has one, nothing elsewhere.
            const int rows = std::max<int>(book.maxRow(s + 1), expected.size());
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < 256; ++c) {
                    const QString want = csvCell(expected, r, c);
                    if (want.startsWith(u'='))
                        continue; // a formula: its text was compared above
                    const QString got = TXlsFillBackEnd::ValueText(book.value(s + 1, r + 1, c + 1));
                    EXPECT_EQ(got, want) << "row " << r + 1 << ", column " << c + 1;
                    if (got != want)
                        return;
                }
            }
        }
    }
}
