#include "FormulaTestSupport.h"

#include "xls/formula/NameRecordList.h"
#include "xls/formula/TokenArray.h"
#include "xls/formula/TokenException.h"
#include "xls/records/SheetInfo.h"

namespace {

// Tokens of one reference in the value class.
QByteArray Ref(int row, int col, bool absRow = false, bool absCol = false)
{
    const int field = col | (absCol ? 0 : 0x4000) | (absRow ? 0 : 0x8000);
    return Bytes({0x44, row & 0xFF, row >> 8, field & 0xFF, field >> 8});
}

QByteArray Area(int r1, int r2, int c1, int c2)
{
    return Bytes({0x25, r1 & 0xFF, r1 >> 8, r2 & 0xFF, r2 >> 8, c1, 0xC0, c2, 0xC0});
}

QByteArray RefError(int row, int col)
{
    QByteArray t = Ref(row, col);
    t[0] = char(0x4A);
    return t;
}

QByteArray AreaError(int r1, int r2, int c1, int c2)
{
    QByteArray t = Area(r1, r2, c1, c2);
    t[0] = char(0x2B);
    return t;
}

TSheetInfo InSheet(int sheet)
{
    TSheetInfo info;
    info.InsSheet = sheet;
    info.FormulaSheet = sheet;
    return info;
}

QByteArray Insert(QByteArray t, int rowPos, int rowCount, int colPos = 0, int colCount = 0)
{
    ShiftTokensForInsert(t, 0, t.size(), InSheet(0), rowPos, rowCount, colPos, colCount);
    return t;
}

struct ShiftCase
{
    const char *Name;
    QByteArray Before;
    int RowPos, RowCount, ColPos, ColCount;
    QByteArray After;
};

TEST(TokenShift, InsertingAndDeletingRowsAndColumns)
{
    const ShiftCase cases[] = {
        {"2 rows at row 5 move row 7 to 9", Ref(7, 0), 5, 2, 0, 0, Ref(9, 0)},
        {"rows above the insertion stay", Ref(4, 0), 5, 2, 0, 0, Ref(4, 0)},
        {"absolute references move too", Ref(7, 0, true, true), 5, 2, 0, 0, Ref(9, 0, true, true)},
        {"a row pushed past 65535 becomes #REF!", Ref(65535, 3), 0, 1, 0, 0, RefError(65535, 3)},
        {"deleting rows 3-5 refuses row 4", Ref(4, 1), 3, -3, 0, 0, RefError(4, 1)},
        {"deleting rows 3-5 moves row 8 to 5", Ref(8, 1), 3, -3, 0, 0, Ref(5, 1)},
        {"columns inserted", Ref(0, 5), 0, 0, 2, 3, Ref(0, 8)},
        {"column pushed past IV", Ref(0, 254), 0, 0, 0, 2, RefError(0, 254)},
        {"column deleted", Ref(0, 2), 0, 0, 2, -1, RefError(0, 2)},
        {"area grows at its end", Area(2, 10, 0, 0), 5, 2, 0, 0, Area(2, 12, 0, 0)},
        {"area moves down", Area(2, 10, 0, 0), 1, 2, 0, 0, Area(4, 12, 0, 0)},
        {"whole-column area keeps its end", Area(0, 65535, 1, 1), 0, 3, 0, 0, Area(3, 65535, 1, 1)},
        {"area loses deleted rows inside it", Area(2, 10, 0, 0), 4, -3, 0, 0, Area(2, 7, 0, 0)},
        {"deletion over the area's start", Area(4, 10, 0, 0), 3, -3, 0, 0, Area(3, 7, 0, 0)},
        {"deletion above the area", Area(8, 10, 0, 0), 3, -3, 0, 0, Area(5, 7, 0, 0)},
        {"deletion of the area's tail", Area(2, 5, 0, 0), 4, -3, 0, 0, Area(2, 3, 0, 0)},
        {"deletion below the area", Area(2, 5, 0, 0), 6, -3, 0, 0, Area(2, 5, 0, 0)},
        {"area wholly deleted", Area(4, 5, 0, 0), 3, -3, 0, 0, AreaError(4, 5, 0, 0)},
        {"area columns shrink when columns go", Area(0, 9, 1, 4), 0, 0, 2, -1, Area(0, 9, 1, 3)},
        {"area columns move left", Area(0, 9, 3, 4), 0, 0, 1, -2, Area(0, 9, 1, 2)},
        {"area columns wholly deleted", Area(0, 9, 2, 3), 0, 0, 2, -2, AreaError(0, 9, 2, 3)},
        {"area columns inserted", Area(0, 9, 2, 3), 0, 0, 3, 1, Area(0, 9, 2, 4)},
    };
    for (const ShiftCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Hex(Insert(c.Before, c.RowPos, c.RowCount, c.ColPos, c.ColCount)), Hex(c.After));
    }
}

