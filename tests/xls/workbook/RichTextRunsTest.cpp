// Cell texts written in several fonts: the runs read from shared strings and
// from LABEL cells, the defaults of other cells and sheets, and a save.
#include "FileOpsSupport.h"

#include "xls/workbook/Workbook.h"

#include <gtest/gtest.h>

using namespace FileOps;

namespace {

constexpr quint16 LabelSSTId = 0x00FD;
constexpr quint16 LabelId = 0x0204;

QString RichFixture()
{
    return XlsFixture(QStringLiteral("fileops/lo-richtext.xls"));
}

struct TReadCell
{
    QVariant Value;
    int XF = 0;
    TXlsRichRuns Runs;
};

TReadCell ReadCell(const TExcelFile &file, int row, int col)
{
    TReadCell cell;
    cell.Value = file.GetCellValueRichText(row, col, cell.XF, cell.Runs);
    return cell;
}

// Bold and italic of a font, as "bold", "italic", "bold italic" or "plain".
QString Look(const TExcelFile &file, int fontIndex)
{
    const TXlsFont font = file.GetFont(fontIndex);
    QStringList parts;
    if (font.Weight >= 700)
        parts << QStringLiteral("bold");
    if (font.Style & 0x02)
        parts << QStringLiteral("italic");
    return parts.isEmpty() ? QStringLiteral("plain") : parts.join(u' ');
}

// Each run as "first:look", so a run read with the wrong font shows at once.
QStringList Looks(const TExcelFile &file, const TXlsRichRuns &runs)
{
    QStringList out;
    for (const TXlsRichRun &run : runs)
        out << QStringLiteral("%1:%2").arg(run.FirstChar).arg(Look(file, run.FontIndex));
    return out;
}

// Walks the records of a stream, letting edit replace each one's bytes.
QByteArray EditRecords(const QByteArray &stream,
                       const std::function<QByteArray(quint16 id, const QByteArray &record)> &edit)
{
    QByteArray out;
    for (qsizetype pos = 0; pos + 4 <= stream.size();) {
        const qsizetype size = 4 + ReadWord(stream, pos + 2);
        out += edit(ReadWord(stream, pos), stream.mid(pos, size));
        pos += size;
    }
    return out;
}

// A LABEL record for row, column and xf whose text has runs: (first char,
// font) pairs as the file stores them.
QByteArray RichLabel(int row, int col, int xf, const QString &latin1Text,
                     const QList<QPair<int, int>> &runs)
{
    QByteArray data(11, '\0');
    WriteWord(data, 0, quint16(row));
    WriteWord(data, 2, quint16(col));
    WriteWord(data, 4, quint16(xf));
    WriteWord(data, 6, quint16(latin1Text.size()));
    data[8] = char(0x08);
    WriteWord(data, 9, quint16(runs.size()));
    data += latin1Text.toLatin1();
    for (const auto &[first, font] : runs) {
        QByteArray run(4, '\0');
        WriteWord(run, 0, quint16(first));
        WriteWord(run, 2, quint16(font));
        data += run;
    }
    return BiffRecord(LabelId, data);
}

}  // namespace

