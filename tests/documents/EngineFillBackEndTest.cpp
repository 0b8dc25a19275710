// The engine back-end's row copies to fill: the values written on them take
// the formats the template row's cells had, whichever columns a row names.

#include "FillerFixture.h"

#include "documents/EngineFillBackEnd.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsImport.h"

#include <gtest/gtest.h>

TEST(EngineFillBackEnd, ValuesOnTheCopiesTakeTheirColumnsTemplateFormats)
{
    FillerFixture world;
    TXLSAdapter adapter;
    TXlsImport facade;
    facade.Adapter = &adapter;
    TEngineFillBackEnd backEnd(facade);
    backEnd.Open(FillerFixture::statSource(), world.dir() + QStringLiteral("/filled.xls"));
    // The payment list's row 7: the name, the date and the amount each have their own format.
    constexpr int Row = 7, Name = 3, Date = 6, Amount = 8, Address = 7;
    TExcelFile &file = facade.File();
    const int nameXf = file.GetCellFormat(Row, Name), dateXf = file.GetCellFormat(Row, Date);
    const int amountXf = file.GetCellFormat(Row, Amount), addressXf = file.GetCellFormat(Row, Address);
    ASSERT_NE(nameXf, dateXf);
    ASSERT_NE(dateXf, amountXf);

    backEnd.InsertRowCopiesToFill(Row, 2, {Name, Date, Amount});
    // Every filled column in the order given, as the filler writes them.
    backEnd.SetRowValues(Row, {{Name, QStringLiteral("ION")}, {Date, 45000.0}, {Amount, 12.5}});
    // Some of them only, and a column that was not named.
    backEnd.SetRowValues(Row + 1, {{Date, 45001.0}, {Address, QStringLiteral("TURENI")}});
    for (int row : {Row, Row + 1}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(file.GetCellFormat(row, Date), dateXf);
        EXPECT_EQ(file.GetCellFormat(row, Address), addressXf);
    }
    EXPECT_EQ(file.GetCellFormat(Row, Name), nameXf);
    EXPECT_EQ(file.GetCellFormat(Row, Amount), amountXf);
    EXPECT_EQ(file.GetCellFormat(Row + 1, Name), -1) << "a filled cell left unwritten is not copied";
    EXPECT_EQ(file.GetCellValue(Row + 1, Date), QVariant(45001.0));
    backEnd.Close();
}
