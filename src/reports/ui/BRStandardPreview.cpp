#include "reports/ui/BRStandardPreview.h"

#include "platform/shell/ChooserDialog.h"
#include "reports/model/BRReport.h"
#include "reports/print/BRExportFilter.h"
#include "reports/print/BRPagePainter.h"
#include "reports/print/BRPrinter.h"
#include "reports/ui/BRPreviewImage.h"
#include "reports/ui/BRPreviewLogic.h"
#include "reports/ui/BRPrintDialog.h"
#include "reports/ui/BRPrinterSetup.h"
#include "reports/ui/BRProgressForm.h"
#include "reports/ui/BRReportPrint.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

TBRStandardPreview::TBRStandardPreview(std::unique_ptr<TBRPrinter> printer, QWidget *parent)
    : QDialog(parent), m_printer(std::move(printer)), m_image(new TBRPreviewImage), m_scroll(new QScrollArea)
{
    setWindowTitle(m_printer->Title().isEmpty() ? QStringLiteral("Previzualizare raport")
                                                : QStringLiteral("Previzualizare raport : ") + m_printer->Title());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    m_orientation = m_printer->Settings().Orientation;
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(4, 2, 4, 2);
    root->setSpacing(2);
    buildTools();
    root->addWidget(ToolBar);
    buildSheets();

    m_image->SetPrinter(m_printer.get());
    m_scroll->setWidget(m_image);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    auto *split = new QSplitter;
    split->addWidget(Tabs);
    split->addWidget(m_scroll);
    split->setStretchFactor(1, 1);
    split->setCollapsible(1, false);
    split->setSizes({230, 800});
    root->addWidget(split, 1);
    auto *status = new QHBoxLayout;
    StatusPage = new QLabel;
    StatusFile = new QLabel;
    status->addWidget(StatusPage);
    status->addStretch();
    status->addWidget(StatusFile);
    root->addLayout(status);

    connect(m_image, &TBRPreviewImage::LinkClicked, this, [](const QString &link) { FollowLink(link); });
    connect(m_printer.get(), &TBRPrinter::PageAvailable, this, &TBRStandardPreview::pageAvailable);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    m_printer->PreviewShowing = true;
    m_image->ShowPage(1);
    pageAvailable();
    // Without a report: maximised, both sheets, at 100 %.
    setWindowState(Qt::WindowMaximized);
    zoom100();
}

TBRStandardPreview::~TBRStandardPreview() = default;

QToolButton *TBRStandardPreview::tool(const QString &hint, BRPreviewIcons::Kind icon, void (TBRStandardPreview::*slot)())
{
    auto *b = new QToolButton;
    b->setText(hint);
    b->setToolTip(hint);
    b->setIcon(BRPreviewIcons::Icon(icon));
    b->setAutoRaise(true);
    connect(b, &QToolButton::clicked, this, slot);
    return b;
}