TEST(TokenShift, OnlyReferencesIntoTheChangedSheetMove)
{
    TSheetInfo info = InSheet(1);
    info.FormulaSheet = 0; // the formula lives on sheet 0, rows go in on sheet 1
    info.GetSheet = [](int externSheet) { return externSheet == 7 ? 1 : 0; };
    QByteArray t = Ref(5, 0) + Bytes({0x3A, 7, 0, 5, 0, 0, 0xC0, 0x3A, 3, 0, 5, 0, 0, 0xC0, 0x03, 0x03});
    ShiftTokensForInsert(t, 0, t.size(), info, 0, 2, 0, 0);
    EXPECT_EQ(Hex(t), Hex(Ref(5, 0) + Bytes({0x3A, 7, 0, 7, 0, 0, 0xC0, 0x3A, 3, 0, 5, 0, 0, 0xC0, 0x03, 0x03})));
}

TEST(TokenShift, CopyMovesRelativePartsOnly)
{
    QByteArray t = Ref(3, 2) + Ref(3, 2, true, false) + Ref(3, 2, false, true) + Bytes({0x03, 0x03});
    ShiftTokensForCopy(t, 0, t.size(), 1, 2);
    EXPECT_EQ(Hex(t), Hex(Ref(4, 4) + Ref(3, 4, true, false) + Ref(4, 2, false, true) + Bytes({0x03, 0x03})));

    QByteArray up = Ref(0, 0);
    ShiftTokensForCopy(up, 0, up.size(), -1, 0);
    EXPECT_EQ(Hex(up), Hex(RefError(0, 0))) << "a copy above row 1 refers to nothing";
}

TEST(TokenShift, AFailedShiftChangesNothing)
{
    // The reference before the array token would move; the array token cannot be walked.
    const QByteArray before = Ref(7, 0) + Bytes({0x01, 0, 0, 0, 0, 0x03});
    QByteArray t = before;
    try {
        ShiftTokensForInsert(t, 0, t.size(), InSheet(0), 0, 5, 0, 0);
        FAIL() << "token 0x01 must be refused";
    } catch (const ETokenException &e) {
        EXPECT_EQ(e.Token(), 0x01);
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Error reading formula, Token Id: 0x 1 is not supported"));
    }
    EXPECT_EQ(Hex(t), Hex(before));
}

TEST(TokenShift, EveryWalkableTokenIsSkippedByItsSize)
{
    // One of each, with a reference at the end that must still be found.
    const QByteArray t = Bytes({0x17, 2, 1, 'a', 0, 'b', 0,            // wide text
                                0x19, 0x04, 1, 0, 2, 0, 4, 0,           // choose jump table
                                0x19, 0x40, 0, 1,                       // whitespace
                                0x1C, 7, 0x1D, 1, 0x1E, 1, 0, 0x1F, 0, 0, 0, 0, 0, 0, 0, 0,
                                0x20, 0, 0, 0, 0, 0, 0, 0, 0x41, 4, 0, 0x42, 1, 4, 0, 0x29, 2, 0,
                                0x23, 1, 0, 0, 0, 0x39, 0, 0, 1, 0, 0, 0,
                                0x2C, 0, 0, 0, 0xC0, 0x2D, 0, 0, 0, 0, 0, 0xC0, 0, 0xC0,
                                0x2A, 0, 0, 0, 0, 0x2B, 0, 0, 0, 0, 0, 0, 0, 0,
                                0x3C, 0, 0, 0, 0, 0, 0, 0x3D, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x15, 0x16})
        + Ref(9, 0);
    EXPECT_EQ(Hex(Insert(t, 0, 1).right(5)), Hex(Ref(10, 0)));
    for (int bad : {0x1A, 0x1B, 0x26, 0x27, 0x28, 0x2E, 0x2F, 0x00, 0x80}) {
        SCOPED_TRACE(bad);
        QByteArray b = Bytes({bad, 0, 0, 0, 0, 0, 0, 0});
        EXPECT_THROW(Insert(b, 0, 1), ETokenException);
    }
}

