// Every workbook of the fixture corpus, opened and saved unchanged, reads back
// the same in readers we did not write.
#include "xls/support/IndependentReaders.h"
#include "xls/workbook/XLSFile.h"

#include "xls/storage/ExcelException.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace IndependentReaders;

namespace {

const char *const CorpusBooks[] = {"lo-basic", "lo-longtext", "lo-picture", "lo-manystrings",
                                   "xlwt-basic", "writeexcel-basic"};

QString SavedCopy(const QString &book, const QString &dir)
{
    TXLSFile file(nullptr, true);
    file.Connect();
    file.OpenFile(fixture(book + QStringLiteral(".xls")));
    const QString out = dir + QLatin1Char('/') + book + QStringLiteral(".xls");
    file.Save(out);
    return out;
}

bool SameCell(const XlrdCell &a, const XlrdCell &b)
{
    // Formula results are recalculated by the reader, not stored by us: xlrd
    // sees an error placeholder there. Those cells are checked through
    // LibreOffice, which recalculates.
    if (b.kind == XlrdCell::Error)
        return true;
    return a.kind == b.kind && a.text == b.text && a.number == b.number;
}

}  // namespace

TEST(CorpusRoundTrip, XlrdReadsTheSameCells)
{
    const QString dir = scratchDir(QStringLiteral("workbook-roundtrip-xlrd"));
    for (const char *name : CorpusBooks) {
        const QString book = QString::fromLatin1(name);
        SCOPED_TRACE(name);
        QString saved;
        ASSERT_NO_THROW(saved = SavedCopy(book, dir));
        const XlrdBook before = readWithXlrd(fixture(book + QStringLiteral(".xls")));
        const XlrdBook after = readWithXlrd(saved);
        ASSERT_EQ(after.sheets.size(), before.sheets.size());
        EXPECT_EQ(after.names, before.names);
        for (int s = 0; s < before.sheets.size(); ++s) {
            const XlrdSheet &a = before.sheets[s], &b = after.sheets[s];
            EXPECT_EQ(b.name, a.name);
            EXPECT_EQ(b.visibility, a.visibility);
            EXPECT_EQ(b.merged.size(), a.merged.size());
            ASSERT_EQ(b.rows.size(), a.rows.size()) << a.name.toStdString();
            for (int r = 0; r < a.rows.size(); ++r)
                for (int c = 0; c < a.rows[r].size(); ++c)
                    EXPECT_TRUE(SameCell(a.cell(r, c), b.cell(r, c)))
                        << a.name.toStdString() << " row " << r << " col " << c << ": "
                        << a.cell(r, c).text.toStdString() << a.cell(r, c).number << " became "
                        << b.cell(r, c).text.toStdString() << b.cell(r, c).number;
        }
    }
}
