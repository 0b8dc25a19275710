#include "TestApplication.h"
#include "documents/MemoryDataSet.h"
#include "platform/profile/LastFolders.h"
#include "reports/eval/BRError.h"
#include "reports/layout/BRCompositeReport.h"
#include "reports/layout/BRLayout.h"
#include "reports/print/BRExportFilter.h"
#include "reports/print/BRTextFilter.h"
#include "reports/print/BRPrinter.h"
#include "reports/render/BRRender.h"
#include "reports/ui/BRPreviewLogic.h"
#include "reports/ui/BRPrintDialog.h"
#include "reports/ui/BRPrinterSetup.h"
#include "reports/ui/BRProgressForm.h"
#include "reports/ui/BRReportPrint.h"
#include "reports/ui/BRStandardPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPrinter>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <map>

namespace {

class ReportPreview : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ensureApplication<QApplication>();
    }

    // Three pages, one name each; "Ştefan" stands on page 2. Each name makes
    // an outline entry when asked; a filter hears the run when given.
    static std::unique_ptr<MemoryDataSet> names()
    {
        auto ds = std::make_unique<MemoryDataSet>(QList<MemoryDataSet::Column>{{"NUME", SqlType::Text}},
                                                  QList<QVariantList>{{"Ion"}, {"Ştefan Ţuţea"}, {"Ana"}});
        ds->Open();
        return ds;
    }

    static void namePerPage(TBandReport &r, TDataSet &ds, bool outline = false)
    {
        r.DataSet = &ds;
        r.ReportTitle = QStringLiteral("Proba");
        TBRBand &detail = r.AddBand(TBRBandType::rbDetail, 100);
        detail.ForceNewPage = true;
        detail.Add(TBRPrintable::expr(QStringLiteral("NUME"), 0, 0, 800, 100)).OutlineLevel = outline ? 0 : -1;
    }

    static std::unique_ptr<TBRPrinter> threePages(bool outline = false, TBRExportFilter *filter = nullptr)
    {
        const auto ds = names();
        TBandReport r;
        namePerPage(r, *ds, outline);
        auto printer = std::make_unique<TBRPrinter>();
        TBRLayout layout(r);
        TBRRender::Run(layout, r, *printer, filter);
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
}

// The load dialog reads "Rapoarte salvate (*.brp)", opens in the folder last used
// for saved reports (kept across runs), and lists them in any case of the extension.
TEST_F(ReportPreview, LoadDialogListsSavedReportsInAnyCase)
{
    EXPECT_EQ(TBRPreviewLogic::ReportFilter(), "Rapoarte salvate (*.brp)");
    QTemporaryDir dir, home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    for (const char *name : {"a.brp", "b.BRP", "c.bRp", "d.txt"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    LastFolders::remember(QStringLiteral("Rapoarte salvate"), dir.path());
    const auto shownDialog = TBRStandardPreview::FileDialog(nullptr, QStringLiteral("x"), {TBRPreviewLogic::ReportFilter()}, false);
    qputenv("HOME", oldHome);
    QFileDialog &dialog = *shownDialog;
    EXPECT_EQ(dialog.directory().absolutePath(), dir.path());
    const QComboBox *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->itemText(0), TBRPreviewLogic::ReportFilter());
    auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    QStringList shown;
    for (int i = 0; i < 100 && shown.size() < 3; ++i) {
        QTest::qWait(20);
        shown.clear();
        for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
            shown << view->model()->index(r, 0, view->rootIndex()).data().toString();
    }
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"a.brp", "b.BRP", "c.bRp"}));
}

