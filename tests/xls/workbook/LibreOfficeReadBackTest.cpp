// What the file object's operations write, read by LibreOffice in one batch:
// typed values, formats, merged cells, links and print settings (its flat
// export drops the view and the comments, so xlrd checks those elsewhere),
// and where pictures stand after rows and columns moved.
#include "FileOpsSupport.h"

#include "xls/workbook/SheetDrawing.h"
#include "xls/workbook/SheetPictures.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsImport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace FileOps;
using namespace IndependentReaders;

namespace {

// Through the facade, as the template filler drives the engine.
QString Prepare(const QString &dir)
{
    TXLSAdapter adapter;
    TXlsImport import(&adapter);
    import.OpenFile(XlsFixture(QStringLiteral("fileops/lo-notes.xls")));
    TExcelFile *file = &import.File();
    file->AssignCellDataFromText(8, 1, QStringLiteral("1.5"));
    file->AssignCellDataFromText(8, 2, QStringLiteral("1,234,567.25"));
    file->AssignCellDataFromText(8, 3, QStringLiteral("FALSE"));
    file->AssignCellDataFromText(8, 4, QStringLiteral("07.12.2026"));
    file->AssignCellDataFromText(8, 5, QStringLiteral("1,5"));
    file->MergeCells(9, 1, 9, 3);
    file->SetCellValue(9, 1, QStringLiteral("Unite"));
    file->AddHyperLink({1, 10, 1, 10}, {THyperLinkType::hl_URL, QStringLiteral("Site"),
                                        QStringLiteral("https://exemplu.ro/"), QString()});
    file->SetCellValue(10, 1, QStringLiteral("Site"));
    // A rewritten comment must not keep LibreOffice from reading the sheet.
    file->SetCommentText(5, 1, QString(9000, u'ţ'));
    file->FreezePanes(2, 1);
    TXlsPageSetup setup = file->GetPageSetup();
    setup.Landscape = true;
    setup.Scale = 75;
    setup.PaperSize = 9;
    setup.Header = QStringLiteral("&CLista plăţilor");
    file->SetPageSetup(setup);
    TXlsFormat money = file->GetFormat(15);
    money.Format = QStringLiteral("#,##0.00\" lei\"");
    file->SetCellValueX(11, 1, 1234.5, file->AddFormat(money));
    const QString out = dir + QStringLiteral("/ops.xls");
    import.Save(out);
    return out;
}

// A picture of our own, red above the diagonal and blue below, in the format.
QByteArray OwnPicture(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, x * 2 > y * 3 ? qRgb(200, 30, 30) : qRgb(30, 60, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return png;
}

// Whether no two drawings of the workbook share an id (in their FDG) and no
// two shapes one (in their FSP), each found by its record header.
bool IdsDistinct(const QString &book)
{
    const QByteArray stream = WorkbookStreamOf(book);
    for (const quint16 type : {TOfficeArtRecord::Dg, TOfficeArtRecord::Sp}) {
        QByteArray header(6, '\0');
        WriteWord(header, 0, type);
        WriteWord(header, 2, 8);
        QSet<quint32> seen;
        for (qsizetype at = stream.indexOf(header, 2); at >= 2; at = stream.indexOf(header, at + 1)) {
            const quint32 id = type == TOfficeArtRecord::Dg ? ReadWord(stream, at - 2) >> 4 : ReadCardinal(stream, at + 6);
            if (seen.contains(id))
                return false;
            seen.insert(id);
        }
    }
    return true;
}

}  // namespace

// Rows and columns inserted and deleted around comments, hyperlinks and
// pictures: a comment goes with its cell, a hyperlink or a picture that sizes
// with the cells goes with the cells under it, and what moves with the cells
// follows them.
TEST(LibreOfficeReadBack, CommentsAndPicturesFollowRowsAndColumns)
{
    const QString dir = scratchDir(QStringLiteral("lo-objects"));
    const QByteArray picture = OwnPicture(30, 20, "PNG");
    // Row 2 holds a comment in A, row 5 in A and C; their boxes move with the
    // cells over rows 1-3. The box of C5 is set to size with the cells over
    // D4:F8 (into row 8). Picture 0 moves with the cells over B7:D9, picture 1
    // sizes with them over F7:G8 (both into their last row). Hyperlinks lie
    // on A4, A6 and B8:C10.
    const auto open = [&] {
        auto file = OpenBook(XlsFixture(QStringLiteral("fileops/lo-notes.xls")));
        file->SetCommentAnchor(5, 1, TXlsAnchorType::at_MoveAndResize, {4, 0, 4, 0, 6, 0, 8, 128});
        file->AddImage(picture, {2, 0, 7, 0, 4, 0, 9, 128});
        file->AddImage(picture, {6, 0, 7, 0, 7, 0, 8, 128});
        TBaseRecordList &records = file->Workbook().Sheets(0)->Records();
        TSheetDrawing drawing(records);
        const auto shape = drawing.ShapeOfObject(TSheetPictures::Objects(records).at(1));
        TDrawingAnchor sized = drawing.Anchor(*shape);
        sized.Flags = 0;
        drawing.SetAnchor(*shape, sized);
        drawing.Store();
        file->AddHyperLink({2, 8, 3, 10}, {THyperLinkType::hl_URL, QStringLiteral("Plăţi"),
                                           QStringLiteral("https://exemplu.ro/plati"), QString()});
        return file;
    };
    // The notes as they stand while rows 1-5 and columns A-C stay.
    const QString notes = QStringLiteral("1 0 Prima notă\n4 0 Rândul cinci, prima\n4 2 Rândul cinci, a doua\n");
    const struct {
        const char *name;
        std::function<void(TXLSFile &)> change;
        QString objects;          // notes (row col text), then links (rows, columns), 0-based
        TXlsImageProperties box;  // of the comment in C5, wherever it went
        QString pictures;         // sheet, then row col row col of each
    } cases[] = {
        {"two rows above all", [](TXLSFile &f) { f.InsertAndCopyRows(20, 20, 1, 2, false); },
         "3 0 Prima notă\n6 0 Rândul cinci, prima\n6 2 Rândul cinci, a doua\n5 5 0 0 Ajutor; 7 7 0 0 Sus; 9 11 1 2 Plăţi",
         {4, 0, 6, 0, 6, 0, 10, 128}, "1 8 1 10 3\n1 8 5 9 6"},
        {"two rows inside the box, above the pictures", [](TXLSFile &f) { f.InsertAndCopyRows(20, 20, 6, 2, false); },
         notes + "3 3 0 0 Ajutor; 7 7 0 0 Sus; 9 11 1 2 Plăţi", {4, 0, 4, 0, 6, 0, 10, 128}, "1 8 1 10 3\n1 8 5 9 6"},
        {"one row inside picture 0 stretches picture 1 only", [](TXLSFile &f) { f.InsertAndCopyRows(20, 20, 8, 1, false); },
         notes + "3 3 0 0 Ajutor; 5 5 0 0 Sus; 8 10 1 2 Plăţi", {4, 0, 4, 0, 6, 0, 9, 128}, "1 6 1 8 3\n1 6 5 8 6"},
        {"the row of a comment deleted", [](TXLSFile &f) { f.DeleteRows(2, 1); },
         "3 0 Rândul cinci, prima\n3 2 Rândul cinci, a doua\n2 2 0 0 Ajutor; 4 4 0 0 Sus; 6 8 1 2 Plăţi",
         {4, 0, 3, 0, 6, 0, 7, 128}, "1 5 1 7 3\n1 5 5 6 6"},
        // Picture 1 lay wholly on them and went, so did the link on A6; picture
        // 0 came up to row 6 whole; the box lost the rows it had there.
        {"rows 6-8 deleted", [](TXLSFile &f) { f.DeleteRows(6, 3); },
         notes + "3 3 0 0 Ajutor; 5 6 1 2 Plăţi", {4, 0, 4, 0, 6, 0, 6, 0}, "1 5 1 7 3"},
        // Picture 0 starts in column B: it stays there, whole.
        {"column B deleted", [](TXLSFile &f) { f.DeleteCols(2, 1); },
         "1 0 Prima notă\n4 0 Rândul cinci, prima\n4 1 Rândul cinci, a doua\n3 3 0 0 Ajutor; 5 5 0 0 Sus; 7 9 1 1 Plăţi",
         {3, 0, 4, 0, 5, 0, 8, 128}, "1 6 1 8 3\n1 6 4 7 5"},
        // The comments and links of column A go with it.
        {"column A deleted", [](TXLSFile &f) { f.DeleteCols(1, 1); },
         "4 1 Rândul cinci, a doua\n7 9 0 1 Plăţi", {3, 0, 4, 0, 5, 0, 8, 128}, "1 6 0 8 2\n1 6 4 7 5"},
        // The first sheet as opened, and its copies with drawings of their own.
        {"the sheet copied", [](TXLSFile &f) { f.InsertAndCopySheets(1, 2, 2); },
         notes + "3 3 0 0 Ajutor; 5 5 0 0 Sus; 7 9 1 2 Plăţi", {4, 0, 4, 0, 6, 0, 8, 128},
         "1 6 1 8 3\n1 6 5 7 6\n2 6 1 8 3\n2 6 5 7 6\n3 6 1 8 3\n3 6 5 7 6"},
    };
    QStringList books;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto file = open();
        c.change(*file);
        const QString book = QStringLiteral("%1/case%2.xls").arg(dir).arg(books.size());
        file->Save(book);
        books << book;
        EXPECT_TRUE(IdsDistinct(book)) << c.name;
        EXPECT_EQ(XlrdFirstSheet(book, QStringLiteral(
                      "for k in sorted(s.cell_note_map): print('%d %d %s' % (k[0], k[1], s.cell_note_map[k].text))\n"
                      "print('; '.join('%d %d %d %d %s' % (h.frowx, h.lrowx, h.fcolx, h.lcolx, h.desc)"
                      " for h in s.hyperlink_list))\n")).toStdString(),
                  c.objects.toStdString()) << c.name;
        auto again = OpenBook(book);
        TXlsAnchorType kind = TXlsAnchorType::at_MoveAndDontResize;
        TXlsImageProperties box;
        again->GetCommentAnchor(0, again->CommentsCount(0) - 1, kind, box);
        EXPECT_EQ(box, c.box);
        EXPECT_EQ(kind, TXlsAnchorType::at_MoveAndResize);
        // A picture gone is gone from the file, not merely shrunk out of sight.
        EXPECT_EQ(again->ImageCount(), c.pictures.split(u'\n').filter(QRegularExpression(QStringLiteral("^1 "))).size());
    }
    // Where LibreOffice places each picture in the workbook it writes.
    convertWithSoffice(books, dir, QStringLiteral("xlsx"));
    const QString places = QStringLiteral(
        "import re, sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "for n in sorted(x for x in z.namelist() if re.match(r'xl/drawings/drawing\\d+.xml$', x)):\n"
        "  for a in re.findall(r'<xdr:twoCellAnchor.*?</xdr:twoCellAnchor>', z.read(n).decode(), re.S):\n"
        "    if '<xdr:pic>' in a:\n"
        "      f = [re.search(r'<xdr:%s>(\\d+)' % k, c).group(1) for c in re.findall(r'<xdr:(?:from|to)>.*?</xdr:(?:from|to)>', a, re.S) for k in ('row', 'col')]\n"
        "      print(re.search(r'\\d+', n).group(), ' '.join(f))\n");
    for (qsizetype i = 0; i < books.size(); ++i)
        EXPECT_EQ(Xlrd(QString(books[i]).replace(QStringLiteral(".xls"), QStringLiteral(".xlsx")), places).toStdString(),
                  cases[i].pictures.toStdString()) << cases[i].name;
}