void TBRStandardPreview::buildTools()
{
    using K = BRPreviewIcons::Kind;
    ZoomFit = tool(QStringLiteral("Toată pagina"), K::ZoomFit, &TBRStandardPreview::ZoomToFit);
    ZoomWidth = tool(QStringLiteral("Lățimea paginii"), K::ZoomWidth, &TBRStandardPreview::ZoomToWidth);
    Zoom100 = tool(QStringLiteral("Mărime 100%"), K::Zoom100, &TBRStandardPreview::zoom100);
    FirstPage = tool(QStringLiteral("Prima pagină"), K::First, &TBRStandardPreview::first);
    PreviousPage = tool(QStringLiteral("Pagina anterioară"), K::Previous, &TBRStandardPreview::previous);
    NextPage = tool(QStringLiteral("Pagina următoare"), K::Next, &TBRStandardPreview::next);
    LastPage = tool(QStringLiteral("Ultima pagină"), K::Last, &TBRStandardPreview::last);
    GotoPageButton = tool(QStringLiteral("Alege pagina"), K::GotoPage, &TBRStandardPreview::askGoto);
    FindButton = tool(QStringLiteral("Caută text"), K::Find, &TBRStandardPreview::findClicked);
    PrintSetup = tool(QStringLiteral("Configurare imprimantă"), K::PrintSetup, &TBRStandardPreview::PrinterSetup);
    PrintButton = tool(QStringLiteral("Tipărește"), K::Print, &TBRStandardPreview::askPrint);
    SavePdf = tool(QStringLiteral("Salvează PDF"), K::SavePdf, &TBRStandardPreview::askPdf);
    SaveReport = tool(QStringLiteral("Salvează raportul"), K::Save, &TBRStandardPreview::askSave);
    LoadReport = tool(QStringLiteral("Încarcă raport"), K::Load, &TBRStandardPreview::askLoad);
    ExitButton = tool(QStringLiteral("Închide previzualizarea"), K::Close, &TBRStandardPreview::closeWindow);
    ExitButton->setText(QStringLiteral("&Închide"));
    ExitButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (QToolButton *b : {ZoomFit, ZoomWidth, Zoom100})
        b->setCheckable(true);

    // Pictures with hints, in groups; only Close carries its word.
    ToolBar = new QToolBar;
    ToolBar->setIconSize(QSize(24, 24));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const std::initializer_list<std::initializer_list<QToolButton *>> groups = {
        {ZoomFit, ZoomWidth, Zoom100}, {FirstPage, PreviousPage, NextPage, LastPage, GotoPageButton}, {FindButton},
        {PrintSetup, PrintButton, SavePdf}, {SaveReport, LoadReport}};
    for (const auto &group : groups) {
        for (QToolButton *b : group)
            ToolBar->addWidget(b);
        ToolBar->addSeparator();
    }
    auto *spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar->addWidget(spacer);
    ToolBar->addWidget(ExitButton);
    // No command hides behind the bar's overflow button, whatever size the report asks for.
    ToolBar->setMinimumWidth(ToolBar->sizeHint().width());
}

void TBRStandardPreview::buildSheets()
{
    Tabs = new QTabWidget;
    ThumbGrid = new QListWidget;
    ThumbGrid->setViewMode(QListView::IconMode);
    ThumbGrid->setFlow(QListView::TopToBottom);
    ThumbGrid->setWrapping(false);
    ThumbGrid->setMovement(QListView::Static);
    Tabs->addTab(ThumbGrid, QStringLiteral("Miniaturi"));
    auto *searchPage = new QWidget;
    auto *searchLayout = new QVBoxLayout(searchPage);
    SearchEdit = new QLineEdit;
    SearchEdit->setPlaceholderText(QStringLiteral("Textul căutat"));
    MatchCase = new QCheckBox(QStringLiteral("Ține seama de majuscule"));
    SearchButton = new QToolButton;
    SearchButton->setText(QStringLiteral("Caută"));
    SearchResultBox = new QListWidget;
    SearchResultBox->setEnabled(false);
    searchLayout->addWidget(SearchEdit);
    searchLayout->addWidget(MatchCase);
    searchLayout->addWidget(SearchButton);
    searchLayout->addWidget(SearchResultBox);
    Tabs->addTab(searchPage, QStringLiteral("Căutare"));
    OutlineTree = new QTreeWidget;
    OutlineTree->setHeaderHidden(true);
    Tabs->addTab(OutlineTree, QStringLiteral("Cuprins"));
    Tabs->setTabVisible(2, false);
    Tabs->setTabToolTip(1, QStringLiteral("Rezultatele căutării"));
    Tabs->setMinimumWidth(193);
    Tabs->setUsesScrollButtons(false); // all three sheets stay in sight

    connect(SearchButton, &QToolButton::clicked, this, &TBRStandardPreview::askSearch);
    connect(SearchEdit, &QLineEdit::returnPressed, this, &TBRStandardPreview::askSearch);
    connect(SearchResultBox, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { SetPageNumber(item->data(Qt::UserRole).toInt()); });
    connect(ThumbGrid, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            SetPageNumber(row + 1);
    });
    connect(OutlineTree, &QTreeWidget::itemClicked, this, &TBRStandardPreview::outlineChosen);
    connect(OutlineTree, &QTreeWidget::currentItemChanged, this, &TBRStandardPreview::outlineChosen);
}

