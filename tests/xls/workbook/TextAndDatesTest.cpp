// Column letters, the date parser and the delimited-text writer and reader.
#include "xls/workbook/ColumnLetters.h"
#include "xls/workbook/XlsCellAccess.h"
#include "xls/workbook/XlsDateParser.h"
#include "xls/workbook/XlsTextReader.h"
#include "xls/workbook/XlsTextWriter.h"

#include "xls/storage/ExcelException.h"

#include <QBuffer>
#include <QMap>

#include <gtest/gtest.h>

namespace {

class TMapCells : public TXlsCellAccess
{
public:
    QVariant CellValue(int row, int col) const override { return FCells.value({row, col}); }
    void SetCellValue(int row, int col, const QVariant &value) override
    {
        FCells[{row, col}] = value;
        FRows = std::max(FRows, row + 1);
        FCols = std::max(FCols, col + 1);
    }
    int RowCount() const override { return FRows; }
    int ColCount() const override { return FCols; }
    QMap<QPair<int, int>, QVariant> FCells;

private:
    int FRows = 0, FCols = 0;
};

}  // namespace

TEST(ColumnLetters, KnownColumns)
{
    const struct { const char *name; int col; const char *letters; } rows[] = {
        {"first", 1, "A"},
        {"last single letter", 26, "Z"},
        {"first double letter", 27, "AA"},
        {"AZ then BA", 53, "BA"},
        {"last BIFF8 column", 256, "IV"},
        {"zero has none", 0, ""},
        {"negative has none", -3, ""},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ColumnLetters(r.col), QString::fromLatin1(r.letters)) << r.name;
}

TEST(DateParser, AcceptsDatesAndTimes)
{
    const struct {
        const char *name;
        const char *text;
        TXlsDateOrder order;
        double value;
        const char *format;
    } rows[] = {
        // 45998 days from 30.12.1899 is 7.12.2025.
        {"day month year with dots", "07.12.2025", TXlsDateOrder::doDMY, 45998, "dd.mm.yyyy"},
        {"single digits keep single letters", "7.1.2025", TXlsDateOrder::doDMY, 45664, "d.m.yyyy"},
        {"month first with slashes", "12/07/2025", TXlsDateOrder::doMDY, 45998, "mm/dd/yyyy"},
        {"year first with dashes", "2025-12-07", TXlsDateOrder::doYMD, 45998, "yyyy-mm-dd"},
        {"two-digit year below 30 is 20xx", "07.12.25", TXlsDateOrder::doDMY, 45998, "dd.mm.yy"},
        {"two-digit year 30 and up is 19xx", "01.01.30", TXlsDateOrder::doDMY, 10959, "dd.mm.yy"},
        {"leap day", "29.02.2024", TXlsDateOrder::doDMY, 45351, "dd.mm.yyyy"},
        {"time alone", "12:00", TXlsDateOrder::doDMY, 0.5, "hh:mm"},
        {"date and time with seconds", "07.12.2025 18:00:00", TXlsDateOrder::doDMY, 45998.75,
         "dd.mm.yyyy hh:mm:ss"},
        {"surrounding blanks", "  07.12.2025 ", TXlsDateOrder::doDMY, 45998, "dd.mm.yyyy"},
    };
    for (const auto &r : rows) {
        double value = -1;
        QString format;
        ASSERT_TRUE(TXlsDateParser::TryParse(QString::fromLatin1(r.text), r.order, value, format))
            << r.name;
        EXPECT_DOUBLE_EQ(value, r.value) << r.name;
        EXPECT_EQ(format, QString::fromLatin1(r.format)) << r.name;
    }
}

TEST(DateParser, RefusesWhatIsNoDate)
{
    const struct { const char *name; const char *text; TXlsDateOrder order; } rows[] = {
        {"plain number", "1234.5", TXlsDateOrder::doDMY},
        {"no leap day in 2025", "29.02.2025", TXlsDateOrder::doDMY},
        {"month 13", "01.13.2025", TXlsDateOrder::doDMY},
        {"mixed separators", "01.02/2025", TXlsDateOrder::doDMY},
        {"day first read as month first", "25.12.2025", TXlsDateOrder::doMDY},
        {"hour 24", "24:00", TXlsDateOrder::doDMY},
        {"three-digit year", "01.02.202", TXlsDateOrder::doDMY},
        {"before 1900", "31.12.1899", TXlsDateOrder::doDMY},
        {"trailing words", "07.12.2025 noon", TXlsDateOrder::doDMY},
        {"empty", "", TXlsDateOrder::doDMY},
    };
    for (const auto &r : rows) {
        double value = 0;
        QString format;
        EXPECT_FALSE(TXlsDateParser::TryParse(QString::fromLatin1(r.text), r.order, value, format))
            << r.name;
    }
}

