#pragma once

#include "reports/pages/BRPageList.h"
#include "reports/print/BRCanvas.h"
#include "reports/print/PrinterSettings.h"

#include <QObject>
#include <QPrinter>

#include <memory>
#include <optional>

class QPagedPaintDevice;
class TBRExportFilter;

// The output end of a report run: it opens a job, gives the report a canvas
// for each page and closes the job. Pages go to the page store (for the
// preview, saving and later printing) or straight to a printer. Lengths come
// in tenths of a millimetre and are turned into page pixels by the factors.
class TBRPrinter : public QObject
{
    Q_OBJECT
public:
    enum class Destination { PageStore = 0, Printer = 1 };
    enum class Status { Idle = 0, Busy = 1, Finished = 2 };

    explicit TBRPrinter(const TBRPrinterSettings &owner = TBRPrinterSettings(), QObject *parent = nullptr);
    ~TBRPrinter() override;

    // The application's one printer, shared by every report that asks for it.
    static QPrinter &StandardPrinter();
    static bool PrintersInstalled();

    // Copies a report's printing choices into the printer settings.
    void TakeSettings(const TBRPrinterSettings &s);
    // The printing choices the printer holds, as a report keeps them.
    TBRPrinterSettings Choices() const;
    TPrinterSettings &Settings() { return *m_settings; }
    QPrinter &Printer() { return *m_printer; }
    void SetPrinterIndex(int index);

    Destination destination() const { return m_destination; }
    void SetDestination(Destination d) { m_destination = d; }
    void SetTitle(const QString &title) { m_title = title; }
    const QString &Title() const { return m_title; }
    void SetCompression(bool on) { m_pages.SetCompression(on); }
    int FirstPage = 0, LastPage = 0;

    void BeginDoc();
    void NewPage();
    void EndDoc();
    // Closes the job at once: a printer job is aborted, an open stored page is kept.
    void Abort();
    void Cancel() { m_cancelled = true; }
    bool Cancelled() const { return m_cancelled; }
    Status status() const { return m_status; }

    // The canvas of the open page (nullptr when none is open).
    TBRCanvas *Canvas() { return m_canvas.get(); }
    int PageCount() const { return m_pageCount; }
    int PageNumber() const { return m_pageNumber; }

    // Native lengths (tenths of a millimetre) as page pixels.
    double XFactor() const { return m_xFactor; }
    double YFactor() const { return m_yFactor; }
    double XPos(double native) const { return (native - m_leftOffset) * m_xFactor; }
    double YPos(double native) const { return (native - m_topOffset) * m_yFactor; }
    double XSize(double native) const { return native * m_xFactor; }
    double YSize(double native) const { return native * m_yFactor; }
    // Paper width and length in page pixels, as the page lies (landscape swaps them).
    double PaperWidthPx() const;
    double PaperLengthPx() const;

    // Stored pages of a finished job.
    std::optional<TBRPageBody> Page(int n) { return m_pages.ReadPage(n); }
    TBRPageList &PageList() { return m_pages; }
    TBROutline &Outline() { return m_pages.Outline(); }
    bool FromFile() const { return m_fromFile; }

    // Opens a saved report and guesses its paper from page 1; raises EBRError.
    void LoadFromFile(const QString &path);
    // Writes the stored pages of a finished job (durably).
    void SaveToFile(const QString &path);
    // Draws the stored pages from FirstPage (or 1) to LastPage (or the last)
    // on a paged device, one device page each; false when cancelled. With
    // ownSheets each page keeps its own size, else it fills the device's paper.
    bool PrintPages(QPagedPaintDevice &device, bool ownSheets = false);
    // A finished job whose pages came from a run, not from a file, and are
    // not to be printed as stored: the report prints itself again instead.
    bool PrintsAgain() const;
    // The preview's Print: the pages of a report run are made again by the
    // report (PrintAgainRequested) unless they are to be printed as stored;
    // stored and loaded pages go to the printer.
    void PrintStored();
    // Passes the stored pages of a finished job through an export filter
    // and finishes it; `path` names the target in the error of an unfinished job.
    void ExportTo(TBRExportFilter &filter, const QString &path);
    // The stored pages as a PDF file, written through the durable-write path.
    void SaveToPdf(const QString &path);

    // Progress of the run in percent, passed on to the form that shows it.
    void SetProgress(int percent);
    // The preview tells the printer it closes: a busy job is cancelled.
    void ClosePreview();
    bool PreviewShowing = false;

signals:
    void ProgressChanged(int percent);
    void PageAvailable(int pageCount);
    void AfterPrint();
    void AfterPreview();
    void PrintAgainRequested();

private:
    bool inPrintRange() const;
    // The first and last stored page FirstPage and LastPage choose (first > last: none).
    std::pair<int, int> storedRange() const;
    void requireFinished(const QString &path) const;
    void storeOpenPage();
    void startCanvas();
    void guessPaper();

    std::unique_ptr<QPrinter> m_ownPrinter;
    QPrinter *m_printer;
    std::unique_ptr<TPrinterSettings> m_settings;
    std::unique_ptr<QPainter> m_painter; // on the printer, while a printer job runs
    std::unique_ptr<TBRCanvas> m_canvas;
    TBRPageList m_pages;
    Destination m_destination = Destination::PageStore;
    Status m_status = Status::Idle;
    QString m_title;
    int m_pageCount = 0;
    int m_pageNumber = 0;
    int m_printedPages = 0;
    int m_lastProgress = -1;
    bool m_cancelled = false;
    bool m_fromFile = false;
    double m_xFactor = 96.0 / 254, m_yFactor = 96.0 / 254;
    double m_leftOffset = 0, m_topOffset = 0;
};