void TBRStandardPreview::showSheets(bool thumbs, bool search)
{
    Tabs->setTabVisible(0, thumbs);
    Tabs->setTabVisible(1, search);
    // A tool bar shows a button as its action says; the separator of the button's group goes with it.
    const QList<QAction *> actions = ToolBar->actions();
    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        if (ToolBar->widgetForAction(actions[i]) == FindButton) {
            actions[i]->setVisible(search);
            actions[i + 1]->setVisible(search);
        }
    showTabsInUse();
}

void TBRStandardPreview::showTabsInUse()
{
    Tabs->setVisible(Tabs->isTabVisible(0) || Tabs->isTabVisible(1) || Tabs->isTabVisible(2));
}

void TBRStandardPreview::SetReport(TBandReport *report)
{
    m_report = report;
    if (report)
        takeWindowSettings(*report);
}

void TBRStandardPreview::takeWindowSettings(const TBandReport &report)
{
    showSheets(report.PrevShowThumbs, report.PrevShowSearch);
    // The thumbnails are drawn again only when the paper turns: each is a whole page painted.
    if (report.Page.Orientation != m_orientation) {
        m_orientation = report.Page.Orientation;
        refreshThumbs();
    }
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, report.PrevFormStyle == TFormStyle::fsStayOnTop);
    setWindowState(Qt::WindowNoState);
    m_asked = QSize(report.ReadPreviewWidth(), report.ReadPreviewHeight());
    fitFrameToScreen();
    m_frameToFit = !framed();
    if (report.PreviewInitialState == TWindowState::wsMaximized)
        setWindowState(Qt::WindowMaximized);
    m_minimizeOnShow = report.PreviewInitialState == TWindowState::wsMinimized;
    switch (report.PrevInitialZoom) {
    case TBRZoomState::brZoomToFit:
        ZoomToFit();
        break;
    case TBRZoomState::brZoomToWidth:
        ZoomToWidth();
        break;
    case TBRZoomState::brZoomOther:
        SetZoom(report.Zoom());
        pressZoomButton(report.Zoom() == 100 ? Zoom100 : nullptr);
        break;
    }
    if (visible)
        show();
    if (isVisible())
        minimizeIfAsked();
}

