// The row index of comments, comments read from a LibreOffice workbook, and
// named ranges: reading, moving, the working column range and new names.
#include "FileOpsSupport.h"

#include "xls/formula/NameRecord.h"
#include "xls/formula/NameRecordList.h"
#include "xls/workbook/References.h"
#include "xls/workbook/RowComments.h"
#include "xls/workbook/SheetComments.h"
#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/Workbook.h"

#include <gtest/gtest.h>

using namespace FileOps;
using namespace IndependentReaders;

namespace {

QString Notes()
{
    return XlsFixture(QStringLiteral("fileops/lo-notes.xls"));
}

}  // namespace

TEST(RowComments, KeepsRowsSortedAndCommentsInTheirOrder)
{
    TRowComments index;
    // Rows arrive out of order; row 5 gets comments 3 and 7.
    const QList<QPair<int, int>> added = {{9, 0}, {5, 3}, {1, 4}, {5, 7}, {12, 8}, {3, 9}};
    for (const auto &[row, comment] : added)
        index.Add(row, comment);
    ASSERT_EQ(index.Count(), 5);
    for (int i = 1; i < index.Count(); ++i)
        EXPECT_LT(index.Items(i - 1).Row, index.Items(i).Row);
    EXPECT_EQ(index[5].Comments, QList<int>({3, 7}));
    EXPECT_EQ(index[5].Comments.indexOf(3), 0);
    EXPECT_EQ(index[5].Comments.indexOf(7), 1);

    const struct { const char *name; int row; bool found; int position; } rows[] = {
        {"before the first", 0, false, 0},
        {"first", 1, true, 0},
        {"between", 4, false, 2},
        {"middle", 5, true, 2},
        {"last", 12, true, 4},
        {"after the last", 13, false, 5},
    };
    for (const auto &r : rows) {
        int position = -1;
        EXPECT_EQ(index.Find(r.row, position), r.found) << r.name;
        EXPECT_EQ(position, r.position) << r.name;
    }
    // A row without comments gives the shared empty entry.
    EXPECT_TRUE(index[4].Comments.isEmpty());
    EXPECT_EQ(&index[4], &index[100]);
}

TEST(Comments, ReadFromTheFileByRowAndBySheet)
{
    auto file = OpenBook(Notes());
    EXPECT_EQ(file->CommentsCount(0), 3);
    EXPECT_EQ(file->CommentsCount(2), 1);
    EXPECT_EQ(file->CommentsCount(5), 2);
    EXPECT_EQ(file->CommentsCount(3), 0);
    EXPECT_EQ(file->GetCommentText(2, 0), QStringLiteral("Prima notă"));
    EXPECT_EQ(file->GetCommentText(5, 0), QStringLiteral("Rândul cinci, prima"));
    EXPECT_EQ(file->GetCommentText(5, 1), QStringLiteral("Rândul cinci, a doua"));
    EXPECT_EQ(file->GetCommentText(0, 1), QStringLiteral("Rândul cinci, prima"));
    // Positions past the row's comments are refused, not read from elsewhere.
    EXPECT_EQ(ErrorOf([&] { file->GetCommentText(5, 2); }),
              QStringLiteral("The index \"2\" of the property \"CommentIndex\" is not in the range 0-1"));
    EXPECT_FALSE(ErrorOf([&] { file->GetCommentText(0, 3); }).isEmpty());

    // The index follows the active sheet: a new, empty sheet has none.
    file->InsertAndCopySheets(0, 2, 1);
    file->SetActiveSheet(2);
    EXPECT_EQ(file->CommentsCount(5), 0);
    file->SetActiveSheet(1);
    EXPECT_EQ(file->CommentsCount(5), 2);
}