TEST_F(ReportPreview, PrintRunsTheReportAgainUnlessItsPagesAreToBePrintedAsStored)
{
    QTemporaryDir dir;
    using Way = TBRPreviewLogic::PrintWay;
    struct Case
    {
        const char *name;
        bool hasReport, printMetaFile, fromFile, finished;
        Way way;
    } cases[] = {
        {"a finished run with its report", true, false, false, true, Way::RunAgain},
        {"a run to be printed as stored", true, true, false, true, Way::StoredPages},
        {"a run without its report", false, false, false, true, Way::StoredPages},
        {"pages loaded from a file", true, false, true, true, Way::StoredPages},
        {"a run still going on", true, false, false, false, Way::Nothing},
    };
    for (const Case &c : cases) {
        std::unique_ptr<TBRPrinter> printer = c.finished ? threePages() : std::make_unique<TBRPrinter>();
        if (!c.finished)
            printer->BeginDoc();
        if (c.fromFile) {
            printer->SaveToFile(dir.filePath("p.brp"));
            printer->LoadFromFile(dir.filePath("p.brp"));
        }
        printer->Settings().PrintMetaFile = c.printMetaFile;
        EXPECT_EQ(TBRPreviewLogic::PrintWayOf(*printer, c.hasReport), c.way) << c.name;
    }

    // Run again onto a printer that writes a PDF file: on its own, and as a member of a job.
    const auto ds = names(), more = names();
    TBandReport alone, other;
    namePerPage(alone, *ds);
    namePerPage(other, *more);
    alone.ShowProgress = false;
    int told = 0;
    alone.AfterPrint = [&] { ++told; };
    const auto printOn = [&](const char *file) {
        TBRPrinter printer;
        printer.Printer().setOutputFormat(QPrinter::PdfFormat);
        printer.Printer().setOutputFileName(dir.filePath(file));
        EXPECT_TRUE(TBRReportPrint::PrintOn(alone, printer)) << file;
        EXPECT_TRUE(QFileInfo(dir.filePath(file)).size() > 0) << file;
        return printer.PageCount();
    };
    EXPECT_EQ(printOn("singur.pdf"), 3);
    EXPECT_EQ(told, 1) << "the end of the print job is told";
    TBRCompositeReport job;
    job.Add(alone);
    job.Add(other);
    EXPECT_EQ(printOn("lucrare.pdf"), 6) << "a member prints the whole job";
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

// The window's keys reach it from whichever control holds the focus; text entry keeps its own.
TEST_F(ReportPreview, KeysReachTheWindowFromEveryControl)
{
    enum class At { Top, Inside, Bottom };
    struct Case
    {
        const char *name, *control;
        int key;
        Qt::KeyboardModifiers mods;
        int startPage;
        At startAt;
        int page;
        At at;
    } cases[] = {
        {"Page Down turns the page", "page", Qt::Key_PageDown, Qt::NoModifier, 1, At::Top, 2, At::Top},
        {"Ctrl+Page Down goes to the last", "page", Qt::Key_PageDown, Qt::ControlModifier, 1, At::Top, 3, At::Top},
        {"Page Up from the thumbnails", "thumbs", Qt::Key_PageUp, Qt::NoModifier, 3, At::Top, 2, At::Top},
        {"Ctrl+Page Up goes to the first", "thumbs", Qt::Key_PageUp, Qt::ControlModifier, 3, At::Top, 1, At::Top},
        {"Home from the search results", "results", Qt::Key_Home, Qt::NoModifier, 3, At::Top, 1, At::Top},
        {"End from a tool button", "button", Qt::Key_End, Qt::NoModifier, 1, At::Top, 3, At::Top},
        {"Down scrolls within the page", "page", Qt::Key_Down, Qt::NoModifier, 1, At::Top, 1, At::Inside},
        {"Down at the bottom turns the page", "page", Qt::Key_Down, Qt::NoModifier, 1, At::Bottom, 2, At::Top},
        {"Up scrolls within the page", "page", Qt::Key_Up, Qt::NoModifier, 2, At::Bottom, 2, At::Inside},
        {"Up at the top shows the end of the page before", "page", Qt::Key_Up, Qt::NoModifier, 2, At::Top, 1, At::Bottom},
        {"Up at the top of page 1 stays", "page", Qt::Key_Up, Qt::NoModifier, 1, At::Top, 1, At::Top},
        {"Home in the search text moves the cursor only", "text", Qt::Key_Home, Qt::NoModifier, 3, At::Top, 3, At::Top},
    };
    TBRStandardPreview preview(threePages());
    preview.resize(900, 600);
    preview.show();
    preview.SetZoom(200); // taller than the window: the page scrolls
    auto *scroll = preview.findChild<QScrollArea *>();
    QScrollBar *bar = scroll->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 10 * bar->singleStep());
    preview.SearchEdit->setText(QStringLiteral("Ana"));
    preview.SearchButton->click();
    const auto position = [bar] { return bar->value() == 0 ? At::Top : bar->value() == bar->maximum() ? At::Bottom : At::Inside; };
    for (const Case &c : cases) {
        const std::map<std::string, QWidget *> controls = {{"page", scroll->viewport()}, {"thumbs", preview.ThumbGrid},
                                                           {"results", preview.SearchResultBox},
                                                           {"button", preview.NextPage}, {"text", preview.SearchEdit}};
        preview.SetPageNumber(c.startPage);
        bar->setValue(c.startAt == At::Bottom ? bar->maximum() : 0);
        QTest::keyClick(controls.at(c.control), Qt::Key(c.key), c.mods);
        EXPECT_EQ(preview.PageNumber(), c.page) << c.name;
        EXPECT_EQ(position(), c.at) << c.name;
    }
    preview.SetPageNumber(3);
    preview.SearchResultBox->setCurrentRow(0);
    QTest::keyClick(scroll->viewport(), Qt::Key_PageUp);
    EXPECT_EQ(preview.SearchResultBox->currentRow(), -1) << "the found page left behind is no longer selected";
    QTest::keyClick(preview.ThumbGrid, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible()) << "Escape closes";
}