// The size asked for, but the whole frame on the screen's free area, centred
// on it. Before the window manager frames the window (a moment after it
// shows) the frame is not known: the client area alone fits then.
void TBRStandardPreview::fitFrameToScreen()
{
    const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize size = m_asked.expandedTo(minimumSizeHint()).boundedTo(screen.size().shrunkBy(frame));
    const QSize outer = size.grownBy(frame);
    resize(size);
    move(screen.topLeft() + QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
}

bool TBRStandardPreview::framed() const
{
    return isVisible() && windowHandle() && !windowHandle()->frameMargins().isNull();
}

// Fitted again once, when the shown window first has its frame.
void TBRStandardPreview::fitFramedWindow()
{
    if (!m_frameToFit || windowState() != Qt::WindowNoState || !framed())
        return;
    m_frameToFit = false;
    fitFrameToScreen();
}

// A window manager takes the minimised state only from a window it has
// mapped: asked before, it opens the window normal. So it is asked once the
// window shows.
void TBRStandardPreview::minimizeIfAsked()
{
    if (std::exchange(m_minimizeOnShow, false))
        QMetaObject::invokeMethod(
            this, [this] { setWindowState(windowState() | Qt::WindowMinimized); }, Qt::QueuedConnection);
}

int TBRStandardPreview::PageNumber() const
{
    return m_image->PageNumber();
}

int TBRStandardPreview::Zoom() const
{
    return m_image->Zoom();
}

void TBRStandardPreview::SetPageNumber(int n)
{
    if (n == PageNumber() || n < 1 || n > m_printer->PageCount())
        return;
    m_image->ShowPage(n);
    m_scroll->horizontalScrollBar()->setValue(0);
    m_scroll->verticalScrollBar()->setValue(0);
    const QSignalBlocker block(ThumbGrid);
    ThumbGrid->setCurrentRow(n - 1);
    // A found page left behind is no longer the one shown.
    if (const QListWidgetItem *found = SearchResultBox->currentItem(); found && found->data(Qt::UserRole).toInt() != n)
        SearchResultBox->setCurrentRow(-1);
    updateStatus();
}

void TBRStandardPreview::SetZoom(int zoom)
{
    if (!TBRPreviewLogic::ZoomAccepted(zoom))
        return;
    m_fit = Fit::None;
    m_image->SetZoom(zoom);
}

void TBRStandardPreview::ZoomToFit()
{
    const QSize client = m_scroll->viewport()->size();
    const QSizeF page = m_image->PageSize();
    m_image->SetZoom(std::max(2, TBRPreviewLogic::FitZoom(client.width(), client.height(), page.width(), page.height())));
    m_fit = Fit::Page;
    pressZoomButton(ZoomFit);
}

void TBRStandardPreview::ZoomToWidth()
{
    m_image->SetZoom(std::max(2, TBRPreviewLogic::WidthZoom(m_scroll->viewport()->width(), m_image->PageSize().width())));
    m_fit = Fit::Width;
    pressZoomButton(ZoomWidth);
}

void TBRStandardPreview::zoom100()
{
    SetZoom(100);
    pressZoomButton(Zoom100);
}

void TBRStandardPreview::pressZoomButton(QToolButton *pressed)
{
    for (QToolButton *b : {ZoomFit, ZoomWidth, Zoom100})
        b->setChecked(b == pressed);
}

// A fit is measured on the page area as it now stands.
void TBRStandardPreview::applyFit()
{
    if (m_fit == Fit::Page)
        ZoomToFit();
    else if (m_fit == Fit::Width)
        ZoomToWidth();
}

void TBRStandardPreview::closeWindow()
{
    close();
}

void TBRStandardPreview::first()
{
    SetPageNumber(1);
}

void TBRStandardPreview::previous()
{
    SetPageNumber(PageNumber() - 1);
}

void TBRStandardPreview::next()
{
    SetPageNumber(PageNumber() + 1);
}

void TBRStandardPreview::last()
{
    SetPageNumber(m_printer->PageCount());
}

void TBRStandardPreview::GotoPageEntry(const QString &entry)
{
    const int n = TBRPreviewLogic::GotoPage(entry, m_printer->PageCount());
    if (n == PageNumber())
        return;
    SetPageNumber(n);
}

void TBRStandardPreview::askGoto()
{
    QInputDialog ask(this);
    const QString title = QStringLiteral("Alegeți o pagină de la 1 la %1").arg(m_printer->PageCount());
    ask.setWindowTitle(title);
    ask.setLabelText(QStringLiteral("Numărul paginii"));
    ask.setTextValue(QString::number(PageNumber()));
    // Wide enough for the whole title beside the title bar's buttons.
    if (auto *edit = ask.findChild<QLineEdit *>())
        edit->setMinimumWidth(ask.fontMetrics().horizontalAdvance(title) * 5 / 4 + 100);
    ask.setCancelButtonText(QStringLiteral("Renunță"));
    if (ask.exec() == QDialog::Accepted)
        GotoPageEntry(ask.textValue());
}

void TBRStandardPreview::Search(const QString &text, bool matchCase)
{
    SearchResultBox->clear();
    const QList<int> pages = TBRPreviewLogic::SearchPages(*m_printer, text, matchCase);
    for (int n : pages) {
        auto *item = new QListWidgetItem(QStringLiteral("Pagina %1").arg(n), SearchResultBox);
        item->setData(Qt::UserRole, n);
    }
    if (pages.isEmpty())
        SearchResultBox->addItem(QStringLiteral("Nu s-a găsit textul"));
    SearchResultBox->setEnabled(!pages.isEmpty());
}

void TBRStandardPreview::askSearch()
{
    Tabs->setCurrentIndex(1);
    Search(SearchEdit->text(), MatchCase->isChecked());
}

// The tool button searches for the text entered, or asks for one.
void TBRStandardPreview::findClicked()
{
    if (!SearchEdit->text().isEmpty()) {
        askSearch();
        return;
    }
    Tabs->setVisible(true);
    Tabs->setCurrentIndex(1);
    SearchEdit->setFocus();
}

bool TBRStandardPreview::FollowLink(const QString &link)
{
    const QUrl url = TBRPreviewLogic::LinkUrl(link);
    return !url.isEmpty() && QDesktopServices::openUrl(url);
}

void TBRStandardPreview::error(const QString &what, const std::exception &e)
{
    QMessageBox::warning(this, windowTitle(), what + QStringLiteral("\n\n") + QString::fromUtf8(e.what()));
}

void TBRStandardPreview::SaveTo(const QString &path)
{
    m_printer->SaveToFile(TBRPreviewLogic::WithReportExtension(path));
}

void TBRStandardPreview::SavePdfTo(const QString &path)
{
    m_printer->SaveToPdf(path);
}

void TBRStandardPreview::LoadFrom(const QString &path)
{
    m_printer->LoadFromFile(path);
    m_orientation = m_printer->Settings().Orientation;
    StatusFile->setText(QFileInfo(path).fileName());
    m_image->ShowPage(1);
    refreshThumbs();
    pageAvailable();
}

void TBRStandardPreview::SaveAs(const QString &path, int format)
{
    const std::vector<TBRExportFormat> &formats = TBRExportFilters::Registered();
    if (format < 1 || format > int(formats.size())) {
        SaveTo(path);
        return;
    }
    const TBRExportFormat &f = formats[size_t(format - 1)];
    const QString target = TBRPreviewLogic::WithExtension(path, f.Extension);
    const std::unique_ptr<TBRExportFilter> filter = f.Make(target);
    m_printer->ExportTo(*filter, target);
}

std::unique_ptr<QFileDialog> TBRStandardPreview::FileDialog(QWidget *parent, const QString &title,
                                                            const QStringList &filters, bool save)
{
    std::unique_ptr<QFileDialog> dialog = ChooserDialog::file(parent, title, filters.join(QStringLiteral(";;")), save, {});
    // Qt's own dialog matches the patterns without regard to case; a desktop's may not.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails, false); // these filters name their pattern once
    return dialog;
}

QString TBRStandardPreview::askFile(const QString &title, const QStringList &filters, bool save, int *chosen)
{
    const std::unique_ptr<QFileDialog> dialog = FileDialog(this, title, filters, save);
    const QString path = ChooserDialog::run(*dialog, ChooserDialog::kind(filters.join(QStringLiteral(";;"))));
    if (!path.isEmpty() && chosen)
        *chosen = int(filters.indexOf(dialog->selectedNameFilter()));
    return path;
}

void TBRStandardPreview::askSave()
{
    int chosen = 0;
    const QString path = askFile(QStringLiteral("Salvare raport"), TBRPreviewLogic::SaveFilters(), true, &chosen);
    if (path.isEmpty())
        return;
    try {
        SaveAs(path, TBRPreviewLogic::SaveFormat(path, chosen));
    } catch (const std::exception &e) {
        error(QStringLiteral("Raportul nu a putut fi salvat."), e);
    }
}

void TBRStandardPreview::askLoad()
{
    const QString path = askFile(QStringLiteral("Încărcare raport"), {TBRPreviewLogic::ReportFilter()}, false, nullptr);
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path)) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Fișierul nu există: ") + path);
        return;
    }
    try {
        LoadFrom(path);
    } catch (const std::exception &e) {
        error(QStringLiteral("Raportul salvat nu a putut fi încărcat."), e);
    }
}

