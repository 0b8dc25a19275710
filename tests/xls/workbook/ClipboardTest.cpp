// Cells copied and pasted: the tab-separated text and the workbook document
// on the clipboard, within one workbook and between two.
#include "FileOpsSupport.h"

#include "xls/clipboard/SystemClipboard.h"
#include "xls/workbook/Workbook.h"
#include "xls/workbook/XlsClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

using namespace FileOps;

namespace {

std::unique_ptr<TXLSFile> Filled()
{
    auto file = NewBook(2);
    file->SetCellValue(1, 1, QStringLiteral("Nume"));
    file->SetCellValue(1, 2, QStringLiteral("Sumă"));
    file->SetCellValue(2, 1, QStringLiteral("Ţurcanu, Ana"));
    file->SetCellValue(2, 2, 125.5);
    file->SetCellValue(3, 1, QStringLiteral("Pop"));
    file->SetCellValue(3, 2, true);
    TXlsFormat money = file->GetFormat(15);
    money.Format = QStringLiteral("0.00\" lei\"");
    file->SetCellFormat(2, 2, file->AddFormat(money));
    return file;
}

}  // namespace

TEST(Clipboard, CopyOffersTextAndADocument)
{
    auto file = Filled();
    const std::unique_ptr<QMimeData> data = TXlsClipboard::Copy(file->Workbook(), 0, {0, 0, 1, 2});
    EXPECT_EQ(data->text(), QStringLiteral("Nume\tSumă\r\nŢurcanu, Ana\t125.5\r\nPop\tTRUE\r\n"));
    EXPECT_TRUE(data->hasFormat(QString::fromLatin1(TXlsClipboard::Biff8Mime)));
    // A block off the sheet goes as text only.
    const std::unique_ptr<QMimeData> off = TXlsClipboard::Copy(file->Workbook(), 0, {0, 0, 300, 2});
    EXPECT_FALSE(off->hasFormat(QString::fromLatin1(TXlsClipboard::Biff8Mime)));
    EXPECT_EQ(file->Workbook().Globals().ActiveSheet(), 0) << "copying leaves the active sheet";
}

TEST(Clipboard, AHiddenSheetGoesAsTextOnly)
{
    auto file = OpenBook(XlsFixture(QStringLiteral("lo-basic.xls")));
    ASSERT_EQ(file->Workbook().Globals().SheetVisible(2), TXlsSheetVisible::sv_Hidden);
    const std::unique_ptr<QMimeData> data = TXlsClipboard::Copy(file->Workbook(), 2, {0, 0, 3, 3});
    EXPECT_FALSE(data->text().isEmpty());
    EXPECT_FALSE(data->hasFormat(QString::fromLatin1(TXlsClipboard::Biff8Mime)));
    EXPECT_EQ(file->Workbook().Globals().ActiveSheet(), 0);
    // The book still saves: its active sheet is still a visible one.
    EXPECT_EQ(ErrorOf([&] { SaveScratch(*file, QStringLiteral("clip-hidden")); }), QString());
}

TEST(Clipboard, PasteTheDocumentKeepsValuesAndFormats)
{
    auto from = Filled();
    const std::unique_ptr<QMimeData> data = TXlsClipboard::Copy(from->Workbook(), 0, {1, 1, 1, 2});
    // Into another workbook's second sheet, at C5.
    auto to = NewBook(2);
    TXlsClipboard::Paste(*data, to->Workbook(), 1, 4, 2);
    to->SetActiveSheet(2);
    EXPECT_EQ(to->GetCellValue(5, 3), QVariant(125.5));
    EXPECT_EQ(to->GetCellValue(6, 3), QVariant(true));
    EXPECT_EQ(to->GetCellValue(5, 2), QVariant()) << "only the copied block arrives";
    EXPECT_EQ(to->FormatString(to->GetCellFormat(5, 3)), QStringLiteral("0.00\" lei\""));
    EXPECT_EQ(to->MaxRow(), 6);

    const IndependentReaders::XlrdBook book = IndependentReaders::readWithXlrd(SaveScratch(*to, QStringLiteral("clip-paste")));
    EXPECT_DOUBLE_EQ(book.sheets.at(1).cell(4, 2).number, 125.5);
}

TEST(Clipboard, PasteRefusesABlockRunningOffTheSheet)
{
    auto from = Filled();
    const std::unique_ptr<QMimeData> data = TXlsClipboard::Copy(from->Workbook(), 0, {0, 0, 1, 2});
    auto to = NewBook();
    EXPECT_EQ(ErrorOf([&] { TXlsClipboard::Paste(*data, to->Workbook(), 0, 65534, 0); }),
              QStringLiteral("Invalid Row (65536)"));
    EXPECT_EQ(ErrorOf([&] { TXlsClipboard::Paste(*data, to->Workbook(), 0, 0, 255); }),
              QStringLiteral("Invalid Column (256)"));
    EXPECT_EQ(to->MaxRow(), 0) << "nothing was written";
    // Text only, too many lines for the place.
    QMimeData text;
    text.setText(QStringLiteral("a\nb\nc"));
    EXPECT_EQ(ErrorOf([&] { TXlsClipboard::Paste(text, to->Workbook(), 0, 65534, 0); }),
              QStringLiteral("Invalid Row (65536)"));
    EXPECT_EQ(to->MaxRow(), 0);
}

TEST(Clipboard, DamagedDocumentRaisesAndChangesNothing)
{
    auto to = Filled();
    QMimeData data;
    data.setData(QString::fromLatin1(TXlsClipboard::Biff8Mime), QByteArray("\xD0\xCF\x11\xE0 not really", 15));
    EXPECT_THROW(TXlsClipboard::Paste(data, to->Workbook(), 0, 0, 0), EExcelException);
    EXPECT_EQ(to->GetCellValue(1, 1), QVariant(QStringLiteral("Nume")));
}

TEST(Clipboard, RoundTripThroughTheSystemClipboard)
{
    if (!QGuiApplication::instance()) {
        auto early = Filled();
        EXPECT_EQ(ErrorOf([&] { early->CopyToClipboard(); }), QStringLiteral("The clipboard is not available"))
            << "no clipboard installed: an error, not a crash";
        TSystemClipboard::Install();
        EXPECT_EQ(ErrorOf([&] { early->CopyToClipboard(); }), QStringLiteral("The clipboard is not available"))
            << "no window system yet: an error, not a crash";
    }
    TSystemClipboard::Install();
    static int argc = 1;
    static char name[] = "test_xls_workbook";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QGuiApplication::instance())
        new QGuiApplication(argc, argv);  // lives until the process ends
    auto file = Filled();
    file->CopyToClipboard();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->text().startsWith(QStringLiteral("Nume\tSumă")));
    file->SetActiveSheet(2);
    file->PasteFromClipboard(10, 4);
    EXPECT_EQ(file->GetCellValue(11, 4), QVariant(QStringLiteral("Ţurcanu, Ana")));
    EXPECT_EQ(file->GetCellValue(11, 5), QVariant(125.5));

    // Plain text from another program lands as tab-separated cells.
    QGuiApplication::clipboard()->setText(QStringLiteral("x\t2.5\ny\t3"));
    file->PasteFromClipboard(1, 1);
    EXPECT_EQ(file->GetCellValue(1, 2), QVariant(2.5));
    EXPECT_EQ(file->GetCellValue(2, 1), QVariant(QStringLiteral("y")));
}