// The window fits a 1366 x 768 screen with every command in sight, and opens
// as its report asks; without a report maximised, with both sheets, at 100 %.
TEST_F(ReportPreview, WindowFitsTheScreenAndOpensAsTheReportAsks)
{
    {
        TBRStandardPreview preview(threePages());
        EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(preview.Tabs->isTabVisible(0) && preview.Tabs->isTabVisible(1));
        EXPECT_EQ(preview.Zoom(), 100);
        EXPECT_TRUE(preview.Zoom100->isChecked());
        EXPECT_LE(preview.minimumSizeHint().width(), 1366);
        EXPECT_LE(preview.minimumSizeHint().height(), 700);
        preview.setWindowState(Qt::WindowNoState);
        preview.resize(1366, 700);
        preview.show();
        for (QToolButton *b : preview.ToolBar->findChildren<QToolButton *>()) {
            if (b->objectName() == QLatin1String("qt_toolbar_ext_button"))
                continue;
            EXPECT_TRUE(b->isVisible()) << b->toolTip().toStdString();
            EXPECT_FALSE(b->toolTip().isEmpty());
            EXPECT_LE(b->mapTo(&preview, QPoint(b->width(), 0)).x(), preview.width()) << b->toolTip().toStdString();
        }
    }
    const auto ds = names();
    TBandReport report;
    namePerPage(report, *ds);
    report.PreviewWidth = 700;
    report.PreviewHeight = 0; // reads as 500
    report.PrevShowThumbs = report.PrevShowSearch = false;
    report.PrevFormStyle = TFormStyle::fsStayOnTop;
    report.PrevInitialZoom = TBRZoomState::brZoomOther;
    report.SetZoom(150);
    report.Page.SetOrientation(QPageLayout::Landscape);
    TBRStandardPreview preview(threePages());
    preview.SetReport(&report);
    preview.show();
    EXPECT_EQ(preview.size(), QSize(700, 500));
    EXPECT_FALSE(preview.windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(preview.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(preview.Tabs->isVisible());
    EXPECT_FALSE(preview.FindButton->isVisible());
    EXPECT_EQ(preview.Zoom(), 150);
    EXPECT_GT(preview.ThumbGrid->iconSize().width(), preview.ThumbGrid->iconSize().height()) << "landscape thumbnails";

    // Zoom to width follows the page area's real width, maximised.
    report.PrevShowThumbs = true;
    report.PrevInitialZoom = TBRZoomState::brZoomToWidth;
    report.PreviewInitialState = TWindowState::wsMaximized;
    preview.SetReport(&report);
    EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(preview.ZoomWidth->isChecked());
    EXPECT_TRUE(preview.Tabs->isVisible());
    auto *scroll = preview.findChild<QScrollArea *>();
    for (int width : {1300, 800}) {
        preview.setWindowState(Qt::WindowNoState);
        preview.resize(width, 600);
        QApplication::processEvents();
        EXPECT_NEAR(double(scroll->widget()->width() - 4) / scroll->viewport()->width(), 0.90, 0.02) << width;
    }

    // Larger than the screen: the whole frame fits on it, status line included.
    report.PreviewWidth = report.PreviewHeight = 5000;
    report.PreviewInitialState = TWindowState::wsNormal;
    TBRStandardPreview large(threePages());
    large.SetReport(&report);
    large.show();
    EXPECT_TRUE(large.screen()->availableGeometry().contains(large.frameGeometry()));
    // A window manager opens normal a window minimised before it maps: it maps normal, then minimises.
    report.PreviewInitialState = TWindowState::wsMinimized;
    TBRStandardPreview minimized(threePages());
    minimized.SetReport(&report);
    minimized.show();
    EXPECT_FALSE(minimized.windowHandle()->windowStates() & Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return minimized.windowHandle()->windowStates() & Qt::WindowMinimized; }));
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

// The preview's own questions answer in Romanian: going to a page, and the
// PDF offered when no printer is installed.
TEST_F(ReportPreview, QuestionsAnswerInRomanian)
{
    TBRStandardPreview preview(threePages());
    QStringList buttons;
    const auto answer = [&buttons](const QString &page) {
        QTimer::singleShot(0, [&buttons, page] {
            QWidget *shown = QApplication::activeModalWidget();
            if (auto *ask = qobject_cast<QInputDialog *>(shown)) {
                buttons << ask->okButtonText() << ask->cancelButtonText();
                ask->setTextValue(page);
                ask->accept();
            } else if (auto *box = qobject_cast<QMessageBox *>(shown)) {
                for (QAbstractButton *b : box->buttons())
                    buttons << b->text();
                box->defaultButton()->click();
            }
        });
    };
    answer(QStringLiteral("3"));
    preview.GotoPageButton->click();
    EXPECT_EQ(buttons, (QStringList{"OK", "Renunță"}));
    EXPECT_EQ(preview.PageNumber(), 3);
    if (TBRPrinter::PrintersInstalled())
        return;
    buttons.clear();
    answer({});
    preview.PrintButton->click();
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Da", "Nu"}));
}

TEST_F(ReportPreview, PrintDialogChoicesAndProgressInStepsOfFive)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setCopyCount(3);
    printer.setPageSize(QPageSize(QPageSize::A5));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPaperSource(QPrinter::Auto);
    TBRPrintDialog dialog;
    dialog.TakeChoices(printer, QAbstractPrintDialog::PageRange, 2, 4);
    EXPECT_EQ(dialog.PrintRange, TBRPrintDialog::Range::PageNums);
    EXPECT_EQ(dialog.FromPage, 2);
    EXPECT_EQ(dialog.ToPage, 4);
    EXPECT_EQ(dialog.Copies, 3);
    EXPECT_EQ(dialog.Orientation, 2);
    EXPECT_EQ(dialog.PaperSize, paperCode(TBRPaperSize::A5));
    EXPECT_DOUBLE_EQ(dialog.PaperWidth, 1480);
    EXPECT_EQ(dialog.OutputBin, 7); // the drivers' code of the automatic bin, not the print system's own number
    using O = QAbstractPrintDialog;
    EXPECT_EQ(dialog.DialogOptions(), O::PrintToFile | O::PrintPageRange | O::PrintShowPageSize | O::PrintCollateCopies);
    dialog.Options = TBRPrintDialog::poSelection | TBRPrintDialog::poPrintToFile | TBRPrintDialog::poDisablePrintToFile;
    EXPECT_EQ(dialog.DialogOptions(), O::PrintSelection | O::PrintShowPageSize | O::PrintCollateCopies);

    TBRPrinter run;
    TBRProgressForm form;
    EXPECT_EQ(form.height(), 97);
    EXPECT_GE(form.width(), 149);
    EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
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

namespace {

// Writes down what an export filter is told.
struct RecordingFilter : TBRExportFilter
{
    QStringList calls;
    void Start(double w, double l) override { calls << QStringLiteral("start %1x%2").arg(w).arg(l); }
    void NewPage() override { calls << "page"; }
    void EndPage() override { calls << "end page"; }
    void EndBand(const QRectF &) override { calls << "band"; }
    void TextOut(const QRectF &, const QString &text, const QFont &, Qt::Alignment) override { calls << "text " + text; }
    void Finish() override { calls << "finish"; }
};

} // namespace

TEST_F(ReportPreview, PrinterSetupKeepsItsChoicesInThePrinterAndInTheReportUnlessLoadedFromAFile)
{
    TBRPrintDialog preset;
    TBRPrinterSetup::Preset(preset, TBRPrinterSettings(), QPageLayout::Landscape, 0);
    EXPECT_EQ(preset.MaxPage, 9999);
    EXPECT_EQ(preset.Orientation, 2);
    TBRPrinterSetup::Preset(preset, TBRPrinterSettings(), QPageLayout::Portrait, 3);
    EXPECT_EQ(preset.PrintRange, TBRPrintDialog::Range::PageNums);
    EXPECT_EQ(std::pair(preset.MinPage, preset.MaxPage), std::pair(1, 3));
    EXPECT_EQ(std::pair(preset.FromPage, preset.ToPage), std::pair(1, 3));
    TBRPrinterSettings whole;
    TBRPrinterSetup::TakeBack(preset, QString(), whole);
    EXPECT_EQ(std::pair(whole.FirstPage, whole.LastPage), std::pair(0, 0)); // the preset whole range bounds nothing
    // A driver's own bin codes count from 256.
    EXPECT_EQ(TBRPrinterSetup::BinOf(256 + 14), TBRBin::Cassette);

    QTemporaryDir dir;
    struct Case
    {
        const char *name;
        bool fromFile;
        TBRPrintDialog::Range range;
        int first, last; // the page range both get
    } cases[] = {
        {"pages of a run, a from-to range", false, TBRPrintDialog::Range::PageNums, 2, 3},
        {"pages of a run, all pages", false, TBRPrintDialog::Range::AllPages, 0, 0},
        {"pages loaded from a file", true, TBRPrintDialog::Range::PageNums, 2, 3},
    };
    for (const Case &c : cases) {
        TBandReport report;
        TBRStandardPreview preview(threePages());
        preview.SetReport(&report);
        if (c.fromFile) {
            preview.SaveTo(dir.filePath("setup.brp"));
            preview.LoadFrom(dir.filePath("setup.brp"));
        }
        TBRPrintDialog dialog;
        dialog.Copies = 3;
        dialog.OutputBin = 14;
        dialog.Duplex = true;
        dialog.DuplexCode = 2;
        dialog.PrintRange = c.range;
        dialog.FromPage = 2;
        dialog.ToPage = 3;
        preview.ApplySetup(dialog);
        const TPrinterSettings &kept = preview.Printer().Settings();
        EXPECT_EQ(kept.Copies, 3) << c.name;
        EXPECT_EQ(kept.OutputBin, TBRBin::Cassette) << c.name;
        EXPECT_EQ(kept.ExtendedDuplex, 2) << c.name;
        EXPECT_EQ(std::pair(preview.Printer().FirstPage, preview.Printer().LastPage), std::pair(c.first, c.last)) << c.name;
        const TBRPrinterSettings &mine = report.PrinterSettings;
        EXPECT_EQ(mine.Copies, c.fromFile ? 1 : 3) << c.name;
        EXPECT_EQ(mine.OutputBin, c.fromFile ? TBRBin::Auto : TBRBin::Cassette) << c.name;
        EXPECT_EQ(mine.FirstPage, c.fromFile ? 0 : c.first) << c.name;
    }
}

TEST_F(ReportPreview, OutlineTreeFollowsTheLevelsAndANodeShowsItsPage)
{
    QTemporaryDir dir;
    TBRStandardPreview preview(threePages(true));
    TBROutline &outline = preview.Printer().Outline();
    ASSERT_EQ(outline.Entries().size(), 3u);
    outline.Add({QStringLiteral("Detalii"), 1, QRect(), 3, 99});
    preview.RefreshOutline();
    EXPECT_TRUE(preview.Tabs->isTabVisible(2));
    QTreeWidget *tree = preview.OutlineTree;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "Ştefan Ţuţea");
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 0);
    ASSERT_EQ(tree->topLevelItem(2)->childCount(), 1);
    tree->setCurrentItem(tree->topLevelItem(1));
    EXPECT_EQ(preview.PageNumber(), 2);
    tree->setCurrentItem(tree->topLevelItem(2)->child(0));
    EXPECT_EQ(preview.PageNumber(), 3);

    // Saved reports keep no outline: the tab goes.
    preview.SaveTo(dir.filePath("cuprins.brp"));
    preview.LoadFrom(dir.filePath("cuprins.brp"));
    EXPECT_FALSE(preview.Tabs->isTabVisible(2));
    EXPECT_EQ(tree->topLevelItemCount(), 0);
}