void TBRStandardPreview::askPdf()
{
    const QString path = TBRReportPrint::AskPdfPath(this);
    if (path.isEmpty())
        return;
    try {
        SavePdfTo(path);
    } catch (const std::exception &e) {
        error(QStringLiteral("Fișierul PDF nu a putut fi scris."), e);
    }
}

void TBRStandardPreview::askPrint()
{
    if (!TBRPrinter::PrintersInstalled()) {
        if (TBRReportPrint::OfferPdf(this, windowTitle()))
            askPdf();
        return;
    }
    switch (TBRPreviewLogic::PrintWayOf(*m_printer, m_report != nullptr)) {
    case TBRPreviewLogic::PrintWay::RunAgain:
        TBRReportPrint::Print(*m_report, this);
        return;
    case TBRPreviewLogic::PrintWay::StoredPages:
        printStored();
        return;
    case TBRPreviewLogic::PrintWay::Nothing:
        return;
    }
}

void TBRStandardPreview::printStored()
{
    TBRPrintDialog dialog;
    dialog.MinPage = 1;
    dialog.MaxPage = m_printer->PageCount();
    // The range chosen in the printer setup stands until changed here.
    if (m_printer->FirstPage > 0 || m_printer->LastPage > 0) {
        dialog.PrintRange = TBRPrintDialog::Range::PageNums;
        dialog.FromPage = std::max(1, m_printer->FirstPage);
        dialog.ToPage = m_printer->LastPage > 0 ? m_printer->LastPage : dialog.MaxPage;
    }
    if (!dialog.Execute(m_printer->Printer(), this))
        return;
    const bool range = dialog.PrintRange == TBRPrintDialog::Range::PageNums;
    m_printer->FirstPage = range ? dialog.FromPage : 0;
    m_printer->LastPage = range ? dialog.ToPage : 0;
    TBRProgressForm progress(this);
    progress.SetPrinter(m_printer.get());
    progress.show();
    m_printer->PrintPages(m_printer->Printer());
}

