// Merged cells, hyperlinks, fonts, formats, the palette and page margins:
// changed through the file object, saved, and read back by xlrd and by a
// fresh read of our own.
#include "FileOpsSupport.h"

#include "xls/workbook/DrawingGroup.h"
#include "xls/workbook/HLinkData.h"
#include "xls/workbook/OfficeArtRecord.h"
#include "xls/workbook/WorkbookRecords_p.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace FileOps;
using namespace IndependentReaders;

namespace {

QString Notes()
{
    return XlsFixture(QStringLiteral("fileops/lo-notes.xls"));
}

const QString LinksScript = QStringLiteral(
    "import sys, xlrd\n"
    "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
    "for h in s.hyperlink_list:\n"
    "    print('%d %d %d %d|%s|%s|%s|%s' % (h.frowx, h.lrowx, h.fcolx, h.lcolx, h.type, h.url_or_path, h.desc, h.textmark))\n");

}  // namespace

TEST(MergedCells, ReadMergeAndUnmergeRoundTrip)
{
    auto file = OpenBook(Notes());
    ASSERT_EQ(file->MergedCellCount(), 1);
    const TXlsCellRange a3b3{1, 3, 2, 3};
    EXPECT_EQ(file->MergedCells(1), a3b3);
    EXPECT_EQ(file->CellMergedBounds(3, 2), a3b3) << "a cell inside gives the whole range";
    EXPECT_EQ(file->CellMergedBounds(4, 2), (TXlsCellRange{2, 4, 2, 4})) << "a lone cell gives itself";

    file->MergeCells(8, 2, 10, 4);
    // Overlapping the first range takes it apart instead of making a broken file.
    file->MergeCells(3, 2, 3, 3);
    ASSERT_EQ(file->MergedCellCount(), 2);
    EXPECT_EQ(file->MergedCells(1), (TXlsCellRange{2, 8, 4, 10}));
    EXPECT_EQ(file->MergedCells(2), (TXlsCellRange{2, 3, 3, 3}));
    // Unmerge takes only what lies wholly inside.
    file->UnMergeCells(1, 1, 9, 9);
    EXPECT_EQ(file->MergedCellCount(), 1);
    EXPECT_EQ(file->MergedCells(1), (TXlsCellRange{2, 8, 4, 10}));

    const QString out = SaveScratch(*file, QStringLiteral("merged"));
    const XlrdSheet sheet = readWithXlrd(out).sheets.at(0);
    ASSERT_EQ(sheet.merged.size(), 1);
    EXPECT_EQ(sheet.merged[0].firstRow, 7);
    EXPECT_EQ(sheet.merged[0].lastRow, 9);
    EXPECT_EQ(sheet.merged[0].firstCol, 1);
    EXPECT_EQ(sheet.merged[0].lastCol, 3);

    EXPECT_EQ(ErrorOf([&] { file->MergedCells(2); }),
              QStringLiteral("The index \"2\" of the property \"MergedCellIndex\" is not in the range 1-1"));
    EXPECT_EQ(ErrorOf([&] { file->MergeCells(1, 1, 1, 257); }), QStringLiteral("Invalid Column (257)"));
    EXPECT_EQ(ErrorOf([&] { file->MergeCells(0, 1, 1, 1); }), QStringLiteral("Invalid Row (0)"));
    EXPECT_EQ(file->MergedCellCount(), 1) << "refused calls change nothing";
}

TEST(MergedCells, ManyRangesSpillIntoSeveralRecords)
{
    auto file = NewBook();
    // More than one record holds; every one must come back.
    for (int i = 0; i < 1100; ++i)
        file->MergeCells(2 * i + 1, 1, 2 * i + 1, 2);
    const QString out = SaveScratch(*file, QStringLiteral("merged-many"));
    EXPECT_EQ(readWithXlrd(out).sheets.at(0).merged.size(), 1100);
    EXPECT_EQ(OpenBook(out)->MergedCellCount(), 1100);
}