TEST_F(ReportPreview, ExportFiltersHearTheRunAndTheTextExportReadsBack)
{
    RecordingFilter heard;
    threePages(false, &heard);
    const QStringList firstPage{"start 2100x2970", "page", "text Ion", "band", "end page"};
    EXPECT_EQ(heard.calls.mid(0, 5), firstPage);
    EXPECT_EQ(heard.calls.count("page"), 3);
    EXPECT_EQ(heard.calls.back(), "finish");

    struct Row
    {
        const char *name;
        std::vector<TBRTextFilter::Run> runs;
        QStringList lines;
    } rows[] = {
        {"right-aligned amount ends at its column",
         {{QRectF(100, 0, 400, 50), "Total", Qt::AlignLeft}, {QRectF(1000, 0, 400, 50), "12.50", Qt::AlignRight}},
         {"Total" + QString(55, ' ') + "12.50"}}, // ends at column 1400/20 = 70 of the sheet, 65 past the margin of 5
        {"texts a little lower share the line, in order across",
         {{QRectF(600, 10, 400, 50), "b", Qt::AlignLeft}, {QRectF(100, 0, 400, 50), "a", Qt::AlignLeft}},
         {"a" + QString(24, ' ') + "b"}},
        {"a text never runs into the one before",
         {{QRectF(100, 0, 400, 50), "Ştefan Ţuţea Popescu", Qt::AlignLeft}, {QRectF(200, 0, 400, 50), "X", Qt::AlignLeft}},
         {"Ştefan Ţuţea Popescu X"}},
        {"rows top to bottom",
         {{QRectF(100, 100, 400, 50), "doi", Qt::AlignLeft}, {QRectF(100, 0, 400, 50), "unu", Qt::AlignLeft}},
         {"unu", "doi"}},
    };
    for (const Row &r : rows)
        EXPECT_EQ(TBRTextFilter::PageLines(r.runs), r.lines) << r.name;

    QTemporaryDir dir;
    TBRStandardPreview preview(threePages());
    preview.SaveAs(dir.filePath("raport"), 1);
    QFile text(dir.filePath("raport.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(text.readAll()).split('\f'), QStringList({"Ion\n", "Ştefan Ţuţea\n", "Ana\n"}));
    preview.SaveAs(dir.filePath("raport"), 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("raport.brp")));

    auto running = std::make_unique<TBRPrinter>();
    running->BeginDoc();
    EXPECT_THROW(running->ExportTo(heard, dir.filePath("x.txt")), EBRError);
}

TEST_F(ReportPreview, SaveDialogListsSavedReportsThenEachExportFormat)
{
    const QStringList filters = TBRPreviewLogic::SaveFilters();
    ASSERT_EQ(filters.size(), qsizetype(1 + TBRExportFilters::Registered().size()));
    EXPECT_EQ(filters[0], TBRPreviewLogic::ReportFilter());
    EXPECT_EQ(filters[1], "Text simplu (*.txt)");
    EXPECT_EQ(TBRPreviewLogic::WithExtension("a/lista.TXT", "txt"), "a/lista.TXT");
    struct Choice
    {
        const char *path;
        int chosen, format;
    } choices[] = {{"lista", 1, 1}, {"lista.TXT", 0, 1}, {"raport.brp", 1, 0}, {"raport.v2", 0, 0}};
    for (const Choice &c : choices)
        EXPECT_EQ(TBRPreviewLogic::SaveFormat(c.path, c.chosen), c.format) << c.path;
}