TEST(TokenShift, TruncatedTokensRaiseInsteadOfReadingOn)
{
    const QByteArray full = Ref(1, 1) + Area(1, 2, 1, 2) + Bytes({0x17, 3, 1, 'a', 0, 'b', 0, 'c', 0});
    for (qsizetype n = 1; n < full.size(); ++n) {
        QByteArray cut = full.left(n);
        const bool whole = n == 5 || n == 14;
        if (whole)
            EXPECT_NO_THROW(Insert(cut, 0, 1));
        else
            EXPECT_THROW(Insert(cut, 0, 1), EExcelException) << n;
    }
}

TEST(TokenShift, SharedFormulaOffsetsBecomeCells)
{
    // Row offset -1 and column offset -1 (0xFF in the column byte), both relative;
    // then an area from (0, +1) to (+2, +1).
    QByteArray t = Bytes({0x4C, 0xFF, 0xFF, 0xFF, 0xC0, 0x2D, 0, 0, 2, 0, 1, 0xC0, 1, 0xC0, 0x03});
    ExpandSharedTokens(t, 0, t.size(), 10, 5);
    EXPECT_EQ(Hex(t), Hex(Bytes({0x44, 9, 0, 4, 0xC0, 0x25, 10, 0, 12, 0, 6, 0xC0, 6, 0xC0, 0x03})));

    // An absolute column stays and a negative column offset never reaches the flag bits.
    QByteArray c = Bytes({0x2C, 0, 0, 0xFE, 0x40});
    ExpandSharedTokens(c, 0, c.size(), 0, 1);
    EXPECT_EQ(Hex(c), Hex(Bytes({0x24, 0, 0, 0xFF, 0x40})));
}

TEST(TokenShift, SheetCopyRedirectsReferencesAndLocalNames)
{
    TNameRecordList names;
    names.Add(NameRecord("Baza", 2));
    names.Add(NameRecord("Total", -1));
    names.Add(NameRecord("BAZA", 4));
    TSheetInfo info;
    info.InsSheet = 2;     // copied sheet
    info.FormulaSheet = 4; // the copy
    info.GetSheet = [](int externSheet) { return externSheet == 1 ? 2 : 0; };
    info.SetSheet = [](int sheet) { return sheet == 4 ? 9 : -1; };
    info.Names = &names;
    QByteArray t = Bytes({0x3A, 1, 0, 0, 0, 0, 0xC0, 0x3A, 0, 0, 0, 0, 0, 0xC0, 0x43, 1, 0, 0, 0, 0x43, 2, 0, 0, 0});
    ShiftTokensForSheetCopy(t, 0, t.size(), info);
    EXPECT_EQ(Hex(t), Hex(Bytes({0x3A, 9, 0, 0, 0, 0, 0xC0, 0x3A, 0, 0, 0, 0, 0, 0xC0, 0x43, 3, 0, 0, 0, 0x43, 2, 0, 0, 0})));
}

TEST(TokenShift, TableAnchorMovesWithItsSheet)
{
    QByteArray t = Bytes({0x02, 5, 0, 2, 0});
    ShiftTokensForInsert(t, 0, t.size(), InSheet(0), 3, 2, 0, 0);
    EXPECT_EQ(Hex(t), Hex(Bytes({0x02, 7, 0, 2, 0})));
    QByteArray off = Bytes({0x02, 0, 0, 0, 0});
    EXPECT_THROW(ShiftTokensForCopy(off, 0, off.size(), -1, 0), ETokenException);
    EXPECT_EQ(Hex(off), Hex(Bytes({0x02, 0, 0, 0, 0})));
}

TEST(TokenShift, ConvertToRefError)
{
    struct Case { int Before; int After; };
    const Case cases[] = {{0x24, 0x2A}, {0x44, 0x4A}, {0x65, 0x6B}, {0x3A, 0x3C}, {0x5B, 0x5D}, {0x2A, 0x2A}, {0x7D, 0x7D}};
    for (const Case &c : cases) {
        QByteArray t = Bytes({c.Before, 1, 2, 3, 4});
        ConvertToRefError(t, 0);
        EXPECT_EQ(quint8(t[0]), c.After) << c.Before;
        EXPECT_EQ(Hex(t.mid(1)), Hex(Bytes({1, 2, 3, 4}))) << "fields are left as they are";
    }
    QByteArray n = Bytes({0x1E, 1, 0});
    EXPECT_THROW(ConvertToRefError(n, 0), ETokenException);
}

} // namespace
