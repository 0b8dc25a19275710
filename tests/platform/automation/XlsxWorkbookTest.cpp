#include "platform/automation/XlsxError.h"
#include "platform/automation/XlsxWorkbook.h"
#include "platform/automation/XlsxXml.h"
#include "xls/support/IndependentReaders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <sstream>

namespace {

const QString kFixture = QStringLiteral(KESTRUN_FIXTURES "/automation/lista.xlsx"); // made by LibreOffice from lista.fods

QByteArray part(const QString &xlsx, const QString &name)
{
    QProcess py;
    py.start("/usr/bin/python3", {"-c",
                                  "import sys, zipfile\n"
                                  "sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))",
                                  xlsx, name});
    py.waitForFinished(30000);
    return py.readAllStandardOutput();
}

// Every sheet as CSV values, computed by LibreOffice: sheet name -> rows of cells.
QHash<QString, QList<QStringList>> libreOfficeValues(const QString &file, const QStringList &sheets)
{
    const QString out = QFileInfo(file).absolutePath() + "/csv";
    QDir().mkpath(out);
    IndependentReaders::exportCsvWithSoffice({file}, out, false);
    QHash<QString, QList<QStringList>> result;
    for (const QString &s : sheets) {
        const QString csv = out + "/" + QFileInfo(file).completeBaseName() + "-" + s + ".csv";
        if (QFileInfo::exists(csv))
            result[s] = IndependentReaders::readCsv(csv);
    }
    return result;
}

// Cells as openpyxl reads them, "<type> <value>" each (s text, n number, f formula).
QStringList openpyxlCells(const QString &file, const QStringList &refs)
{
    QProcess py;
    py.start("/usr/bin/python3", QStringList{"-c",
                                             "import sys, openpyxl\n"
                                             "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                             "for ref in sys.argv[2:]:\n"
                                             "    c = ws[ref]\n"
                                             "    sys.stdout.buffer.write(f'{c.data_type} {c.value}\\0'.encode())\n",
                                             file} + refs);
    py.waitForFinished(60000);
    QStringList cells = QString::fromUtf8(py.readAllStandardOutput()).split(u'\0');
    cells.removeLast();
    EXPECT_EQ(cells.size(), refs.size()) << py.readAllStandardError().toStdString();
    return cells;
}

class Xlsx : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString copy;
    XlsxWorkbook wb;

