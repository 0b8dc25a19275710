#include "TestApplication.h"
#include "reports/eval/BRError.h"
#include "reports/print/BRPrinter.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The report side of a run: page n carries "Pagina n" and a line.
void runReport(TBRPrinter &printer, int pages)
{
    printer.BeginDoc();
    for (int n = 1; n <= pages; ++n) {
        printer.NewPage();
        TBRCanvas &c = *printer.Canvas();
        c.SetFont(QFont(QStringLiteral("DejaVu Sans"), 14));
        c.TextRect(QRectF(printer.XPos(200), printer.YPos(200), printer.XSize(1500), printer.YSize(100)),
                   QStringLiteral("Pagina %1 din Şanţ").arg(n));
        c.SetPen(QPen(Qt::black, 2));
        c.Line(QPointF(printer.XPos(200), printer.YPos(320)), QPointF(printer.XPos(1900), printer.YPos(320)));
        c.Link(QRectF(10, 10, 50, 20), QStringLiteral("INT:pagina"));
    }
    printer.EndDoc();
}

// pdftotext's text of each page of a PDF file.
QStringList pdfPages(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace

class BRPrinterTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ensureApplication<QGuiApplication>();
    }
    QTemporaryDir dir;
};

TEST_F(BRPrinterTest, JobStates)
{
    TBRPrinter printer;
    EXPECT_THROW(printer.NewPage(), EBRError);
    printer.BeginDoc();
    try {
        printer.BeginDoc();
        ADD_FAILURE() << "a second BeginDoc";
    } catch (const EBRError &e) {
        EXPECT_EQ(e.message(), "BRPrinter not ready");
    }
    printer.EndDoc();
    EXPECT_EQ(printer.status(), TBRPrinter::Status::Finished);
}

TEST_F(BRPrinterTest, StoredPagesSaveLoadAndPrintToPdf)
{
    TBRPrinter printer;
    printer.SetTitle(QStringLiteral("Stat de plata"));
    printer.SetCompression(true);
    int shown = 0;
    QObject::connect(&printer, &TBRPrinter::PageAvailable, [&](int n) { shown = n; });
    runReport(printer, 5);
    EXPECT_EQ(shown, 5);
    ASSERT_EQ(printer.PageCount(), 5);
    EXPECT_EQ(printer.Page(4)->Texts(), QStringList{"Pagina 4 din Şanţ"});
    bool again = false;
    QObject::connect(&printer, &TBRPrinter::PrintAgainRequested, [&] { again = true; });
    printer.PrintStored();
    EXPECT_TRUE(again) << "a report run prints itself again";

    const QString brp = dir.filePath("stat.brp");
    printer.SaveToFile(brp);
    TBRPrinter loaded;
    loaded.Settings().SetPaperSize(TBRPaperSize::Letter);
    loaded.LoadFromFile(brp);
    EXPECT_TRUE(loaded.FromFile());
    EXPECT_EQ(loaded.PageCount(), 5);
    EXPECT_EQ(loaded.Settings().PaperSize, TBRPaperSize::A4) << "the paper is guessed from page 1";

    const QString pdf = dir.filePath("stat.pdf");
    loaded.SaveToPdf(pdf);
    const QStringList text = pdfPages(pdf);
    ASSERT_EQ(text.size(), 5);
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(text[n - 1].contains(QStringLiteral("Pagina %1 din Şanţ").arg(n))) << text[n - 1].toStdString();

    // Loaded pages go to the printer as they are stored, within the range.
    const QString printed = dir.filePath("tiparit.pdf");
    loaded.Printer().setOutputFormat(QPrinter::PdfFormat);
    loaded.Printer().setOutputFileName(printed);
    loaded.FirstPage = 4;
    loaded.PrintStored();
    const QStringList last = pdfPages(printed);
    ASSERT_EQ(last.size(), 2);
    EXPECT_TRUE(last[1].contains(QStringLiteral("Pagina 5")));
}

TEST_F(BRPrinterTest, PrinterGetsOnlyThePageRange)
{
    TBRPrinter printer;
    const QString pdf = dir.filePath("interval.pdf");
    printer.Printer().setOutputFormat(QPrinter::PdfFormat);
    printer.Printer().setOutputFileName(pdf);
    printer.SetDestination(TBRPrinter::Destination::Printer);
    printer.FirstPage = 2;
    printer.LastPage = 3;
    runReport(printer, 5);
    const QStringList text = pdfPages(pdf);
    ASSERT_EQ(text.size(), 2);
    EXPECT_TRUE(text[0].contains("Pagina 2"));
    EXPECT_TRUE(text[1].contains("Pagina 3"));
}

TEST_F(BRPrinterTest, LowResolutionPrinterGetsTheScreenFactor)
{
    TBRPrinter printer;
    printer.Printer().setOutputFormat(QPrinter::PdfFormat);
    printer.Printer().setOutputFileName(dir.filePath("lowres.pdf"));
    printer.Settings().PrintQuality = 20;
    printer.SetDestination(TBRPrinter::Destination::Printer);
    printer.BeginDoc();
    EXPECT_DOUBLE_EQ(printer.XFactor(), 96.0 / 254);
    printer.Abort();
}

TEST(TPrinterSettings, WhatThePrintSystemReceives)
{
    QPrinter qp;
    TPrinterSettings s(&qp);
    s.SetPaperSize(TBRPaperSize::Custom);
    s.PaperWidth = 1000;
    s.PaperLength = 1500;
    EXPECT_EQ(s.pageSize().size(QPageSize::Millimeter), QSizeF(100, 150)) << "custom paper keeps its width and length";
    s.SetPaperSize(TBRPaperSize::A5);
    EXPECT_EQ(s.pageSize().id(), QPageSize::A5);

    QPrinter::PaperSource source;
    s.OutputBin = TBRBin::Cassette;
    EXPECT_EQ(binCode(s.OutputBin), 14);
    ASSERT_TRUE(s.paperSource(&source));
    EXPECT_EQ(source, QPrinter::Cassette);
    s.UseCustomBinCode = true;
    s.CustomBinCode = 2;
    ASSERT_TRUE(s.paperSource(&source));
    EXPECT_EQ(source, QPrinter::Lower) << "the custom code wins";
    s.CustomBinCode = 259;
    EXPECT_FALSE(s.paperSource(&source)) << "a driver's own bin code has no Linux meaning";

    s.Duplex = true;
    EXPECT_EQ(s.duplexMode(), QPrinter::DuplexShortSide);
    s.ExtendedDuplex = 2;
    EXPECT_EQ(s.duplexMode(), QPrinter::DuplexLongSide);
}