TEST(LibreOfficeReadBack, PictureAddedShowsAndOutlivesASecondSave)
{
    const QString dir = scratchDir(QStringLiteral("lo-picture"));
    const QByteArray picture = OwnPicture(90, 60, "PNG");
    const TXlsImageProperties box{2, 0, 3, 0, 4, 512, 12, 128};
    // A template whose sheet already draws comment boxes (a drawing group
    // without pictures), and a new workbook without any drawing, which also
    // gets a JPEG picture after the first.
    const struct { const char *name; std::function<std::unique_ptr<TXLSFile>()> open; QStringList shown; } books[] = {
        {"notes", [] { return OpenBook(XlsFixture(QStringLiteral("fileops/lo-notes.xls"))); },
         {QStringLiteral("90x60")}},
        {"new", [] { return NewBook(); }, {QStringLiteral("90x60"), QStringLiteral("40x30")}},
    };
    QStringList files;
    QList<QStringList> shown;
    for (const auto &b : books) {
        SCOPED_TRACE(b.name);
        auto file = b.open();
        file->AddImage(picture, box);
        if (b.shown.size() > 1)
            file->AddImage(OwnPicture(40, 30, "JPG"), {6, 0, 14, 0, 7, 0, 16, 0});
        ASSERT_EQ(file->ImageCount(), b.shown.size());
        const QString first = QStringLiteral("%1/%2.xls").arg(dir, QLatin1String(b.name));
        file->Save(first);

        auto again = OpenBook(first);
        TXlsAnchorType anchor = TXlsAnchorType::at_MoveAndResize;
        TXlsImageProperties read;
        EXPECT_EQ(again->GetImage(0, anchor, read), picture);
        EXPECT_EQ(anchor, TXlsAnchorType::at_MoveAndDontResize);
        EXPECT_EQ(read, box);
        again->SetCellValue(1, 1, QStringLiteral("după a doua salvare"));
        const QString second = QStringLiteral("%1/%2-again.xls").arg(dir, QLatin1String(b.name));
        again->Save(second);
        EXPECT_EQ(OpenBook(second)->GetImage(0, anchor, read), picture);
        EXPECT_EQ(readWithXlrd(second).sheets.at(0).cell(0, 0).text, QStringLiteral("după a doua salvare"));
        files << first << second;
        shown << b.shown << b.shown;
    }
    EXPECT_EQ(OpenBook(files[0])->CommentsCount(0), 3) << "the comments stay beside the picture";

    convertWithSoffice(files, dir, QStringLiteral("pdf"));
    for (int i = 0; i < files.size(); ++i) {
        QStringList images = listPdfImages(QString(files[i]).replace(QStringLiteral(".xls"), QStringLiteral(".pdf")));
        images.sort();
        QStringList expected = shown[i];
        expected.sort();
        EXPECT_EQ(images, expected) << files[i].toStdString();
    }
}