    void SetUp() override
    {
        copy = dir.filePath("lista.xlsx");
        ASSERT_TRUE(QFile::copy(kFixture, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        wb.open(copy);
    }
};

} // namespace

TEST_F(Xlsx, ReadsSheetsAndCells)
{
    EXPECT_TRUE(XlsxWorkbook::hasSignature(copy));
    ASSERT_EQ(wb.sheetCount(), 2);
    EXPECT_EQ(wb.sheetName(2), "Rezumat");
    EXPECT_EQ(wb.text(1, 1), QString::fromUtf8("Primăria [UAT], județul #JUDET"));
    EXPECT_EQ(wb.text(3, 4), "#dbf ");
    EXPECT_EQ(wb.maxRow(), 4);
    EXPECT_EQ(wb.maxCol(), 5);
    EXPECT_FALSE(wb.value(9, 9).isValid());
    wb.activateSheet(3); // no such sheet: nothing happens
    EXPECT_EQ(wb.activeSheet(), 1);
    wb.activateSheet(2);
    EXPECT_EQ(wb.text(1, 1), "Total lista");
}

TEST_F(Xlsx, TextStaysTextAndNumbersStayNumbers)
{
    wb.setValue(3, 3, QStringLiteral("0012345678901"));
    wb.setValue(3, 4, 80.5);
    wb.setValue(7, 2, QStringLiteral("nou\x01"));
    wb.setValue(7, 3, QStringLiteral(" doi  spatii"));
    wb.save();
    // Blanks a reader would fold are marked to be kept; plain text goes without the mark.
    const QByteArray strings = part(copy, "xl/sharedStrings.xml");
    EXPECT_TRUE(strings.contains("<t xml:space=\"preserve\"> doi  spatii</t>"));
    EXPECT_TRUE(strings.contains("<t>0012345678901</t>"));
    EXPECT_EQ(wb.value(3, 3).toString(), "0012345678901");
    EXPECT_EQ(wb.value(3, 4).toDouble(), 80.5);
    EXPECT_EQ(wb.value(3, 4).typeId(), QMetaType::Double);
    EXPECT_EQ(wb.maxRow(), 7);
    // Parts nobody changed are written back as they were.
    EXPECT_EQ(part(copy, "xl/styles.xml"), part(kFixture, "xl/styles.xml"));
    // The summary sheet was not written, but its totals read the changed
    // cell: a reader that trusts cached results must not show the old ones.
    EXPECT_FALSE(part(copy, "xl/worksheets/sheet2.xml").contains("</f><v>"));
    const auto values = libreOfficeValues(copy, {"Rezumat"});
    ASSERT_FALSE(values.value("Rezumat").isEmpty());
    EXPECT_EQ(values["Rezumat"][0].value(1), "80.5");
    EXPECT_EQ(values["Rezumat"][0].value(2), "241.5"); // D4 + E4 = 80.5 + 2 * 80.5
}

TEST_F(Xlsx, InsertedRowsCarryFormulasAndEverythingBelowMoves)
{
    wb.insertRowCopies(3, 0);
    wb.insertRowCopies(3, -1);
    EXPECT_EQ(wb.maxRow(), 4);
    wb.insertRowCopies(3, 2);
    EXPECT_EQ(wb.maxRow(), 6);
    EXPECT_EQ(wb.text(6, 1), "Total");
    for (int r = 3; r <= 5; ++r) {
        EXPECT_EQ(wb.text(r, 2), "#TITULAR");
        wb.setValue(r, 4, 100.0 * (r - 2));
    }
    wb.save();
    const auto values = libreOfficeValues(copy, {"Lista", "Rezumat"});
    ASSERT_EQ(values.value("Lista").size(), 6);
    const QList<QStringList> &lista = values["Lista"];
    // Each copy doubles its own row; the totals cover every inserted row.
    EXPECT_EQ(lista[2].value(4), "200");
    EXPECT_EQ(lista[4].value(4), "600");
    EXPECT_EQ(lista[5].value(3), "600");
    EXPECT_EQ(lista[5].value(4), "1200");
    // The other sheet and the defined name follow the moved total row.
    ASSERT_FALSE(values.value("Rezumat").isEmpty());
    EXPECT_EQ(values["Rezumat"][0].value(1), "600");
    EXPECT_EQ(values["Rezumat"][0].value(2), "1800");
    const QByteArray sheet1 = part(copy, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet1.contains("<mergeCell ref=\"A6:B6\"/>"));
    EXPECT_TRUE(sheet1.contains("<dimension ref=\"A1:E6\"/>"));
    EXPECT_TRUE(part(copy, "xl/workbook.xml").contains("Lista!$D$6:$E$6"));
}

// Copies the fixture to `to`, passing each part's bytes through the Python
// expression `change` (over `name` and `data`; None leaves the part out).
void repackFixture(const QString &to, const QString &change, const QString &extra = QString())
{
    QProcess py;
    py.start("/usr/bin/python3",
             {"-c",
              "import re, sys, zipfile\n"
              "src = zipfile.ZipFile(sys.argv[1])\n"
              "out = zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED)\n"
              "for info in src.infolist():\n"
              "    name, data = info.filename, src.read(info.filename)\n"
              "    data = " + change + "\n"
              "    if data is not None:\n"
              "        out.writestr(info, data)\n"
              + extra + "\nout.close()\n",
              kFixture, to});
    py.waitForFinished(30000);
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
}

// A sheet name holding characters that XML or a formula escapes is still
// followed by the formulas of other sheets and by the defined names.
TEST_F(Xlsx, InsertedRowsMoveReferencesToAnEscapedSheetName)
{
    wb.close();
    repackFixture(copy, "data.replace(b'name=\"Lista\"', b'name=\"Lista &amp; O&apos;Neill\"')"
                        ".replace(b'>Lista!', b\">'Lista &amp; O''Neill'!\")");
    wb.open(copy);
    ASSERT_EQ(wb.sheetName(1), "Lista & O'Neill");
    wb.insertRowCopies(3, 2);
    wb.save();
    EXPECT_TRUE(part(copy, "xl/worksheets/sheet2.xml").contains("'Lista &amp; O''Neill'!D6"));
    EXPECT_TRUE(part(copy, "xl/workbook.xml").contains("'Lista &amp; O''Neill'!$D$6:$E$6"));
}

// The calculation chain names cells by address: after rows move it goes, with
// its relationship and content type, and the package stays whole.
TEST_F(Xlsx, InsertedRowsDropTheCalculationChain)
{
    wb.close();
    repackFixture(copy,
                  "data.replace(b'</Relationships>', b'<Relationship Id=\"rIdC\" Type=\"http://schemas.openxmlformats.org/"
                  "officeDocument/2006/relationships/calcChain\" Target=\"calcChain.xml\"/></Relationships>')"
                  ".replace(b'</Types>', b'<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/"
                  "vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/></Types>')",
                  "out.writestr('xl/calcChain.xml', '<calcChain xmlns=\"http://schemas.openxmlformats.org/"
                  "spreadsheetml/2006/main\"><c r=\"D4\" i=\"1\"/></calcChain>')");
    wb.open(copy);
    wb.insertRowCopies(3, 1);
    wb.save();
    EXPECT_TRUE(part(copy, "xl/calcChain.xml").isEmpty());
    EXPECT_FALSE(part(copy, "xl/_rels/workbook.xml.rels").contains("calcChain"));
    EXPECT_FALSE(part(copy, "[Content_Types].xml").contains("calcChain"));
    EXPECT_TRUE(part(copy, "xl/_rels/workbook.xml.rels").contains("worksheets/sheet2.xml"));
    const auto values = libreOfficeValues(copy, {"Rezumat"});
    ASSERT_FALSE(values.value("Rezumat").isEmpty());
    EXPECT_EQ(values["Rezumat"][0].value(1), "0"); // D5, the moved total
}

// Texts go to the shared-string table, once each however many cells hold
// them, and another reader reads every cell back as it was written.
TEST_F(Xlsx, TextsAreSharedAndReadBackAsWritten)
{
    struct Case { const char *name; const char *ref; QVariant written; QString read; };
    const QString romanian = QString::fromUtf8("Răcăciuni Gâşteni ș ț \xF0\x9D\x84\x9E");
    const std::vector<Case> cases = {
        {"leading zeros", "C3", QStringLiteral("0012345678901"), "s 0012345678901"},
        {"number", "D3", 80.5, "n 80.5"},
        {"characters XML escapes", "A5", QStringLiteral("a<b & \"c\" 'd'>"), "s a<b & \"c\" 'd'>"},
        {"letters beyond the basic plane", "B5", romanian, "s " + romanian},
        {"blanks kept", "C5", QStringLiteral(" doi  spatii "), "s  doi  spatii "},
        {"a text the template holds", "D5", QStringLiteral("Total"), "s Total"},
        {"repeated, last of many", "A40", QStringLiteral("POPESCU"), "s POPESCU"},
        {"template text untouched", "B3", QVariant(), "s #TITULAR"},
        {"formula untouched", "D4", QVariant(), "f =SUM(D2:D3)"},
    };
    for (int row = 6; row < 40; ++row)
        wb.setValue(row, 1, QStringLiteral("POPESCU"));
    // Enough texts, each twice, for the table to grow while it is filled.
    for (int row = 100; row < 1300; ++row)
        wb.setValue(row, 6, QStringLiteral("t%1").arg(row % 600));
    QStringList refs;
    for (const Case &c : cases) {
        int row = 0, col = 0;
        refs << c.ref;
        if (c.written.isValid()) {
            row = QString(c.ref).mid(1).toInt();
            col = c.ref[0] - 'A' + 1;
            wb.setValue(row, col, c.written);
        }
    }
    wb.save();
    const QStringList read = openpyxlCells(copy, refs);
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(read.value(int(i)), cases[i].read) << cases[i].name;
    const QByteArray strings = part(copy, "xl/sharedStrings.xml");
    EXPECT_EQ(strings.count("<t>POPESCU</t>"), 1);
    EXPECT_EQ(strings.count(">Total</t>"), 1);
    for (const char *t : {"<t>t0</t>", "<t>t599</t>", "<t>t321</t>"})
        EXPECT_EQ(strings.count(t), 1) << t;
}

// A package without a shared-string table gets one, named in its
// relationships and content types, when a text is written.
TEST_F(Xlsx, TextsGetATableWhenThePackageHasNone)
{
    wb.close();
    repackFixture(copy, "None if name == 'xl/sharedStrings.xml' else "
                        "re.sub(rb'<Relationship [^>]*sharedStrings[^>]*/>|<Override [^>]*sharedStrings[^>]*/>', b'', "
                        "re.sub(rb' t=\"s\"><v>\\d+</v>', b'><v>1</v>', data))");
    ASSERT_TRUE(part(copy, "xl/sharedStrings.xml").isEmpty());
    wb.open(copy);
    wb.setValue(3, 2, QStringLiteral("POPESCU ION"));
    wb.save();
    EXPECT_EQ(openpyxlCells(copy, {"B3", "A3"}), QStringList({"s POPESCU ION", "n 1"}));
    EXPECT_TRUE(part(copy, "[Content_Types].xml").contains("/xl/sharedStrings.xml"));
}

TEST(XlsxBroken, RefusedWithAnError)
{
    QTemporaryDir dir;
    const QString notZip = dir.filePath("a.xlsx");
    QFile f(notZip);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 this is no package");
    f.close();
    XlsxWorkbook wb;
    EXPECT_THROW(wb.open(notZip), XlsxError);
    EXPECT_FALSE(wb.isOpen());

    // A package without a workbook part.
    const QString empty = dir.filePath("b.xlsx");
    QProcess zip;
    zip.setWorkingDirectory(dir.path());
    QFile(dir.filePath("x.txt")).open(QIODevice::WriteOnly);
    zip.start("/usr/bin/python3", {"-c", "import zipfile; zipfile.ZipFile('b.xlsx','w').writestr('x.txt','x')"});
    zip.waitForFinished(30000);
    EXPECT_THROW(wb.open(empty), XlsxError);
    EXPECT_FALSE(wb.isOpen());
}

// A text appended as bytes is the element the XML writer writes for it.
TEST(XlsxText, AppendedAsTheWriterWritesIt)
{
    const QStringList texts = {QString(), QStringLiteral("plain"), QStringLiteral(" blank first"),
                               QStringLiteral("a<b & c>d \"e\" 'f' ]]>"), QStringLiteral("tab\tline\nreturn\r"),
                               QStringLiteral("bell\x07 nul") + QChar(0) + u'.',
                               QString::fromUtf8("Răcăciuni ş ţ \xF0\x9D\x84\x9E \x7F")};
    for (const QString &text : texts) {
        pugi::xml_document doc;
        XlsxXml::setText(doc.append_child("x:t"), text);
        std::ostringstream written;
        doc.save(written, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
        QByteArray appended = "before";
        XlsxXml::appendText(appended, "x:t", text);
        EXPECT_EQ(appended, "before" + QByteArray::fromStdString(written.str())) << text.toStdString();
    }
}
