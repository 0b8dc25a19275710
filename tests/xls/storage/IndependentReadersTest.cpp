// The test-side CSV reader that other engine tests compare LibreOffice's output with.
#include "xls/support/IndependentReaders.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace IndependentReaders;

TEST(IndependentReaders, CsvQuotingAsLibreOfficeWritesIt)
{
    struct Row { const char *name; QByteArray text; QVector<QStringList> expected; };
    const Row rows[] = {
        {"plain", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
        {"no final newline", "a,b", {{"a", "b"}}},
        {"empty fields", ",,\n", {{"", "", ""}}},
        {"quoted comma and doubled quote", "\"x,y\",\"say \"\"da\"\"\"\n", {{"x,y", "say \"da\""}}},
        {"newline inside quotes", "\"two\nlines\",z\n", {{"two\nlines", "z"}}},
        {"CR LF line ends", "a\r\nb\r\n", {{"a"}, {"b"}}},
        {"UTF-8 diacritics", "\xC8\x98tefan,\xC4\x83\n", {{QStringLiteral("Ștefan"), QStringLiteral("ă")}}},
    };
    const QString dir = scratchDir(QStringLiteral("csv"));
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const QString file = dir + QStringLiteral("/t.csv");
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(r.text);
        f.close();
        EXPECT_EQ(readCsv(file), r.expected);
    }
}

TEST(IndependentReaders, XlrdSeesTheFixtureAsLibreOfficeExportedIt)
{
    const XlrdBook book = readWithXlrd(fixture(QStringLiteral("lo-basic.xls")));
    ASSERT_EQ(book.sheets.size(), 4);
    EXPECT_EQ(book.sheets[2].visibility, 1);
    EXPECT_TRUE(book.names.contains(QStringLiteral("Venituri")));
    const QVector<QStringList> csv = readCsv(fixture(QStringLiteral("values/lo-basic-Persoane.csv")));
    const XlrdSheet &people = book.sheets[0];
    ASSERT_EQ(people.rows.size(), csv.size());
    for (int r = 0; r < csv.size(); ++r) {
        EXPECT_EQ(people.cell(r, 0).text, csv[r][0]);
        if (people.cell(r, 5).kind == XlrdCell::Number) {
            EXPECT_EQ(QString::number(people.cell(r, 5).number, 'g', 15), csv[r][5]);
        }
    }
}
