// Text typed into a cell: thousand separators, numbers, Booleans, dates and
// text, through the file object and read back by xlrd.
#include "FileOpsSupport.h"

#include "xls/workbook/XlsTextValue.h"

#include <gtest/gtest.h>

using namespace FileOps;
using namespace IndependentReaders;

TEST(ThousandSeparators, RemovedOnlyWhereTheyGroupThousands)
{
    const struct { const char *name; const char *text; QChar decimal, thousand; const char *expected; } rows[] = {
        // "." between thousands, "," before the decimals.
        {"seven digits, groups after 1st and 4th", "1.234.567", u',', u'.', "1234567"},
        {"seven digits, groups after 2nd and 4th", "12.34.567", u',', u'.', "12.34.567"},
        {"with decimals", "1.234,5", u',', u'.', "1234,5"},
        {"separator among the decimals", "1.234,5.6", u',', u'.', "1.234,5.6"},
        // The program's own pair.
        {"plain", "1234567", u'.', u',', "1234567"},
        {"grouped", "1,234,567.25", u'.', u',', "1234567.25"},
        {"negative", "-1,234", u'.', u',', "-1234"},
        {"negative, full group", "-123,456", u'.', u',', "-123456"},
        {"leading separator", ",123", u'.', u',', ",123"},
        {"separator in the decimals", "1,234.5,6", u'.', u',', "1,234.5,6"},
        // Fewer than four characters group nothing: "1,5" is not fifteen.
        {"short integer part", "1,5", u'.', u',', "1,5"},
        {"short, with decimals", "12,3.4", u'.', u',', "12,3.4"},
        {"misplaced", "12,34", u'.', u',', "12,34"},
        {"misplaced in a long number", "1234,567", u'.', u',', "1234,567"},
        {"doubled", "1,,234", u'.', u',', "1,,234"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(TXlsTextValue::RemoveThousandSeparators(QString::fromUtf8(r.text), r.decimal, r.thousand),
                  QString::fromUtf8(r.expected))
            << r.name;
}

TEST(TextToValue, NumbersBooleansDatesAndText)
{
    const struct { const char *name; const char *text; QVariant value; bool date; } rows[] = {
        {"decimal point", "1.5", 1.5, false},
        {"negative with groups", "-1,234.75", -1234.75, false},
        {"exponent", "2.5E3", 2500.0, false},
        {"spaces around", " 42 ", 42.0, false},
        {"decimal comma is no number", "1,5", QStringLiteral("1,5"), false},
        {"lower-case true", "true", true, false},
        {"mixed-case false", "FaLsE", false, false},
        {"yes is text", "da", QStringLiteral("da"), false},
        {"infinity is text", "inf", QStringLiteral("inf"), false},
        {"not a number is text", "nan", QStringLiteral("nan"), false},
        {"date", "07.12.2026", 46363.0, true},
        {"empty", "", QString(), false},
        {"text with diacritics", "Ştefan", QStringLiteral("Ştefan"), false},
    };
    for (const auto &r : rows) {
        const TXlsTextValue v = TXlsTextValue::FromText(QString::fromUtf8(r.text), TXlsDateOrder::doDMY);
        EXPECT_EQ(v.Value, r.value) << r.name;
        EXPECT_EQ(!v.DateFormat.isEmpty(), r.date) << r.name;
    }
    // The other convention, for callers that read it.
    EXPECT_EQ(TXlsTextValue::FromText(QStringLiteral("1.234.567,5"), TXlsDateOrder::doDMY, u',', u'.').Value,
              QVariant(1234567.5));
    EXPECT_EQ(TXlsTextValue::FromText(QStringLiteral("1.5"), TXlsDateOrder::doDMY, u',', u'.').Value,
              QVariant(QStringLiteral("1.5")));
}

TEST(TextToValue, CellsTypedThroughTheFileObjectReadBackWithXlrd)
{
    auto file = NewBook();
    const int general = file->GetCellFormat(1, 1) < 0 ? 15 : file->GetCellFormat(1, 1);
    file->AssignCellDataFromText(1, 1, QStringLiteral("1.5"));
    file->AssignCellDataFromText(1, 2, QStringLiteral("12,345"));
    file->AssignCellDataFromText(1, 3, QStringLiteral("true"));
    file->AssignCellDataFromText(1, 4, QStringLiteral("07.12.2026"));
    file->AssignCellDataFromText(1, 5, QStringLiteral("Popescu, Ion"));
    // A given format is used, and for a date gets the date's number format.
    TXlsFormat percent = file->GetFormat(general);
    percent.Format = QStringLiteral("0.00%");
    const int percentXF = file->AddFormat(percent);
    file->AssignCellDataFromText(2, 1, QStringLiteral("0.25"), percentXF);
    file->AssignCellDataFromText(2, 2, QStringLiteral("31.01.2026"), percentXF);

    EXPECT_EQ(file->GetCellValue(1, 1), QVariant(1.5));
    EXPECT_EQ(file->GetCellFormat(2, 1), percentXF);
    EXPECT_EQ(file->FormatString(file->GetCellFormat(2, 1)), QStringLiteral("0.00%"));
    const int dateXF = file->GetCellFormat(2, 2);
    EXPECT_NE(dateXF, percentXF);
    EXPECT_EQ(file->GetFormat(dateXF).Rest, percent.Rest) << "the date keeps the rest of the given format";
    // Typing a second date finds the format the first one added.
    file->AssignCellDataFromText(3, 2, QStringLiteral("01.02.2026"), percentXF);
    EXPECT_EQ(file->GetCellFormat(3, 2), dateXF);

    const XlrdBook book = readWithXlrd(SaveScratch(*file, QStringLiteral("text-to-value")));
    const XlrdSheet &s = book.sheets.at(0);
    EXPECT_EQ(s.cell(0, 0).kind, XlrdCell::Number);
    EXPECT_DOUBLE_EQ(s.cell(0, 0).number, 1.5);
    EXPECT_DOUBLE_EQ(s.cell(0, 1).number, 12345);
    EXPECT_EQ(s.cell(0, 2).kind, XlrdCell::Boolean);
    EXPECT_EQ(s.cell(0, 2).number, 1);
    EXPECT_EQ(s.cell(0, 3).kind, XlrdCell::Date) << "the date format is one xlrd sees as a date";
    EXPECT_DOUBLE_EQ(s.cell(0, 3).number, 46363);
    EXPECT_EQ(s.cell(0, 4).text, QStringLiteral("Popescu, Ion"));
    EXPECT_EQ(s.cell(1, 0).kind, XlrdCell::Number);
    EXPECT_EQ(s.cell(1, 1).kind, XlrdCell::Date);
}

TEST(TextToValue, WithoutAFormatTheCellKeepsItsOwn)
{
    auto file = NewBook();
    TXlsFormat bold = file->GetFormat(15);
    bold.FontIndex = 1;
    const int boldXF = file->AddFormat(bold);
    file->SetCellFormat(4, 4, boldXF);
    EXPECT_EQ(file->GetCellValue(4, 4), QVariant()) << "a format alone leaves a blank cell";
    file->AssignCellDataFromText(4, 4, QStringLiteral("7"));
    EXPECT_EQ(file->GetCellValue(4, 4), QVariant(7.0));
    EXPECT_EQ(file->GetCellFormat(4, 4), boldXF);
    // A date typed there keeps the font and takes a date format.
    file->AssignCellDataFromText(4, 4, QStringLiteral("2026-12-07"), -1, TXlsDateOrder::doYMD);
    EXPECT_EQ(file->GetFormat(file->GetCellFormat(4, 4)).FontIndex, 1);
    EXPECT_NE(file->FormatString(file->GetCellFormat(4, 4)), file->FormatString(boldXF));
}