void TBRStandardPreview::PrinterSetup()
{
    const bool intoReport = m_report && !m_printer->FromFile();
    const bool finished = m_printer->status() == TBRPrinter::Status::Finished;
    TBRPrintDialog dialog;
    dialog.Title = QStringLiteral("Configurare imprimantă");
    TBRPrinterSetup::Preset(dialog, intoReport ? m_report->PrinterSettings : m_printer->Choices(),
                            intoReport ? m_report->Page.Orientation : m_printer->Settings().Orientation,
                            finished ? m_printer->PageCount() : 0);
    QPrinter &printer = m_printer->Printer();
    printer.setCopyCount(dialog.Copies);
    printer.setPageOrientation(dialog.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (dialog.Execute(printer, this))
        ApplySetup(dialog);
    // The pages keep the paper and orientation they were laid out on.
    m_printer->Settings().ApplySettings();
}

void TBRStandardPreview::ApplySetup(const TBRPrintDialog &dialog)
{
    const bool intoReport = m_report && !m_printer->FromFile();
    TBRPrinterSettings chosen = intoReport ? m_report->PrinterSettings : m_printer->Choices();
    TBRPrinterSetup::TakeBack(dialog, m_printer->Printer().printerName(), chosen);
    m_printer->TakeSettings(chosen);
    if (intoReport)
        static_cast<TBRPrinterSettings &>(m_report->PrinterSettings) = chosen;
}

void TBRStandardPreview::RefreshOutline()
{
    const std::vector<TBROutlineEntry> &entries = m_printer->Outline().Entries();
    if (entries.size() == m_outlineCount)
        return;
    m_outlineCount = entries.size();
    const QSignalBlocker block(OutlineTree);
    OutlineTree->clear();
    const std::vector<int> parents = m_printer->Outline().Parents();
    std::vector<QTreeWidgetItem *> nodes;
    for (size_t i = 0; i < entries.size(); ++i) {
        auto *node = parents[i] < 0 ? new QTreeWidgetItem(OutlineTree) : new QTreeWidgetItem(nodes[size_t(parents[i])]);
        node->setText(0, entries[i].caption);
        node->setData(0, Qt::UserRole, entries[i].id);
        nodes.push_back(node);
    }
    OutlineTree->expandAll();
    Tabs->setTabVisible(2, !entries.empty());
    showTabsInUse();
}

void TBRStandardPreview::outlineChosen()
{
    if (const QTreeWidgetItem *node = OutlineTree->currentItem()) {
        const int page = m_printer->Outline().Find(node->data(0, Qt::UserRole).toInt()).second;
        if (page > 0)
            SetPageNumber(page);
    }
}

void TBRStandardPreview::updateStatus()
{
    StatusPage->setText(TBRPreviewLogic::PageText(PageNumber(), m_printer->PageCount()));
}

void TBRStandardPreview::refreshThumbs()
{
    const QSignalBlocker block(ThumbGrid);
    ThumbGrid->clear();
    // The paper's proportions, as the pages lie.
    const QSize size = m_orientation == QPageLayout::Landscape ? QSize(128, 90) : QSize(90, 128);
    ThumbGrid->setIconSize(size);
    for (int n = 1; n <= m_printer->PageCount(); ++n) {
        QImage thumb(size, QImage::Format_RGB32);
        thumb.fill(Qt::white);
        if (const auto page = m_printer->Page(n)) {
            QPainter p(&thumb);
            TBRPagePainter::Paint(p, *page, QRectF(QPointF(0, 0), size));
            p.setPen(Qt::darkGray);
            p.drawRect(thumb.rect().adjusted(0, 0, -1, -1));
        }
        ThumbGrid->addItem(new QListWidgetItem(QIcon(QPixmap::fromImage(thumb)), QString::number(n)));
    }
    ThumbGrid->setCurrentRow(PageNumber() - 1);
}

void TBRStandardPreview::pageAvailable()
{
    // While the report still runs, nothing may load, print or save over it.
    const bool finished = m_printer->status() == TBRPrinter::Status::Finished || m_printer->FromFile();
    for (QToolButton *b : {PrintSetup, PrintButton, SavePdf, SaveReport, LoadReport})
        b->setEnabled(finished);
    if (PageNumber() == 0)
        m_image->ShowPage(1);
    refreshThumbs();
    RefreshOutline();
    updateStatus();
    m_image->update();
}

void TBRStandardPreview::scrollStep(int direction)
{
    QScrollBar *bar = m_scroll->verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before + direction * bar->singleStep());
    if (bar->value() != before)
        return;
    if (direction < 0 && PageNumber() > 1) {
        previous();
        bar->setValue(bar->maximum());
    } else if (direction > 0) {
        next();
    }
}

