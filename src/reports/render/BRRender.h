#pragma once
#include "reports/layout/BRLaidPage.h"
#include <functional>

class TBRCanvas;
class TBRCompositeReport;
class TBRExportFilter;
class TBRPrinter;
class TBRLayout;
struct TBandReport;

// Draws laid-out pages through the report printer: onto its page store (for
// the preview, saving and PDF) or straight onto a printer.
class TBRRender
{
public:
    // One page: a new printer page with every item drawn on it.
    static void DrawPage(const TBRLaidPage &page, TBRPrinter &printer);
    // Gives the printer the report's paper, title and settings.
    static void SetUp(const TBandReport &report, TBRPrinter &printer);
    // Runs the report once onto the printer: pages are drawn as they are laid
    // out, and told to the export filter when one is given (finished at the
    // end of a completed run). A cancelled run closes the job at once; true
    // when it completed.
    static bool Run(TBRLayout &layout, const TBandReport &report, TBRPrinter &printer, TBRExportFilter *filter = nullptr);
    // Runs a composite job onto one printer, set up from its first report.
    static bool Run(TBRCompositeReport &job, TBRPrinter &printer, TBRExportFilter *filter = nullptr);
    // Tells an export filter one laid-out page: its start, every band's end
    // (after the band's contents), texts, shapes, fills and pictures, and its end.
    static void ExportPage(const TBRLaidPage &page, TBRExportFilter &filter);

private:
    static bool runJob(const TBandReport &report, TBRPrinter &printer, TBRExportFilter *filter,
                       const std::function<void()> &run, const std::function<bool()> &cancelled);
    static void output(const TBRLaidPage &page, TBRPrinter &printer, TBRExportFilter *filter);
    static void addOutline(const TBRLaidItem &item, TBRPrinter &printer);
    static void drawItem(const TBRLaidItem &item, TBRPrinter &printer, TBRCanvas &canvas);
    static void drawFrame(const QRectF &rect, const TBRFrame &frame, TBRCanvas &canvas);
    static void drawShape(const TBRLaidItem &item, const QRectF &r, TBRCanvas &canvas);
};