TEST(LibreOfficeReadBack, TypedValuesMergesAndLinks)
{
    const QString dir = scratchDir(QStringLiteral("lo-readback"));
    const QString book = Prepare(dir);
    // One soffice start: values as text, and a flat document for the structure.
    exportCsvWithSoffice({book}, dir, false);
    convertWithSoffice({book}, dir, QStringLiteral("fods"));

    const QVector<QStringList> rows = readCsv(dir + QStringLiteral("/ops-Note.csv"));
    ASSERT_GE(rows.size(), 10);
    const QStringList typed = rows[7];
    ASSERT_GE(typed.size(), 5);
    EXPECT_EQ(typed[0], QStringLiteral("1.5"));
    EXPECT_EQ(typed[1], QStringLiteral("1234567.25"));
    // LibreOffice shows a Boolean of a General cell as its number.
    EXPECT_TRUE(typed[2] == QStringLiteral("FALSE") || typed[2] == QStringLiteral("0")) << typed[2].toStdString();
    EXPECT_NE(typed[3], QStringLiteral("46363")) << "the date is shown as a date";
    EXPECT_TRUE(typed[3].contains(QStringLiteral("2026"))) << typed[3].toStdString();
    EXPECT_EQ(typed[4], QStringLiteral("1,5")) << "a decimal comma stays text";
    EXPECT_EQ(rows[8].value(0), QStringLiteral("Unite"));
    EXPECT_EQ(rows.value(10).value(0), QStringLiteral("1234.5"));

    QFile flat(dir + QStringLiteral("/ops.fods"));
    ASSERT_TRUE(flat.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(flat.readAll());
    EXPECT_TRUE(xml.contains(QStringLiteral("table:number-columns-spanned=\"3\""))) << "the new merge";
    EXPECT_TRUE(xml.contains(QStringLiteral("table:number-columns-spanned=\"2\""))) << "the file's own merge";
    EXPECT_TRUE(xml.contains(QStringLiteral("xlink:href=\"https://exemplu.ro/\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("xlink:href=\"https://exemplu.ro/ajutor\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("style:print-orientation=\"landscape\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("style:scale-to=\"75%\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("Lista plăţilor")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<number:text> lei</number:text>"))) << "the money format";

}
