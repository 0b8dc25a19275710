// Records other programs write that the engine must read as cells: rich text
// in RSTRING (also split by CONTINUE), FORMULA under its older id, and ROW
// records whose column range does not cover their cells. Each case puts its
// records into the empty workbook's sheet; one saved file of all cases is
// then read back by xlrd.
#include "FileOpsSupport.h"

#include "xls/formula/FormulaRecord.h"
#include "xls/workbook/EmptyWorkbook.h"
#include "xls/workbook/CellList.h"
#include "xls/workbook/References.h"
#include "xls/workbook/WorkSheet.h"
#include "xls/workbook/Workbook.h"

#include <QBuffer>

using namespace FileOps;

namespace {

QByteArray U16(int v)
{
    QByteArray b(2, '\0');
    WriteWord(b, 0, quint16(v));
    return b;
}

QByteArray CellHead(int row, int col, int xf = 15)
{
    return U16(row) + U16(col) + U16(xf);
}

// Runs of (first character, font), as RSTRING stores them after its string.
QByteArray Runs(std::initializer_list<std::pair<int, int>> runs)
{
    QByteArray out = U16(int(runs.size()));
    for (auto [first, font] : runs)
        out += U16(first) + U16(font);
    return out;
}

QByteArray RString(int row, int col, const QByteArray &text, const QByteArray &runs)
{
    return BiffRecord(0x00D6, CellHead(row, col) + U16(int(text.size())) + '\0' + text + runs);
}

// "Gras" in the record, the rest of the text in a CONTINUE record that
// starts with its own option byte and then holds the runs too.
QByteArray RStringSplit(int row, int col)
{
    const QByteArray text = "Gras si normal";
    return BiffRecord(0x00D6, CellHead(row, col) + U16(int(text.size())) + '\0' + text.left(4))
         + BiffRecord(0x003C, QByteArray(1, '\0') + text.mid(4) + Runs({{0, 5}, {4, 0}}));
}

// FORMULA under the older id: result 42, tokens "=6*7" (tInt 6, tInt 7, tMul).
QByteArray OldFormula(int row, int col)
{
    QByteArray data = CellHead(row, col);
    QByteArray result(8, '\0');
    const double value = 42;
    std::memcpy(result.data(), &value, 8);
    data += result + U16(0) + QByteArray(4, '\0');
    const QByteArray tokens = QByteArray("\x1E\x06\x00\x1E\x07\x00\x05", 7);
    return BiffRecord(0x0406, data + U16(int(tokens.size())) + tokens);
}

QByteArray Number(int row, int col, double value)
{
    QByteArray v(8, '\0');
    std::memcpy(v.data(), &value, 8);
    return BiffRecord(0x0203, CellHead(row, col) + v);
}

// A ROW record saying columns first..lastPlus1-1.
QByteArray Row(int row, int first, int lastPlus1)
{
    return BiffRecord(0x0208, U16(row) + U16(first) + U16(lastPlus1) + U16(255) + QByteArray(4, '\0')
                                  + QByteArray("\x00\x01\x0F\x00", 4));
}

// The empty workbook's stream with records put in its sheet, before WINDOW2.
QByteArray SheetWith(const QByteArray &records)
{
    QByteArray stream = EmptyWorkbook::WorkbookStream();
    for (qsizetype pos = 0; pos + 4 <= stream.size(); pos += 4 + ReadWord(stream, pos + 2))
        if (ReadWord(stream, pos) == 0x023E)
            return stream.insert(pos, records);
    return stream;
}

// The stream with records put in the globals, before the shared strings.
QByteArray GlobalsWith(const QByteArray &stream, const QByteArray &records)
{
    QByteArray out = stream;
    for (qsizetype pos = 0; pos + 4 <= out.size(); pos += 4 + ReadWord(out, pos + 2))
        if (ReadWord(out, pos) == 0x00FC)
            return out.insert(pos, records);
    return out;
}

QByteArray FormulaCell(int row, int col, const QByteArray &tokens)
{
    return BiffRecord(0x0006, CellHead(row, col) + QByteArray(8, '\0') + U16(0) + QByteArray(4, '\0')
                                  + U16(int(tokens.size())) + tokens);
}

// This workbook's SUPBOOK and an add-in's with the function YEARFRAC;
// extern sheet 1 points at the add-in. NAME 1 is "_xlfn.IFERROR", as newer
// versions store functions the format does not have.
QByteArray FunctionNames()
{
    const QByteArray name = "_xlfn.IFERROR";
    const QByteArray nameRecord = U16(0x0023) + '\0' + char(name.size()) + U16(2) + U16(0) + U16(0)
                                + QByteArray(4, '\0') + '\0' + name + QByteArray("\x1C\x1D", 2);
    return BiffRecord(0x01AE, U16(1) + U16(0x0401)) + BiffRecord(0x01AE, U16(1) + U16(0x3A01))
         + BiffRecord(0x0023, U16(0) + U16(0) + U16(0) + char(8) + '\0' + QByteArray("YEARFRAC") + U16(2)
                                  + QByteArray("\x1C\x17", 2))
         + BiffRecord(0x0017, U16(2) + U16(0) + U16(0) + U16(0) + U16(1) + U16(0xFFFE) + U16(0xFFFE))
         + BiffRecord(0x0018, nameRecord);
}

// The first and last + 1 column of each ROW record of a stream, by row.
QMap<int, QPair<int, int>> RowSpans(const QByteArray &stream)
{
    QMap<int, QPair<int, int>> spans;
    for (qsizetype pos = 0; pos + 4 <= stream.size(); pos += 4 + ReadWord(stream, pos + 2))
        if (ReadWord(stream, pos) == 0x0208)
            spans[ReadWord(stream, pos + 4)] = {ReadWord(stream, pos + 6), ReadWord(stream, pos + 8)};
    return spans;
}

struct ForeignCell
{
    const char *name;
    int row, col;  // 0-based
    QVariant value;
    TXlsRichRuns runs;  // 1-based first characters, as the file interface gives them
};

const ForeignCell Cells[] = {
    {"rich text", 0, 0, QStringLiteral("Gras si normal"), {{1, 5}, {5, 0}}},
    {"rich text split by CONTINUE", 1, 0, QStringLiteral("Gras si normal"), {{1, 5}, {5, 0}}},
    {"formula under the older id", 2, 0, 42.0, {}},
    {"first cell of a row whose ROW says 0-0", 3, 0, 1.0, {}},
    {"tenth cell of that row", 3, 9, 10.0, {}},
};

// xlrd cannot read an RSTRING split by CONTINUE: its read-back goes without it.
QByteArray AllCases(bool withSplit = true)
{
    QByteArray row3 = Row(3, 0, 1);
    for (int c = 0; c < 10; ++c)
        row3 += Number(3, c, c + 1);
    return SheetWith(RString(0, 0, "Gras si normal", Runs({{0, 5}, {4, 0}})) + (withSplit ? RStringSplit(1, 0) : QByteArray())
                     + OldFormula(2, 0) + row3);
}

TEST(ForeignWriters, EveryStoredCellReads)
{
    auto file = OpenWorkbookStream(AllCases());
    EXPECT_EQ(file->MaxRow(), 4);
    EXPECT_EQ(file->MaxCol(), 10);
    for (const ForeignCell &c : Cells) {
        int xf = 0;
        TXlsRichRuns runs;
        EXPECT_EQ(file->GetCellValueRichText(c.row + 1, c.col + 1, xf, runs), c.value) << c.name;
        EXPECT_EQ(runs, c.runs) << c.name;
    }
}

TEST(ForeignWriters, SavedAsTheyCameAndRowsCoverTheirCells)
{
    auto file = OpenWorkbookStream(AllCases());
    const QString path = SaveScratch(*file, QStringLiteral("foreign-writers"));
    const QByteArray saved = WorkbookStreamOf(path);
    // The rich strings are written back byte for byte, CONTINUE included.
    EXPECT_TRUE(saved.contains(RString(0, 0, "Gras si normal", Runs({{0, 5}, {4, 0}}))));
    EXPECT_TRUE(saved.contains(RStringSplit(1, 0)));
    EXPECT_EQ(RowSpans(saved).value(3), qMakePair(0, 10));
    // The older formula id is written as BIFF8's, with the same tokens.
    auto reopened = OpenBook(path);
    TWorkbook &book = reopened->Workbook();
    const auto *formula = dynamic_cast<const TFormulaRecord *>(book.WorkSheets(0)->Cells().Cell(2, 0));
    ASSERT_TRUE(formula);
    EXPECT_EQ(formula->RecordId(), TFormulaRecord::Id);
    TReferences references(book.Globals());
    EXPECT_EQ(formula->FormulaText(&book.Globals().Names(), &references), QStringLiteral("=6*7"));

    auto withoutSplit = OpenWorkbookStream(AllCases(false));
    const QString path2 = SaveScratch(*withoutSplit, QStringLiteral("foreign-writers-xlrd"));
    const auto sheet = IndependentReaders::readWithXlrd(path2).sheets.value(0);
    for (const ForeignCell &c : Cells) {
        if (c.row == 1 || c.row == 2)  // the split string; the formula, saved for recalculation
            continue;
        const auto cell = sheet.cell(c.row, c.col);
        if (c.value.typeId() == QMetaType::QString)
            EXPECT_EQ(cell.text, c.value.toString()) << c.name;
        else
            EXPECT_EQ(cell.number, c.value.toDouble()) << c.name;
    }
}

TEST(ForeignWriters, FunctionsCalledByNameDecodeAndEncodeBack)
{
    // =YEARFRAC(A1,B1): NAMEX of extern sheet 1, name 1; A1; B1; call by name with 3 items.
    const QByteArray yearFrac("\x39\x01\x00\x01\x00\x00\x00\x44\x00\x00\x00\xC0\x44\x00\x00\x01\xC0"
                              "\x42\x03\xFF\x00", 21);
    // =IFERROR(1/0,2): name 1; 1; 0; divide; 2; call by name with 3 items.
    const QByteArray ifError("\x23\x01\x00\x00\x00\x1E\x01\x00\x1E\x00\x00\x06\x1E\x02\x00\x42\x03\xFF\x00", 19);
    auto file = OpenWorkbookStream(GlobalsWith(
        SheetWith(FormulaCell(0, 2, yearFrac) + FormulaCell(1, 2, ifError)), FunctionNames()));
    TWorkbook &book = file->Workbook();
    TCellList &cells = book.WorkSheets(0)->Cells();
    TReferences references(book.Globals(), &cells);
    const auto text = [&](int row) {
        return dynamic_cast<const TFormulaRecord &>(*cells.Cell(row, 2)).FormulaText(&book.Globals().Names(), &references);
    };
    EXPECT_EQ(text(0), QStringLiteral("=YEARFRAC(A1,B1)"));
    EXPECT_EQ(text(1), QStringLiteral("=IFERROR(1/0,2)"));

    cells.SetFormula(2, 2, text(1), QVariant(), references, &book.Globals().Names());
    const auto &again = dynamic_cast<const TFormulaRecord &>(*cells.Cell(2, 2));
    EXPECT_EQ(again.Data().mid(TFormulaRecord::TokenOffset, again.TokenBytes()), ifError);
}

TEST(ForeignWriters, ShortRichTextIsRefused)
{
    // The string claims 14 characters and the record ends after 4, with no CONTINUE.
    const QByteArray cut = BiffRecord(0x00D6, CellHead(0, 0) + U16(14) + '\0' + QByteArray("Gras"));
    EXPECT_FALSE(ErrorOf([&] { OpenWorkbookStream(SheetWith(cut)); }).isEmpty());
}

}  // namespace
