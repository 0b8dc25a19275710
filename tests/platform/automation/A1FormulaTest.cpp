#include "platform/automation/A1Formula.h"

#include <gtest/gtest.h>

TEST(A1Formula, InsertRowsInOwnSheet)
{
    struct Row { const char *name; const char *in; const char *out; } rows[] = {
        {"below moves", "A7*2", "A9*2"},
        {"above stays", "A4+$B$4", "A4+$B$4"},
        {"at the row moves", "A5", "A7"},
        {"absolute moves too", "$A$7", "$A$9"},
        {"area end grows", "SUM(B2:B6)", "SUM(B2:B8)"},
        {"area starting at the row moves", "SUM(B5:B6)", "SUM(B7:B8)"},
        {"whole column kept", "SUM(C:C)", "SUM(C:C)"},
        {"whole rows", "SUM(5:6)", "SUM(7:8)"},
        {"string literal untouched", "\"A7\"&A7", "\"A7\"&A9"},
        {"doubled quotes stay in the literal", "\"x\"\"A7\"&A7", "\"x\"\"A7\"&A9"},
        {"apostrophe in a quoted sheet name", "'Foaie ''1'!A7+A7", "'Foaie ''1'!A7+A9"},
        {"functions are not references", "LOG10(A7)+ATAN2(1,2)", "LOG10(A9)+ATAN2(1,2)"},
        {"names are not references", "Total*A7+TRUE", "Total*A9+TRUE"},
        {"numbers stay", "1.5*7+A7", "1.5*7+A9"},
        {"own sheet by name", "Foaie1!A7", "Foaie1!A9"},
        {"other sheet untouched", "Alta!A7+'Foaie 2'!B9", "Alta!A7+'Foaie 2'!B9"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(A1Formula::insertRows(r.in, "Foaie1", "Foaie1", 5, 2), QString(r.out)) << r.name;
}

TEST(A1Formula, InsertRowsSeenFromAnotherSheet)
{
    EXPECT_EQ(A1Formula::insertRows("'Foaie 1'!A7+A7", "Alta", "Foaie 1", 5, 1), "'Foaie 1'!A8+A7");
    // Workbook-level text counts only qualified references.
    EXPECT_EQ(A1Formula::insertRows("Foaie1!$A$1:$C$9", QString(), "foaie1", 5, 1), "Foaie1!$A$1:$C$10");
    EXPECT_EQ(A1Formula::insertRows("$A$9", QString(), "Foaie1", 5, 1), "$A$9");
}

TEST(A1Formula, PushedOffTheSheetBecomesRefError)
{
    EXPECT_EQ(A1Formula::insertRows("A1048576+1", "S", "S", 5, 1), "#REF!+1");
    EXPECT_EQ(A1Formula::offset("A1-1", -1, 0), "#REF!-1");
}

TEST(A1Formula, OffsetMovesRelativePartsOnly)
{
    EXPECT_EQ(A1Formula::offset("A1+$B$1+C$1+$D1", 2, 1), "B3+$B$1+D$1+$D3");
    EXPECT_EQ(A1Formula::offset("SUM(A1:A3)", -0, 0), "SUM(A1:A3)");
}

TEST(A1Formula, Ranges)
{
    EXPECT_EQ(A1Formula::insertRowsInRange("A1:D10 F12", 5, 3), "A1:D13 F15");
    EXPECT_EQ(A1Formula::columnNumber(u"XFD"), 16384);
    EXPECT_EQ(A1Formula::columnLetters(28), "AB");
}