TEST(RichTextRuns, RunsCarryTheFontsLibreOfficeWrote)
{
    auto file = OpenBook(RichFixture());
    struct Row
    {
        const char *name;
        int row, col;
        QString text;
        QStringList looks;
    };
    const Row rows[] = {
        {"three fonts, bold first", 1, 1, QStringLiteral("Ajutor pentru încălzire"),
         {"1:bold", "7:plain", "15:italic"}},
        {"two fonts, diacritics in both", 4, 2, QStringLiteral("Stație țară"), {"1:plain", "8:bold italic"}},
        {"one font", 2, 1, QStringLiteral("Școală fără fonturi"), {}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const TReadCell cell = ReadCell(*file, r.row, r.col);
        EXPECT_EQ(cell.Value, QVariant(r.text));
        EXPECT_EQ(cell.XF, file->GetCellFormat(r.row, r.col));
        EXPECT_EQ(Looks(*file, cell.Runs), r.looks);
    }
}

TEST(RichTextRuns, CellsWithoutTextHaveNoRuns)
{
    auto file = OpenBook(RichFixture());
    struct Row
    {
        const char *name;
        int row, col;
        QVariant value;
    };
    const Row rows[] = {
        {"number", 3, 1, 12.5},
        {"no cell in a stored row", 1, 2, QVariant()},
        {"row the sheet does not have", 200, 7, QVariant()},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const TReadCell cell = ReadCell(*file, r.row, r.col);
        EXPECT_EQ(cell.Value, r.value);
        EXPECT_EQ(cell.XF, file->GetCellFormat(r.row, r.col));
        EXPECT_TRUE(cell.Runs.isEmpty());
    }
}

TEST(RichTextRuns, NewTextOverARichCellDropsItsRuns)
{
    auto file = OpenBook(RichFixture());
    file->SetCellValue(1, 1, QStringLiteral("Ajutor pentru încălzire"));
    const TReadCell same = ReadCell(*file, 1, 1);
    EXPECT_EQ(same.Value, QVariant(QStringLiteral("Ajutor pentru încălzire")));
    EXPECT_TRUE(same.Runs.isEmpty());
    // A number over a rich text leaves no runs either.
    file->SetCellValue(4, 2, 3.0);
    EXPECT_TRUE(ReadCell(*file, 4, 2).Runs.isEmpty());
}

TEST(RichTextRuns, LabelCellGivesTheRunsOfItsOwnString)
{
    // A LABEL record in place of the shared-string cell at A1.
    const QByteArray stream = EditRecords(WorkbookStreamOf(RichFixture()),
        [](quint16 id, const QByteArray &record) {
            if (id != LabelSSTId || ReadWord(record, 4) != 0 || ReadWord(record, 6) != 0)
                return record;
            return RichLabel(0, 0, ReadWord(record, 8), QStringLiteral("Scrisoare"), {{0, 6}, {3, 0}, {5, 7}});
        });
    auto file = OpenWorkbookStream(stream);
    const TReadCell cell = ReadCell(*file, 1, 1);
    EXPECT_EQ(cell.Value, QVariant(QStringLiteral("Scrisoare")));
    EXPECT_EQ(Looks(*file, cell.Runs), QStringList({"1:italic", "4:plain", "6:bold italic"}));
}

TEST(RichTextRuns, SheetThatIsNoWorksheetGivesTheDefaults)
{
    // The fixture with a chart sheet "Grafic" after its worksheet.
    const QByteArray stream = WithChartSheet(WorkbookStreamOf(RichFixture()));
    auto file = OpenWorkbookStream(stream);
    ASSERT_EQ(file->SheetCount(), 2);
    ASSERT_FALSE(file->IsWorkSheet(2));

    file->SetActiveSheet(2);
    TReadCell cell = ReadCell(*file, 1, 1);
    EXPECT_EQ(cell.Value, QVariant());
    EXPECT_EQ(cell.XF, -1);
    EXPECT_EQ(cell.Runs, TXlsRichRuns({TXlsRichRun()}));

    // Runs left over from an earlier read are not kept.
    file->SetActiveSheet(1);
    cell.Runs = {TXlsRichRun{3, 3}, TXlsRichRun{9, 9}};
    cell.Value = file->GetCellValueRichText(2, 1, cell.XF, cell.Runs);
    EXPECT_TRUE(cell.Runs.isEmpty());
    file->SetActiveSheet(2);
    cell.Value = file->GetCellValueRichText(1, 1, cell.XF, cell.Runs);
    EXPECT_EQ(cell.Runs.size(), 1);
}

TEST(RichTextRuns, RunsSurviveASaveForUsAndForXlrd)
{
    auto file = OpenBook(RichFixture());
    // A new text changes the table the save writes; the rich entries stay.
    file->SetCellValue(6, 1, QStringLiteral("nou"));
    const QString out = SaveScratch(*file, QStringLiteral("rich-text-runs"));

    auto again = OpenBook(out);
    for (const auto &[row, col] : {QPair<int, int>{1, 1}, QPair<int, int>{4, 2}, QPair<int, int>{2, 1}}) {
        SCOPED_TRACE(QStringLiteral("R%1C%2").arg(row).arg(col).toStdString());
        const TReadCell before = ReadCell(*file, row, col);
        const TReadCell after = ReadCell(*again, row, col);
        EXPECT_EQ(after.Value, before.Value);
        EXPECT_EQ(Looks(*again, after.Runs), Looks(*file, before.Runs));
    }

    // xlrd counts positions from 0 and fonts with a placeholder at 4, as the file does.
    const QString seen = Xlrd(out, QStringLiteral(
        "import sys, xlrd\n"
        "sys.stdout.reconfigure(encoding='utf-8')\n"
        "b = xlrd.open_workbook(sys.argv[1], formatting_info=True)\n"
        "s = b.sheet_by_index(0)\n"
        "for (r, c), runs in sorted(s.rich_text_runlist_map.items()):\n"
        "    looks = ['%d:%s' % (p, ('bold ' if b.font_list[f].weight >= 700 else '')"
        " + ('italic' if b.font_list[f].italic else '')) for p, f in runs]\n"
        "    print(r, c, s.cell_value(r, c), ' '.join(looks))\n"));
    EXPECT_EQ(seen, QStringLiteral("0 0 Ajutor pentru încălzire 0:bold  6: 14:italic\n"
                                   "3 1 Stație țară 0: 7:bold italic"));
}

TEST(RichTextRuns, SetWithPositionsFromOneStoredFromZero)
{
    auto file = NewBook();
    const QString text = QStringLiteral("Ajutor încălzire");
    const TXlsRichRuns runs{{1, 0}, {8, 1}};
    file->SetCellValueRichText(1, 1, text, -1, runs);
    EXPECT_EQ(ReadCell(*file, 1, 1).Runs, runs);
    EXPECT_EQ(ReadCell(*file, 1, 1).Value, QVariant(text));

    const struct { const char *name; TXlsRichRuns runs; QString error; } refused[] = {
        {"position 0", {{0, 0}}, QStringLiteral("Invalid rich-text run (0)")},
        {"past the text", {{17, 0}}, QStringLiteral("Invalid rich-text run (17)")},
        {"out of order", {{5, 0}, {3, 1}}, QStringLiteral("Invalid rich-text run (3)")},
        {"no such font", {{1, 99}}, QStringLiteral("The index \"99\" of the property \"FontIndex\" is not in the range 0-%1")
                                        .arg(file->FontCount() - 1)},
    };
    for (const auto &r : refused)
        EXPECT_EQ(ErrorOf([&] { file->SetCellValueRichText(2, 1, text, -1, r.runs); }), r.error) << r.name;
    EXPECT_EQ(file->GetCellValue(2, 1), QVariant()) << "refused runs write nothing";

    // xlrd reads the positions as the file holds them, from 0.
    const QString seen = XlrdFirstSheet(SaveScratch(*file, QStringLiteral("rich-text-set")),
                                        QStringLiteral("print(s.rich_text_runlist_map[(0, 0)])\n"));
    EXPECT_EQ(seen, QStringLiteral("[(0, 0), (7, 1)]"));
}