TEST(Comments, SurviveASaveForXlrd)
{
    auto file = OpenBook(Notes());
    file->InsertAndCopyRows(1, 1, 1, 2, false);
    // The rows moved down by two, and the row index with them.
    EXPECT_EQ(file->CommentsCount(7), 2);
    const QString out = SaveScratch(*file, QStringLiteral("comments-save"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->CommentsCount(7), 2);
    EXPECT_EQ(again->GetCommentText(4, 0), QStringLiteral("Prima notă"));
    EXPECT_EQ(readWithXlrd(out).sheets.at(0).cell(6, 2).number, 2);
    const QString notes = Xlrd(out, QStringLiteral(
        "import sys, xlrd\n"
        "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
        "for k in sorted(s.cell_note_map): print('%d %d %s' % (k[0], k[1], s.cell_note_map[k].text))\n"));
    EXPECT_EQ(notes, QStringLiteral("3 0 Prima notă\n6 0 Rândul cinci, prima\n6 2 Rândul cinci, a doua"));
}

TEST(NamedRanges, ReadMoveAndUseAsTheWorkingColumns)
{
    auto file = OpenBook(XlsFixture(QStringLiteral("lo-basic.xls")));
    ASSERT_GE(file->NamedRangeCount(), 2);
    int venituri = 0;
    for (int i = 1; i <= file->NamedRangeCount(); ++i)
        if (file->NamedRangeName(i) == QStringLiteral("Venituri"))
            venituri = i;
    ASSERT_GT(venituri, 0);
    int sheet = -1;
    const TXlsCellRange range = file->NamedRangeRange(venituri, sheet);
    EXPECT_GE(sheet, 1);
    EXPECT_GE(range.Left, 1) << "corners come back 1-based";
    EXPECT_GE(range.Top, 1);

    // Cells are addressed from the range's first column on.
    file->SetActiveSheet(sheet);
    const QVariant atFirst = file->GetCellValue(range.Top, range.Left);
    file->SetWorkingRange(venituri);
    EXPECT_EQ(file->WorkingFirstColumn(), range.Left);
    EXPECT_EQ(file->GetCellValue(range.Top, 1), atFirst);
    EXPECT_EQ(file->WorkingRangeWidth(range.Top), range.Right - range.Left + 1);
    EXPECT_EQ(file->WorkingRangeWidth(file->MaxRow() + 1), 0);

    // Moved, saved, and seen so by a fresh read.
    const TXlsCellRange moved{2, 3, 4, 9};
    file->SetNamedRangeRange(venituri, moved);
    auto again = OpenBook(SaveScratch(*file, QStringLiteral("names-move")));
    int againSheet = 0;
    EXPECT_EQ(again->NamedRangeRange(venituri, againSheet), moved);
    EXPECT_EQ(againSheet, sheet);

    const QString range0 = QStringLiteral("The index \"0\" of the property \"NamedRangeIndex\" is not in the range 1-%1")
                               .arg(file->NamedRangeCount());
    EXPECT_EQ(ErrorOf([&] { file->NamedRangeName(0); }), range0);
    EXPECT_FALSE(ErrorOf([&] { file->SetNamedRangeRange(1, {1, 1, 300, 1}); }).isEmpty());
}

TEST(NamedRanges, NewNamesTakeTheirSheetFromTheWorkbook)
{
    auto file = OpenBook(XlsFixture(QStringLiteral("lo-basic.xls")));
    TWorkbookGlobals &globals = file->Workbook().Globals();
    TReferences references(globals);
    EXPECT_EQ(references.GetSheetName(1), QStringLiteral("Sume lunare"));
    EXPECT_EQ(ErrorOf([&] { references.GetSheetName(4); }),
              QStringLiteral("Sheet number \"4\" invalid. Must be between 0 and 3"));

    const struct { const char *name; int sheetIndex; const char *reference; int sheet; int firstRow, lastRow, firstCol, lastCol; } rows[] = {
        // A sheet-level name on a sheet whose name needs quotes.
        {"Suma", 1, "$B$2:$C$5", 1, 1, 4, 1, 2},
        // A workbook-level name points at the first sheet.
        {"Primul", -1, "$A$1", 0, 0, 0, 0, 0},
        {"Ascuns", -1, "'Foaie ascunsă'!$D$4:$D$9", 2, 3, 8, 3, 3},
    };
    for (const auto &r : rows) {
        TNameDefinition definition;
        definition.Name = QString::fromUtf8(r.name);
        definition.Reference = QString::fromUtf8(r.reference);
        definition.SheetIndex = r.sheetIndex;
        std::unique_ptr<TNameRecord> name;
        ASSERT_EQ(ErrorOf([&] { name = TNameRecord::NewName(definition, &globals.Names(), &references); }), QString())
            << r.name;
        EXPECT_EQ(name->Name(), definition.Name);
        EXPECT_EQ(name->RangeSheet([&](int e) { return references.SheetOfExternSheet(e); }), r.sheet) << r.name;
        EXPECT_EQ(name->FirstRow(), r.firstRow) << r.name;
        EXPECT_EQ(name->LastRow(), r.lastRow) << r.name;
        EXPECT_EQ(name->FirstColumn(), r.firstCol) << r.name;
        EXPECT_EQ(name->LastColumn(), r.lastCol) << r.name;
    }
}

TEST(Comments, NewTextsReadBackByXlrd)
{
    auto file = OpenBook(Notes());
    const QString wide = QStringLiteral("Notă: ajutor ş ţ ș ț ");
    QString longText;
    // Longer than one CONTINUE record holds, in 16-bit characters.
    while (longText.size() < 9000)
        longText += wide;
    const struct { const char *name; int row, position; QString text; } rows[] = {
        {"plain, by row", 2, 0, QStringLiteral("Alt text")},
        {"second on row 5", 5, 1, longText},
        {"by sheet index", 0, 1, QStringLiteral("Primul de pe rândul 5")},
    };
    for (const auto &r : rows)
        file->SetCommentText(r.row, r.position, r.text);
    EXPECT_EQ(file->GetCommentText(5, 1), longText);
    EXPECT_EQ(ErrorOf([&] { file->SetCommentText(5, 2, QStringLiteral("x")); }),
              QStringLiteral("The index \"2\" of the property \"CommentIndex\" is not in the range 0-1"));
    EXPECT_FALSE(ErrorOf([&] { file->SetCommentText(0, 0, QString(40000, u'a')); }).isEmpty());

    const QString out = SaveScratch(*file, QStringLiteral("comments-text"));
    auto again = OpenBook(out);
    for (const auto &r : rows)
        EXPECT_EQ(again->GetCommentText(r.row, r.position), r.text) << r.name;
    const QString notes = Xlrd(out, QStringLiteral(
        "import sys, xlrd\n"
        "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
        "m = s.cell_note_map\n"
        "print(m[(1, 0)].text, '|', m[(4, 0)].text, '|', len(m[(4, 2)].text), m[(4, 2)].text[:5])\n"));
    EXPECT_EQ(notes, QStringLiteral("Alt text | Primul de pe rândul 5 | %1 Notă:").arg(longText.size()));
}

TEST(Comments, AnchorKindsAndBoxesAsTheFileHoldsThem)
{
    // Columns and rows count from 1 here and from 0 in the file.
    const TXlsImageProperties box{3, 10, 4, 20, 5, 30, 8, 40};
    const TDrawingAnchor inFile{0, 2, 10, 3, 20, 4, 30, 7, 40};
    const struct { const char *name; TXlsAnchorType kind; int flags; } kinds[] = {
        {"moves and sizes with the cells", TXlsAnchorType::at_MoveAndResize, 0},
        {"moves only", TXlsAnchorType::at_MoveAndDontResize, 2},
        {"neither moves nor sizes", TXlsAnchorType::at_DontMoveAndDontResize, 3},
    };
    for (const auto &k : kinds) {
        auto file = OpenBook(Notes());
        file->SetCommentAnchor(5, 1, k.kind, box);
        auto again = OpenBook(SaveScratch(*file, QStringLiteral("comment-anchor")));
        TDrawingAnchor expected = inFile;
        expected.Flags = k.flags;
        EXPECT_EQ(TSheetComments::Anchor(again->Workbook().Sheets(0)->Records(), 2), expected) << k.name;
        TXlsAnchorType kind = TXlsAnchorType::at_MoveAndResize;
        TXlsImageProperties read;
        again->GetCommentAnchor(5, 1, kind, read);
        EXPECT_EQ(kind, k.kind) << k.name;
        EXPECT_EQ(read, box) << k.name;
    }

    auto file = OpenBook(Notes());
    file->SetCommentAnchor(2, 0, TXlsAnchorType::at_DontMoveAndDontResize, box);
    // Text and size keep how the box follows the cells.
    const TXlsImageProperties bigger{3, 0, 4, 0, 7, 0, 12, 0};
    file->SetCommentTextAndSize(2, 0, QStringLiteral("Mai mare"), bigger);
    file->SetCommentAnchorAndText(5, 0, TXlsAnchorType::at_MoveAndResize, bigger, QStringLiteral("Mutată"));
    TXlsAnchorType kind = TXlsAnchorType::at_MoveAndResize;
    TXlsImageProperties read;
    file->GetCommentAnchor(2, 0, kind, read);
    EXPECT_EQ(kind, TXlsAnchorType::at_DontMoveAndDontResize);
    EXPECT_EQ(read, bigger);
    file->GetCommentAnchor(0, 1, kind, read);
    EXPECT_EQ(kind, TXlsAnchorType::at_MoveAndResize);
    EXPECT_EQ(file->GetCommentText(5, 0), QStringLiteral("Mutată"));
    EXPECT_EQ(ErrorOf([&] { file->SetCommentAnchor(2, 0, kind, {0, 0, 1, 0, 2, 0, 2, 0}); }),
              QStringLiteral("Invalid Column (0)"));
    EXPECT_EQ(ErrorOf([&] { file->SetCommentTextAndSize(2, 0, QStringLiteral("x"), {2, 0, 9, 0, 2, 0, 3, 0}); }),
              QStringLiteral("Invalid drawing object box"));
    EXPECT_EQ(file->GetCommentText(2, 0), QStringLiteral("Mai mare")) << "a refused box changes nothing";
}

TEST(Comments, ByCellAddedChangedAndDeleted)
{
    auto file = OpenBook(Notes());
    // Row 5 holds comments in columns 1 and 3.
    EXPECT_EQ(file->CellCommentCount(5), 2);
    EXPECT_EQ(file->GetCellCommentCol(5, 1), 3);
    EXPECT_EQ(file->GetCellCommentText(5, 1), QStringLiteral("Rândul cinci, a doua"));
    EXPECT_EQ(file->GetCellComment(5, 3), QStringLiteral("Rândul cinci, a doua"));
    // Rows past the stored ones.
    EXPECT_EQ(file->CellCommentCount(300), 0);
    EXPECT_EQ(file->GetCellCommentText(300, 0), QString());
    EXPECT_EQ(file->GetCellCommentCol(300, 0), 1);

    const struct { const char *name; int row, col; QString text; int onRow; } changes[] = {
        {"new, between two", 5, 2, QStringLiteral("Nouă, între ele"), 3},
        {"new, on a row without", 9, 4, QStringLiteral("Pe un rând fără note"), 1},
        {"changed", 2, 1, QStringLiteral("Prima, schimbată"), 1},
        {"an empty text deletes", 5, 1, QString(), 2},
        {"nothing to delete", 7, 7, QString(), 0},
    };
    for (const auto &c : changes) {
        file->SetCellComment(c.row, c.col, c.text);
        EXPECT_EQ(file->CellCommentCount(c.row), c.onRow) << c.name;
        EXPECT_EQ(file->GetCellComment(c.row, c.col), c.text) << c.name;
    }
    EXPECT_EQ(file->GetCellCommentCol(5, 0), 2) << "by column";
    EXPECT_EQ(file->CommentsCount(5), 2) << "the row index follows";

    const QString out = SaveScratch(*file, QStringLiteral("comments-by-cell"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->GetCellComment(9, 4), QStringLiteral("Pe un rând fără note"));
    const QString script = QStringLiteral(
        "for k in sorted(s.cell_note_map): print('%d %d %s' % (k[0], k[1], s.cell_note_map[k].text))\n");
    EXPECT_EQ(XlrdFirstSheet(out, script), QStringLiteral("1 0 Prima, schimbată\n4 1 Nouă, între ele\n"
                                                "4 2 Rândul cinci, a doua\n8 3 Pe un rând fără note"));

    // A workbook without any drawing gets one.
    auto fresh = NewBook();
    fresh->SetCellComment(2, 2, QStringLiteral("Pe o foaie nouă"));
    EXPECT_EQ(XlrdFirstSheet(SaveScratch(*fresh, QStringLiteral("comments-new-book")), script),
              QStringLiteral("1 1 Pe o foaie nouă"));
}