bool TBRStandardPreview::previewKey(const QKeyEvent &e)
{
    const bool ctrl = e.modifiers() & Qt::ControlModifier;
    switch (e.key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_PageUp:
        ctrl ? first() : previous();
        return true;
    case Qt::Key_PageDown:
        ctrl ? last() : next();
        return true;
    case Qt::Key_Home:
        first();
        return true;
    case Qt::Key_End:
        last();
        return true;
    case Qt::Key_Up:
        scrollStep(-1);
        return true;
    case Qt::Key_Down:
        scrollStep(1);
        return true;
    default:
        return false;
    }
}

bool TBRStandardPreview::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress && !qobject_cast<QLineEdit *>(watched) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this)
        return previewKey(*static_cast<QKeyEvent *>(e));
    return QDialog::eventFilter(watched, e);
}

void TBRStandardPreview::keyPressEvent(QKeyEvent *e)
{
    if (!previewKey(*e))
        QDialog::keyPressEvent(e);
}

void TBRStandardPreview::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    applyFit();
    fitFramedWindow();
    minimizeIfAsked();
}

void TBRStandardPreview::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    applyFit();
    fitFramedWindow();
}

void TBRStandardPreview::moveEvent(QMoveEvent *e)
{
    QDialog::moveEvent(e);
    fitFramedWindow();
}

void TBRStandardPreview::closeEvent(QCloseEvent *e)
{
    m_printer->ClosePreview();
    QDialog::closeEvent(e);
}