// Failures show ranges as rows and columns, not bytes.
void PrintTo(const TXlsCellRange &r, std::ostream *os)
{
    *os << "rows " << r.Top << "-" << r.Bottom << " cols " << r.Left << "-" << r.Right;
}

namespace {

QList<TXlsCellRange> MergesOf(const TXLSFile &file)
{
    QList<TXlsCellRange> ranges;
    for (int i = 1; i <= file.MergedCellCount(); ++i)
        ranges.append(file.MergedCells(i));
    return ranges;
}

// 1-based, as the file object takes them.
TXlsCellRange Rows(int top, int bottom, int left, int right)
{
    return {left, top, right, bottom};
}

}  // namespace

TEST(MergedCells, FollowInsertedAndDeletedRowsAndColumns)
{
    using Ranges = QList<TXlsCellRange>;
    const struct {
        const char *name;
        Ranges before;
        std::function<void(TXLSFile &)> op;
        Ranges after;
    } cases[] = {
        {"footer below the data row moves down by the copies",
         {Rows(10, 11, 1, 3)}, [](TXLSFile &f) { f.InsertAndCopyRows(5, 5, 6, 3, false); },
         {Rows(13, 14, 1, 3)}},
        {"a merged template row stays merged in every copy",
         {Rows(5, 5, 2, 3)}, [](TXLSFile &f) { f.InsertAndCopyRows(5, 5, 6, 2, false); },
         {Rows(5, 5, 2, 3), Rows(6, 6, 2, 3), Rows(7, 7, 2, 3)}},
        {"a two-row band copies a range across both rows",
         {Rows(2, 3, 1, 1), Rows(3, 3, 2, 3)}, [](TXLSFile &f) { f.InsertAndCopyRows(2, 3, 4, 2, false); },
         {Rows(2, 3, 1, 1), Rows(3, 3, 2, 3), Rows(4, 5, 1, 1), Rows(6, 7, 1, 1), Rows(5, 5, 2, 3),
          Rows(7, 7, 2, 3)}},
        {"a range across the insert row grows",
         {Rows(4, 7, 1, 1), Rows(1, 2, 1, 2)}, [](TXLSFile &f) { f.InsertAndCopyRows(3, 3, 6, 2, false); },
         {Rows(4, 9, 1, 1), Rows(1, 2, 1, 2)}},
        {"a copy that would overlap a grown range is left out",
         {Rows(4, 7, 1, 3), Rows(2, 2, 2, 3)}, [](TXLSFile &f) { f.InsertAndCopyRows(2, 2, 6, 1, false); },
         {Rows(4, 8, 1, 3), Rows(2, 2, 2, 3)}},
        {"source rows below the insert move and are copied",
         {Rows(8, 8, 1, 2)}, [](TXLSFile &f) { f.InsertAndCopyRows(8, 8, 3, 1, false); },
         {Rows(9, 9, 1, 2), Rows(3, 3, 1, 2)}},
        {"deleted rows: above stays, across shrinks, inside goes, below moves up",
         {Rows(1, 1, 1, 2), Rows(3, 6, 1, 1), Rows(4, 5, 2, 3), Rows(9, 9, 1, 2), Rows(5, 8, 4, 4)},
         [](TXLSFile &f) { f.DeleteRows(4, 2); },
         {Rows(1, 1, 1, 2), Rows(3, 4, 1, 1), Rows(7, 7, 1, 2), Rows(4, 6, 4, 4)}},
        {"a range cut down to one cell goes",
         {Rows(3, 4, 1, 1)}, [](TXLSFile &f) { f.DeleteRows(4, 1); }, {}},
        {"columns inserted: moved, grown, and the copied column's range copied",
         {Rows(1, 1, 3, 4), Rows(2, 2, 1, 4), Rows(5, 6, 1, 1)},
         [](TXLSFile &f) { f.InsertAndCopyCols(1, 1, 3, 2, false); },
         {Rows(1, 1, 5, 6), Rows(2, 2, 1, 6), Rows(5, 6, 1, 1), Rows(5, 6, 3, 3), Rows(5, 6, 4, 4)}},
        {"columns deleted",
         {Rows(1, 1, 1, 4), Rows(2, 2, 2, 3), Rows(3, 3, 5, 6), Rows(4, 4, 3, 4)},
         [](TXLSFile &f) { f.DeleteCols(2, 2); },
         {Rows(1, 1, 1, 2), Rows(3, 3, 3, 4)}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto file = NewBook();
        for (const TXlsCellRange &r : c.before)
            file->MergeCells(r.Top, r.Left, r.Bottom, r.Right);
        c.op(*file);
        EXPECT_EQ(MergesOf(*file), c.after);
    }

    auto full = NewBook();
    full->MergeCells(65535, 1, 65536, 2);
    EXPECT_EQ(ErrorOf([&] { full->InsertAndCopyRows(1, 1, 10, 1, false); }),
              QStringLiteral("Ivalid arguments to call InsertAndCopyRows"))
        << "a range pushed off the sheet refuses the insert";
    EXPECT_EQ(MergesOf(*full), Ranges{Rows(65535, 65536, 1, 2)});
}

TEST(MergedCells, CopiedTemplateRowsReadBackMergedByXlrd)
{
    auto file = NewBook();
    file->SetCellValue(2, 2, QStringLiteral("rand"));
    file->MergeCells(2, 2, 2, 3);
    file->SetCellValue(3, 1, QStringLiteral("semnătura"));
    file->MergeCells(3, 1, 4, 3);
    // Enough copies to need a second record.
    file->InsertAndCopyRows(2, 2, 3, 1100, false);
    const QString out = SaveScratch(*file, QStringLiteral("merged-copied"));
    const XlrdSheet sheet = readWithXlrd(out).sheets.at(0);
    ASSERT_EQ(sheet.merged.size(), 1102);
    QSet<int> mergedRows;
    for (const XlrdRange &r : sheet.merged)
        if (r.firstCol == 1 && r.lastCol == 2 && r.firstRow == r.lastRow)
            mergedRows.insert(r.firstRow);
    EXPECT_EQ(mergedRows.size(), 1101);
    EXPECT_TRUE(mergedRows.contains(1) && mergedRows.contains(1101));
    EXPECT_EQ(sheet.cell(1101, 1).text, QStringLiteral("rand"));
    const XlrdRange &footer = sheet.merged.at(1);
    EXPECT_EQ(footer.firstRow, 1102);
    EXPECT_EQ(footer.lastRow, 1103);
    EXPECT_EQ(footer.firstCol, 0);
    EXPECT_EQ(footer.lastCol, 2);
    EXPECT_EQ(sheet.cell(1102, 0).text, QStringLiteral("semnătura"));
}

TEST(HyperLinks, ReadFromLibreOfficeAndChecked)
{
    auto file = OpenBook(Notes());
    ASSERT_EQ(file->HyperLinkCount(), 2);
    const THyperLink web = file->GetHyperLink(1);
    EXPECT_EQ(web.LinkType, THyperLinkType::hl_URL);
    EXPECT_EQ(web.Target, QStringLiteral("https://exemplu.ro/ajutor"));
    EXPECT_EQ(web.Description, QStringLiteral("Ajutor"));
    EXPECT_EQ(file->GetHyperLinkCellRange(1), (TXlsCellRange{1, 4, 1, 4}));
    const THyperLink place = file->GetHyperLink(2);
    EXPECT_EQ(place.LinkType, THyperLinkType::hl_CurrentWorkbook);
    EXPECT_EQ(place.TextMark, QStringLiteral("Note!A1"));

    const QString message = QStringLiteral("The index \"%1\" of the property \"HyperLinkIndex\" is not in the range 1-2");
    for (int bad : {0, 3, -1})
        EXPECT_EQ(ErrorOf([&] { file->GetHyperLink(bad); }), message.arg(bad));
    EXPECT_EQ(ErrorOf([&] { file->DeleteHyperLink(3); }), message.arg(3));
}

TEST(HyperLinks, AddChangeAndDeleteRoundTripThroughXlrd)
{
    auto file = OpenBook(Notes());
    file->DeleteHyperLink(2);
    THyperLink changed = file->GetHyperLink(1);
    changed.Target = QStringLiteral("https://exemplu.ro/cereri?an=2026");
    file->SetHyperLink(1, changed);
    file->SetHyperLinkCellRange(1, {2, 10, 3, 11});
    file->AddHyperLink({1, 12, 1, 12}, {THyperLinkType::hl_LocalFile, QStringLiteral("Dosar"),
                                        QStringLiteral("../acte/cerere ştearsă.rtf"), QString()});
    file->AddHyperLink({1, 13, 1, 13}, {THyperLinkType::hl_CurrentWorkbook, QStringLiteral("Înapoi"),
                                        QString(), QStringLiteral("Note!B2")});
    ASSERT_EQ(file->HyperLinkCount(), 3);

    const QString out = SaveScratch(*file, QStringLiteral("links"));
    const QStringList seen = Xlrd(out, LinksScript).split(u'\n');
    ASSERT_EQ(seen.size(), 3) << Xlrd(out, LinksScript).toStdString();
    EXPECT_EQ(seen[0], QStringLiteral("9 10 1 2|url|https://exemplu.ro/cereri?an=2026|Ajutor|None"));
    EXPECT_EQ(seen[1], QStringLiteral("11 11 0 0|local file|../acte/cerere ştearsă.rtf|Dosar|None"));
    EXPECT_EQ(seen[2], QStringLiteral("12 12 0 0|workbook|None|Înapoi|Note!B2"));

    // Our own reader gives back what was written.
    auto again = OpenBook(out);
    EXPECT_EQ(again->GetHyperLink(2).Target, QStringLiteral("../acte/cerere ştearsă.rtf"));
    EXPECT_EQ(again->GetHyperLink(3).TextMark, QStringLiteral("Note!B2"));
}

TEST(HyperLinks, AScreenTipStaysWithItsLink)
{
    // The web link of the fixture, given a screen tip after it.
    const QByteArray stream = WorkbookStreamOf(Notes());
    // The id again, then first and last row and column (A4), then the text.
    QByteArray tip(10, '\0');
    WriteWord(tip, 0, 0x0800);
    WriteWord(tip, 2, 3);
    WriteWord(tip, 4, 3);
    for (QChar c : QStringLiteral("Pagina de ajutor"))
        tip += QByteArray(reinterpret_cast<const char *>(&c), 2);
    tip += QByteArray(2, '\0');
    QByteArray withTip;
    bool added = false;
    for (qsizetype pos = 0; pos + 4 <= stream.size();) {
        const qsizetype size = 4 + ReadWord(stream, pos + 2);
        withTip += stream.mid(pos, size);
        if (ReadWord(stream, pos) == 0x01B8 && !added) {
            withTip += BiffRecord(0x0800, tip);
            added = true;
        }
        pos += size;
    }
    auto file = OpenWorkbookStream(withTip);
    THyperLink link = file->GetHyperLink(1);
    link.Target = QStringLiteral("https://exemplu.ro/ajutor-nou");
    file->SetHyperLink(1, link);
    file->SetHyperLinkCellRange(1, {2, 8, 3, 9});
    const QString seen = Xlrd(SaveScratch(*file, QStringLiteral("links-tip")), QStringLiteral(
        "import sys, xlrd\n"
        "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
        "h = s.hyperlink_list[0]\n"
        "print('%d %d %d %d|%s|%s' % (h.frowx, h.lrowx, h.fcolx, h.lcolx, h.url_or_path, h.quicktip))\n"));
    EXPECT_EQ(seen, QStringLiteral("7 8 1 2|https://exemplu.ro/ajutor-nou|Pagina de ajutor"));
}

TEST(HyperLinks, DamagedLinkDataRaisesInsteadOfReadingPastTheEnd)
{
    const QByteArray good = THLinkData::Build({0, 0, 0, 0}, {THyperLinkType::hl_LocalFile, QStringLiteral("d"),
                                                             QStringLiteral("../a/b.xls"), QStringLiteral("S!A1")});
    EXPECT_EQ(THLinkData::Read(good).Target, QStringLiteral("../a/b.xls"));
    for (int cut = 0; cut < good.size(); ++cut)
        EXPECT_THROW(THLinkData::Read(good.left(cut)), EExcelException) << "cut at " << cut;
    // A character count far past the data.
    QByteArray huge = good;
    huge[32] = '\xFF';
    huge[33] = '\xFF';
    huge[34] = '\xFF';
    huge[35] = '\x7F';
    EXPECT_THROW(THLinkData::Read(huge), EExcelException);
}

TEST(Formats, FontsFormatsAndPaletteSurviveASave)
{
    auto file = OpenBook(XlsFixture(QStringLiteral("lo-basic.xls")));
    const int fonts = file->FontCount();
    ASSERT_GT(fonts, 5);
    // There is no font 4: asking for it gives font 0, setting it does nothing.
    EXPECT_EQ(file->GetFont(4), file->GetFont(0));
    EXPECT_EQ(file->GetFont(fonts + 3), file->GetFont(0));
    TXlsFont font = file->GetFont(5);
    font.Name = QStringLiteral("Liberation Serif");
    font.Size20 = 280;
    font.Weight = 700;
    file->SetFont(5, font);
    file->SetFont(4, font);
    EXPECT_NE(file->GetFont(0), font);

    TXlsFormat money = file->GetFormat(15);
    money.Format = QStringLiteral("#,##0.00\" lei noi\"");
    money.FontIndex = 5;
    file->SetCellFormat(20, 4, file->FormatCount() - 1);  // the formats are counted once here...
    const int moneyXF = file->AddFormat(money);  // ...and one added after is still taken below
    EXPECT_EQ(file->AddFormat(money), moneyXF) << "an equal format is found, not added twice";
    EXPECT_EQ(file->GetFormat(file->FormatCount() + 10), file->GetFormat(0));
    file->SetCellValueX(20, 2, 1234.5, moneyXF);
    EXPECT_EQ(ErrorOf([&] { file->SetCellFormat(20, 3, file->FormatCount()); }),
              QStringLiteral("The index \"%1\" of the property \"FormatIndex\" is not in the range 0-%2")
                  .arg(file->FormatCount()).arg(file->FormatCount() - 1));

    // The file's palette as xlrd sees it, colour 1 being entry 8.
    const QString palette = Xlrd(XlsFixture(QStringLiteral("lo-basic.xls")), QStringLiteral(
        "import sys, xlrd\n"
        "b = xlrd.open_workbook(sys.argv[1], formatting_info=True)\n"
        "print(' '.join('%02x%02x%02x' % b.colour_map[i] for i in range(8, 64)))\n"));
    QStringList ours;
    for (int i = 1; i <= 56; ++i)
        ours << QStringLiteral("%1").arg(file->GetColorPalette(i), 6, 16, QLatin1Char('0'));
    EXPECT_EQ(ours.join(u' '), palette);
    file->SetColorPalette(3, 0x123456);
    EXPECT_EQ(ErrorOf([&] { file->GetColorPalette(57); }),
              QStringLiteral("The index \"57\" of the property \"ColorIndex\" is not in the range 1-56"));

    const QString out = SaveScratch(*file, QStringLiteral("formats"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->GetFont(5), font);
    EXPECT_EQ(again->FormatString(again->GetCellFormat(20, 2)), money.Format);
    EXPECT_EQ(again->GetColorPalette(3), 0x123456u);
    EXPECT_EQ(again->GetColorPalette(4), file->GetColorPalette(4));

    // A workbook opened in its place counts its own formats.
    const int before = file->FormatCount();
    file->OpenFile(XlsFixture(QStringLiteral("xlwt-basic.xls")));
    ASSERT_LT(file->FormatCount(), before);
    EXPECT_THROW(file->SetCellFormat(1, 1, before - 1), EExcelException);

    const QString seen = Xlrd(out, QStringLiteral(
        "import sys, xlrd\n"
        "b = xlrd.open_workbook(sys.argv[1], formatting_info=True)\n"
        "x = b.xf_list[b.sheet_by_index(0).cell_xf_index(19, 1)]\n"
        "f = b.font_list[x.font_index]\n"
        "print('%s|%d|%d|%s|%s' % (f.name, f.height, f.weight, b.format_map[x.format_key].format_str, b.colour_map[10]))\n"));
    EXPECT_EQ(seen, QStringLiteral("Liberation Serif|280|700|#,##0.00\" lei noi\"|(18, 52, 86)"));
}

TEST(Formats, ANewPaletteStartsFromTheDefaultColours)
{
    auto file = NewBook();
    EXPECT_EQ(file->GetColorPalette(3), 0xFF0000u);
    EXPECT_EQ(file->GetColorPalette(56), 0x333333u);
    file->SetColorPalette(56, 0xABCDEF);
    const QString out = SaveScratch(*file, QStringLiteral("palette-new"));
    const QString seen = Xlrd(out, QStringLiteral(
        "import sys, xlrd\n"
        "b = xlrd.open_workbook(sys.argv[1], formatting_info=True)\n"
        "print('%s %s %s' % (b.colour_map[10], b.colour_map[62], b.colour_map[63]))\n"));
    EXPECT_EQ(seen, QStringLiteral("(255, 0, 0) (51, 51, 153) (171, 205, 239)"));
}

TEST(PageMargins, DefaultsReadAndWritten)
{
    auto file = NewBook(2);
    const TXlsMargins defaults = file->GetMargins();
    const TXlsMargins set{0.5, 0.25, 1.5, 0.4};
    file->SetMargins(set);
    EXPECT_EQ(file->GetMargins(), set);
    EXPECT_FALSE(ErrorOf([&] { file->SetMargins({-1, 0, 0, 0}); }).isEmpty());
    EXPECT_EQ(file->GetMargins(), set);
    const QString out = SaveScratch(*file, QStringLiteral("margins"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->GetMargins(), set);
    again->SetActiveSheet(2);
    EXPECT_EQ(again->GetMargins(), defaults) << "only the active sheet changed";
    EXPECT_EQ(readWithXlrd(out).sheets.size(), 2);
}

TEST(Pictures, ReadByIndexCheckedAgainstTheCountAndDeleted)
{
    auto file = OpenBook(XlsFixture(QStringLiteral("lo-picture.xls")));
    EXPECT_EQ(file->ImageCount(), 1);
    TXlsAnchorType anchor = TXlsAnchorType::at_MoveAndResize;
    TXlsImageProperties box;
    EXPECT_TRUE(file->GetImage(0, anchor, box).startsWith("\x89PNG"));
    // LibreOffice anchored it to neither move nor size, from B2 into C6.
    EXPECT_EQ(anchor, TXlsAnchorType::at_DontMoveAndDontResize);
    EXPECT_EQ(box, (TXlsImageProperties{1, 0xAA, 2, 0xDC, 2, 0x55, 6, 0x2D}));

    const QString outside = QStringLiteral("The index \"%1\" of the property \"ImageIndex\" is not in the range 0-0");
    for (int index : {-1, 1}) {
        EXPECT_EQ(ErrorOf([&] { file->GetImage(index, anchor, box); }), outside.arg(index));
        EXPECT_EQ(ErrorOf([&] { file->DeleteImage(index); }), outside.arg(index));
    }
    EXPECT_EQ(ErrorOf([&] { file->AddImage(QByteArray("GIF89a"), {1, 0, 1, 0, 2, 0, 2, 0}); }),
              QStringLiteral("The picture is neither PNG nor JPEG"));
    EXPECT_EQ(file->ImageCount(), 1);
    EXPECT_EQ(OpenBook(XlsFixture(QStringLiteral("fileops/lo-notes.xls")))->ImageCount(), 0)
        << "comment boxes are no pictures";

    file->DeleteImage(0);
    EXPECT_EQ(file->ImageCount(), 0);
    const QString out = SaveScratch(*file, QStringLiteral("picture-deleted"));
    EXPECT_EQ(OpenBook(out)->ImageCount(), 0);
    EXPECT_EQ(readWithXlrd(out).sheets.size(), 1);

    // A stored picture of odd instance is named by two UIDs (one is read above).
    using R = TOfficeArtRecord;
    const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray dgg(16, '\0');
    WriteCardinal(dgg, 4, 1);
    const QByteArray blip = R::Make(0, 0x6E1, R::BlipPng, QByteArray(32, 'u') + '\xFF' + png);
    TBaseRecordList globals;
    globals.Add(XlsDetail::RecordWithContinues(
        0x00EB, R::Make(0xF, 0, R::DggContainer, R::Make(0, 0, R::Dgg, dgg)
                    + R::Make(0xF, 1, R::BStoreContainer, R::Make(2, 6, R::Bse, QByteArray(36, '\0') + blip)))));
    EXPECT_EQ(TDrawingGroup(globals).Blip(1), png);
}

TEST(PageSetup, SettingsRoundTripAndValuesOutsideTheFormatAreRefused)
{
    auto file = NewBook();
    const TXlsPageSetup defaults = file->GetPageSetup();
    EXPECT_EQ(defaults.Scale, 100);
    TXlsPageSetup setup;
    setup.PaperSize = 9;
    setup.Scale = 85;
    setup.Landscape = true;
    setup.FitToPage = true;
    setup.FitWidth = 1;
    setup.FitHeight = 0;
    setup.HResolution = 300;
    setup.VResolution = 300;
    setup.Copies = 2;
    setup.HeaderMargin = 0.3;
    setup.FooterMargin = 0.2;
    setup.Header = QStringLiteral("&LPrimăria&RPagina &P");
    setup.Footer = QStringLiteral("&CŞef serviciu");
    setup.PrintGridLines = true;
    file->SetPageSetup(setup);
    file->SetMargins({0.4, 0.4, 0.9, 0.9});
    EXPECT_EQ(file->GetPageSetup(), setup);

    const struct { const char *name; std::function<void(TXlsPageSetup &)> change; } bad[] = {
        {"scale 5", [](TXlsPageSetup &s) { s.Scale = 5; }},
        {"scale 401", [](TXlsPageSetup &s) { s.Scale = 401; }},
        {"no copies", [](TXlsPageSetup &s) { s.Copies = 0; }},
        {"paper past a word", [](TXlsPageSetup &s) { s.PaperSize = 70000; }},
        {"margin not a number", [](TXlsPageSetup &s) { s.HeaderMargin = std::nan(""); }},
        {"header too long", [](TXlsPageSetup &s) { s.Header = QString(256, u'a'); }},
    };
    for (const auto &r : bad) {
        TXlsPageSetup changed = setup;
        r.change(changed);
        EXPECT_FALSE(ErrorOf([&] { file->SetPageSetup(changed); }).isEmpty()) << r.name;
        EXPECT_EQ(file->GetPageSetup(), setup) << r.name << ": a refused call changes nothing";
    }
    EXPECT_FALSE(ErrorOf([&] { file->SetZoom(9); }).isEmpty());
    file->SetZoom(120);
    EXPECT_TRUE(file->GetShowGridLines());
    file->SetShowGridLines(false);

    const QString out = SaveScratch(*file, QStringLiteral("page-setup"));
    EXPECT_EQ(Xlrd(out, QStringLiteral(
                  "import sys, xlrd\n"
                  "s = xlrd.open_workbook(sys.argv[1], formatting_info=True).sheet_by_index(0)\n"
                  "print(s.show_grid_lines, s.scl_mag_factor)\n")),
              QStringLiteral("0 120"));
    auto again = OpenBook(out);
    EXPECT_EQ(again->GetPageSetup(), setup);
    EXPECT_EQ(again->GetMargins(), (TXlsMargins{0.4, 0.4, 0.9, 0.9}));
    EXPECT_EQ(again->GetZoom(), 120);
    EXPECT_FALSE(again->GetShowGridLines());
}
