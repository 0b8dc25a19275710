#include "documents/MemoryDataSet.h"
#include "reports/layout/BRLayout.h"
#include "reports/print/BRPrinter.h"
#include "reports/render/BRRender.h"
#include "reports/ui/BRPreviewLogic.h"
#include "reports/ui/BRPrintDialog.h"
#include "reports/ui/BRProgressForm.h"
#include "reports/ui/BRStandardPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

int argc = 1;
char arg0[] = "test";
char *argv[] = {arg0, nullptr};

class ReportPreview : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!QCoreApplication::instance())
            new QApplication(argc, argv);
    }

    // Three pages, one name each; "Ştefan" stands on page 2.
    static std::unique_ptr<TBRPrinter> threePages()
    {
        MemoryDataSet ds({{"NUME", SqlType::Text}}, {{"Ion"}, {"Ştefan Ţuţea"}, {"Ana"}});
        ds.Open();
        TBandReport r;
        r.DataSet = &ds;
        r.ReportTitle = QStringLiteral("Proba");
        TBRBand &detail = r.AddBand(TBRBandType::rbDetail, 100);
        detail.ForceNewPage = true;
        detail.Add(TBRPrintable::expr(QStringLiteral("NUME"), 0, 0, 800, 100));
        auto printer = std::make_unique<TBRPrinter>();
        TBRLayout layout(r);
        TBRRender::Run(layout, r, *printer);
        return printer;
    }
};

} // namespace

TEST_F(ReportPreview, DecisionsOutsideTheWindow)
{
    struct Goto
    {
        const char *entry;
        int page;
    } gotos[] = {{"2", 2}, {" 3 ", 3}, {"0", 1}, {"abc", 1}, {"4", 1}, {"-1", 1}};
    for (const Goto &g : gotos)
        EXPECT_EQ(TBRPreviewLogic::GotoPage(g.entry, 3), g.page) << g.entry;
    for (int z : {1, 2001})
        EXPECT_FALSE(TBRPreviewLogic::ZoomAccepted(z)) << z;
    for (int z : {2, 2000})
        EXPECT_TRUE(TBRPreviewLogic::ZoomAccepted(z)) << z;

    struct Link
    {
        const char *link;
        const char *url;
    } links[] = {
        {"https://example.ro/a", "https://example.ro/a"},
        {"ext:http://example.ro", "http://example.ro"},
        {"EXT:mailto:primarie@example.ro", "mailto:primarie@example.ro"},
        {"ext:file:///etc/passwd", ""},
        {"ext:calc.exe", ""},
        {"javascript:alert(1)", ""},
        {"http://", ""},
    };
    for (const Link &l : links)
        EXPECT_EQ(TBRPreviewLogic::LinkUrl(l.link).toString(), QString::fromLatin1(l.url)) << l.link;

    EXPECT_EQ(TBRPreviewLogic::WithReportExtension("a/raport.BRP"), "a/raport.BRP");
    EXPECT_EQ(TBRPreviewLogic::WithReportExtension("a/raport"), "a/raport.brp");
    EXPECT_TRUE(TBRPreviewLogic::ReportFilter().contains("*.BRP"));
    EXPECT_TRUE(TBRPreviewLogic::ReportFilter().contains("*.brp"));
}

TEST_F(ReportPreview, KeysNavigateAndSearchFindsUnicodeTextCaseBlind)
{
    TBRStandardPreview preview(threePages());
    preview.show();
    ASSERT_EQ(preview.Printer().PageCount(), 3);
    EXPECT_EQ(preview.PageNumber(), 1);
    QTest::keyClick(&preview, Qt::Key_PageDown);
    EXPECT_EQ(preview.PageNumber(), 2);
    QTest::keyClick(&preview, Qt::Key_End);
    EXPECT_EQ(preview.PageNumber(), 3);
    QTest::keyClick(&preview, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(preview.PageNumber(), 1);
    preview.GotoPageEntry(QStringLiteral("abc"));
    EXPECT_EQ(preview.PageNumber(), 1);
    preview.SetZoom(2001);
    EXPECT_EQ(preview.Zoom(), 100);

    preview.SearchEdit->setText(QStringLiteral("ştefan ţuţea"));
    QTest::mouseClick(preview.FindButton, Qt::LeftButton);
    ASSERT_EQ(preview.SearchResultBox->count(), 1);
    EXPECT_EQ(preview.SearchResultBox->item(0)->text(), "Pagina 2");
    preview.SearchResultBox->setCurrentRow(0);
    emit preview.SearchResultBox->itemClicked(preview.SearchResultBox->item(0));
    EXPECT_EQ(preview.PageNumber(), 2);

    preview.MatchCase->setChecked(true);
    QTest::mouseClick(preview.FindButton, Qt::LeftButton);
    EXPECT_EQ(preview.SearchResultBox->item(0)->text(), "Nu s-a găsit textul");
    EXPECT_FALSE(preview.SearchResultBox->isEnabled());
}

TEST_F(ReportPreview, SavedReportLoadsBackAndNothingLoadsWhileARunGoesOn)
{
    QTemporaryDir dir;
    {
        TBRStandardPreview preview(threePages());
        preview.SaveTo(dir.filePath("raport.BRP"));
        ASSERT_TRUE(QFile::exists(dir.filePath("raport.BRP")));
        preview.SaveTo(dir.filePath("altul"));
        EXPECT_TRUE(QFile::exists(dir.filePath("altul.brp")));
    }
    auto running = std::make_unique<TBRPrinter>();
    TBRPrinter *p = running.get();
    p->BeginDoc();
    p->NewPage();
    TBRStandardPreview preview(std::move(running));
    for (QToolButton *b : {preview.PrintButton, preview.LoadReport, preview.SaveReport, preview.SavePdf})
        EXPECT_FALSE(b->isEnabled());
    p->EndDoc();
    EXPECT_TRUE(preview.LoadReport->isEnabled());
    preview.LoadFrom(dir.filePath("raport.BRP"));
    EXPECT_EQ(preview.Printer().PageCount(), 3);
    EXPECT_EQ(preview.StatusFile->text(), "raport.BRP");
}

TEST_F(ReportPreview, PrintDialogChoicesAndProgressInStepsOfFive)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setCopyCount(3);
    printer.setPageSize(QPageSize(QPageSize::A5));
    printer.setPageOrientation(QPageLayout::Landscape);
    TBRPrintDialog dialog;
    dialog.TakeChoices(printer, QAbstractPrintDialog::PageRange, 2, 4);
    EXPECT_EQ(dialog.PrintRange, TBRPrintDialog::Range::PageNums);
    EXPECT_EQ(dialog.FromPage, 2);
    EXPECT_EQ(dialog.ToPage, 4);
    EXPECT_EQ(dialog.Copies, 3);
    EXPECT_EQ(dialog.Orientation, 2);
    EXPECT_EQ(dialog.PaperSize, paperCode(TBRPaperSize::A5));
    EXPECT_DOUBLE_EQ(dialog.PaperWidth, 1480);

    TBRPrinter run;
    TBRProgressForm form;
    form.SetPrinter(&run);
    form.Update(40);
    EXPECT_EQ(form.Info->text(), "40%  realizat");
    form.Update(42);
    EXPECT_EQ(form.Info->text(), "40%  realizat");
    emit run.ProgressChanged(45);
    EXPECT_EQ(form.Gauge->value(), 45);
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_TRUE(run.Cancelled());
}
