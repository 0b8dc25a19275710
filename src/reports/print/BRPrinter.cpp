#include "reports/print/BRPrinter.h"

#include "platform/io/DurableFile.h"
#include "reports/eval/BRError.h"
#include "reports/eval/BRMessages.h"
#include "reports/print/BRExportFilter.h"
#include "reports/print/BRPagePainter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QScreen>

namespace {

constexpr double NativePerInch = 254.0;

double screenFactor()
{
    const QScreen *s = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
    return (s ? s->logicalDotsPerInchX() : 96.0) / NativePerInch;
}

// Gives the device's next sheet the size of the stored page (turned as the
// page lies) when its own differs.
void takeSheetOf(QPagedPaintDevice &device, const TBRPageBody &page)
{
    const QSizeF mm(page.Width / page.DpiX * 25.4, page.Height / page.DpiY * 25.4);
    const QSizeF sheet = device.pageLayout().fullRect(QPageLayout::Millimeter).size();
    if (qAbs(sheet.width() - mm.width()) < 0.5 && qAbs(sheet.height() - mm.height()) < 0.5)
        return;
    const bool landscape = mm.width() > mm.height();
    device.setPageLayout(QPageLayout(QPageSize(landscape ? mm.transposed() : mm, QPageSize::Millimeter),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
}

// A printer that reports a resolution too low to be true gets the screen's.
double printerFactor(int dpi)
{
    const double f = dpi / NativePerInch;
    return f > 0.1 ? f : 96.0 / NativePerInch;
}

} // namespace

TBRPrinter::TBRPrinter(const TBRPrinterSettings &owner, QObject *parent) : QObject(parent)
{
    if (owner.UseStandardprinter) {
        m_printer = &StandardPrinter();
    } else {
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer = m_ownPrinter.get();
    }
    m_settings = std::make_unique<TPrinterSettings>(m_printer);
    if (PrintersInstalled())
        m_settings->ReadSettings();
    m_settings->UseStandardprinter = owner.UseStandardprinter;
    m_settings->MemoryLimit = owner.MemoryLimit;
}

TBRPrinter::~TBRPrinter()
{
    if (m_status == Status::Busy) {
        m_cancelled = true;
        Abort();
    }
}

QPrinter &TBRPrinter::StandardPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

bool TBRPrinter::PrintersInstalled()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void TBRPrinter::SetPrinterIndex(int index)
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (index >= 0 && index < names.size())
        m_printer->setPrinterName(names[index]);
    else if (PrintersInstalled())
        m_printer->setPrinterName(QPrinterInfo::defaultPrinterName());
    if (PrintersInstalled())
        m_settings->ReadSettings();
}

void TBRPrinter::TakeSettings(const TBRPrinterSettings &s)
{
    static_cast<TBRPrintChoices &>(*m_settings) = s;
    FirstPage = s.FirstPage;
    LastPage = s.LastPage;
}

TBRPrinterSettings TBRPrinter::Choices() const
{
    TBRPrinterSettings s;
    static_cast<TBRPrintChoices &>(s) = *m_settings;
    s.UseStandardprinter = m_settings->UseStandardprinter;
    s.FirstPage = FirstPage;
    s.LastPage = LastPage;
    return s;
}

double TBRPrinter::PaperWidthPx() const
{
    const TPrinterSettings &s = *m_settings;
    return (s.Orientation == QPageLayout::Landscape ? s.PaperLength : s.PaperWidth) * m_xFactor;
}

double TBRPrinter::PaperLengthPx() const
{
    const TPrinterSettings &s = *m_settings;
    return (s.Orientation == QPageLayout::Landscape ? s.PaperWidth : s.PaperLength) * m_yFactor;
}

void TBRPrinter::BeginDoc()
{
    if (m_status != Status::Idle)
        throw EBRError(QString::fromLatin1(BRText::PrinterNotReady));
    m_canvas.reset();
    m_pageCount = m_pageNumber = m_printedPages = 0;
    m_cancelled = false;
    m_lastProgress = -1;
    if (m_destination == Destination::Printer) {
        m_settings->ApplySettings();
        m_settings->ReadOffsets();
        m_leftOffset = m_settings->LeftOffset;
        m_topOffset = m_settings->TopOffset;
        m_xFactor = printerFactor(m_printer->resolution());
        m_yFactor = printerFactor(m_printer->resolution());
    } else {
        m_leftOffset = m_topOffset = 0;
        m_pages.SetStream(std::make_unique<TBRStream>(m_settings->MemoryLimit));
        m_xFactor = m_yFactor = screenFactor();
    }
    m_status = Status::Busy;
}

bool TBRPrinter::inPrintRange() const
{
    return !(FirstPage > 0 && FirstPage > m_pageCount) && !(LastPage > 0 && LastPage < m_pageCount);
}

void TBRPrinter::startCanvas()
{
    m_canvas = std::make_unique<TBRCanvas>(PaperWidthPx(), PaperLengthPx(), m_xFactor * NativePerInch,
                                           m_yFactor * NativePerInch);
}

// The open page goes to the page store, or, when it lies in the range, onto
// the printer; a page outside the range is dropped.
void TBRPrinter::storeOpenPage()
{
    if (!m_canvas)
        return;
    const TBRPageBody page = m_canvas->TakePage();
    m_canvas.reset();
    if (m_destination == Destination::PageStore) {
        m_pages.AddPage(page);
    } else if (inPrintRange()) {
        if (!m_painter) {
            m_printer->setDocName(m_title);
            m_painter = std::make_unique<QPainter>();
            if (!m_painter->begin(m_printer))
                throw EBRError(QStringLiteral("Imprimanta nu poate incepe lucrarea \"%1\".").arg(m_title));
        } else {
            m_printer->newPage();
        }
        TBRPagePainter::Paint(*m_painter, page, QRectF(QPointF(0, 0), QSizeF(page.Width, page.Height)));
        ++m_printedPages;
    }
    emit PageAvailable(m_pageCount);
}

void TBRPrinter::NewPage()
{
    if (m_status != Status::Busy)
        throw EBRError(QString::fromLatin1(BRText::IllegalNewPage));
    storeOpenPage();
    ++m_pageCount;
    ++m_pageNumber;
    startCanvas();
}

void TBRPrinter::EndDoc()
{
    if (m_status != Status::Busy)
        return;
    storeOpenPage();
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
    m_status = Status::Finished;
    emit PageAvailable(m_pageCount);
    QCoreApplication::processEvents();
    if (m_destination == Destination::PageStore)
        m_pages.WritePageListHeader();
    else
        emit AfterPrint();
}

void TBRPrinter::Abort()
{
    if (m_destination == Destination::Printer) {
        m_canvas.reset();
        if (m_painter) {
            m_printer->abort();
            m_painter->end();
            m_painter.reset();
        }
    } else {
        storeOpenPage();
        m_pages.WritePageListHeader();
    }
    m_status = Status::Finished;
}

void TBRPrinter::SetProgress(int percent)
{
    if (percent == m_lastProgress)
        return;
    m_lastProgress = percent;
    emit ProgressChanged(percent);
}

void TBRPrinter::ClosePreview()
{
    if (!PreviewShowing)
        return;
    if (m_status == Status::Busy)
        Cancel();
    emit AfterPreview();
    PreviewShowing = false;
}

void TBRPrinter::LoadFromFile(const QString &path)
{
    if (m_status == Status::Busy)
        Abort();
    m_pages.LoadFromFile(path);
    m_pageCount = m_pages.PageCount();
    m_pageNumber = m_pageCount > 0 ? 1 : 0;
    guessPaper();
    m_status = Status::Finished;
    m_fromFile = true;
}

// The paper of a loaded report, from page 1 in 4-millimetre steps: the first
// of the sizes 1 to 26 that matches, upright or turned.
void TBRPrinter::guessPaper()
{
    const std::optional<TBRPageBody> page = m_pages.ReadPage(1);
    if (!page)
        return;
    const int w = int(page->Width / (page->DpiX / NativePerInch) / 40);
    const int h = int(page->Height / (page->DpiY / NativePerInch) / 40);
    for (int code = 1; code <= 26; ++code) {
        const QSizeF mm = paperMillimetres(TBRPaperSize(code));
        const int tw = int(mm.width() / 4), th = int(mm.height() / 4);
        if ((tw == w && th == h) || (tw == h && th == w)) {
            m_settings->SetPaperSize(TBRPaperSize(code));
            m_settings->Orientation = tw == w && th == h ? QPageLayout::Portrait : QPageLayout::Landscape;
            return;
        }
    }
}

void TBRPrinter::SaveToFile(const QString &path)
{
    if (m_status == Status::Finished)
        m_pages.SaveToFile(path);
}

std::pair<int, int> TBRPrinter::storedRange() const
{
    return {FirstPage > 0 ? FirstPage : 1, LastPage > 0 ? qMin(LastPage, m_pages.PageCount()) : m_pages.PageCount()};
}

bool TBRPrinter::PrintPages(QPagedPaintDevice &device, bool ownSheets)
{
    const auto [first, last] = storedRange();
    QPainter painter;
    bool started = false;
    for (int n = first; n <= last; ++n) {
        QCoreApplication::processEvents();
        if (m_cancelled)
            break;
        SetProgress(qRound(100.0 * (n - first + 1) / (last - first + 1)));
        m_pageNumber = n;
        const std::optional<TBRPageBody> page = m_pages.ReadPage(n);
        if (!page)
            continue;
        if (ownSheets)
            takeSheetOf(device, *page);
        if (!started) {
            if (!painter.begin(&device))
                throw EBRError(QStringLiteral("Paginile nu pot fi trimise spre imprimare (pagina %1).").arg(n));
            started = true;
        } else {
            device.newPage();
        }
        const QRect full = device.pageLayout().fullRectPixels(device.logicalDpiX());
        const QRect paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
        // The page covers the whole sheet; the device draws from its margin.
        TBRPagePainter::Paint(painter, *page, QRectF(QPointF(-paint.left(), -paint.top()), QSizeF(full.size())));
    }
    if (started)
        painter.end();
    return !m_cancelled;
}

bool TBRPrinter::PrintsAgain() const
{
    return m_status == Status::Finished && !m_fromFile && !m_settings->PrintMetaFile;
}

void TBRPrinter::PrintStored()
{
    if (m_status != Status::Finished)
        return;
    if (PrintsAgain()) {
        emit PrintAgainRequested();
        return;
    }
    if (!PrintersInstalled() && m_printer->outputFileName().isEmpty())
        return;
    m_cancelled = false;
    m_printer->setDocName(m_title);
    m_settings->ApplySettings();
    PrintPages(*m_printer);
}

void TBRPrinter::requireFinished(const QString &path) const
{
    if (m_status != Status::Finished)
        throw EBRError(QStringLiteral("Raportul nu este terminat: nu are pagini de salvat in \"%1\".").arg(path));
}

void TBRPrinter::ExportTo(TBRExportFilter &filter, const QString &path)
{
    requireFinished(path);
    for (int n = 1; n <= m_pages.PageCount(); ++n)
        if (const std::optional<TBRPageBody> page = m_pages.ReadPage(n))
            filter.ExportPage(*page);
    filter.Finish();
}

void TBRPrinter::SaveToPdf(const QString &path)
{
    requireFinished(path);
    // A file without pages is no PDF any reader opens.
    if (const auto [first, last] = storedRange(); first > last)
        throw EBRError(QStringLiteral("Raportul nu are nicio pagina de salvat: fisierul \"%1\" nu a fost scris.").arg(path));
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(m_title);
        pdf.setCreator(QStringLiteral("Kestrun"));
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(m_settings->pageSize(), m_settings->Orientation, QMarginsF()));
        PrintPages(pdf, true);
    }
    DurableFile::save(path, bytes);
}