TEST(DelimitedText, WriterQuotesOnlyWhatNeedsIt)
{
    TMapCells cells;
    cells.SetCellValue(0, 0, 1.5);
    cells.SetCellValue(0, 1, QStringLiteral("a;b"));
    cells.SetCellValue(0, 2, QStringLiteral("say \"hi\""));
    cells.SetCellValue(1, 0, true);
    cells.SetCellValue(1, 2, QStringLiteral("Şură ţăran"));
    cells.SetCellValue(2, 1, 1e20);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    TXlsTextWriter::Write(out, cells, u';');
    // Numbers with "." whatever the user's locale; diacritics in CP1250; an empty
    // cell still gets its delimiter so columns line up.
    const QByteArray expected = QByteArray("1.5;\"a;b\";\"say \"\"hi\"\"\"\r\n")
                                + "TRUE;;\xAA\x75\x72\xE3 \xFE\xE3ran\r\n" + ";1e+20;\r\n";
    EXPECT_EQ(out.data(), expected);
}

TEST(DelimitedText, RangeIsCutToTheSheet)
{
    TMapCells cells;
    cells.SetCellValue(0, 0, QStringLiteral("x"));
    cells.SetCellValue(0, 1, QStringLiteral("y"));
    const QByteArray bytes = TXlsTextWriter::ToBytes(cells, {1, 0, 1, 0}, u',');
    EXPECT_EQ(bytes, QByteArray("y\r\n"));
}

TEST(DelimitedText, ReadBackWhatWasWritten)
{
    TMapCells cells;
    cells.SetCellValue(0, 0, 3.25);
    cells.SetCellValue(0, 1, QStringLiteral("two\r\nlines, \"quoted\""));
    cells.SetCellValue(1, 1, QStringLiteral("12abc"));
    cells.SetCellValue(2, 0, QStringLiteral("ăîşţâ"));
    for (QChar delimiter : {QChar(u','), QChar(u';'), QChar(u'\t')}) {
        const QByteArray bytes = TXlsTextWriter::ToBytes(cells, {0, 0, 1, 2}, delimiter);
        TMapCells back;
        TXlsTextReader::Read(bytes, back, 4, 2, delimiter);
        EXPECT_EQ(back.CellValue(4, 2).toDouble(), 3.25);
        EXPECT_EQ(back.CellValue(4, 3), cells.CellValue(0, 1));
        EXPECT_EQ(back.CellValue(5, 3), QVariant(QStringLiteral("12abc")));
        EXPECT_EQ(back.CellValue(6, 2), cells.CellValue(2, 0));
        EXPECT_FALSE(back.CellValue(5, 2).isValid()) << "empty field sets nothing";
    }
}

TEST(DelimitedText, ReaderSurvivesBrokenText)
{
    const struct { const char *name; QByteArray text; int cells; } rows[] = {
        {"unterminated quote runs to the end", "\"abc,def\r\nxyz", 1},
        {"text after a closing quote is kept", "\"ab\"cd,e", 2},
        {"lone CR ends a line", "a\rb", 2},
        {"only delimiters", ",,,\r\n,,", 0},
        {"empty", "", 0},
    };
    for (const auto &r : rows) {
        TMapCells back;
        TXlsTextReader::Read(r.text, back, 0, 0, u',');
        EXPECT_EQ(back.FCells.size(), r.cells) << r.name;
    }
}

TEST(DelimitedText, ReaderRefusesCellsBeyondTheSheet)
{
    TMapCells back;
    EXPECT_THROW(TXlsTextReader::Read("a,b", back, 0, 255, u','), EExcelException);
    EXPECT_THROW(TXlsTextReader::Read("a\r\nb", back, 65535, 0, u','), EExcelException);
}
