#pragma once
#include "reports/layout/BRLaidPage.h"
#include <functional>

class TBRCanvas;
class TBRCompositeReport;
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
    // out. A cancelled run closes the job at once; true when it completed.
    static bool Run(TBRLayout &layout, const TBandReport &report, TBRPrinter &printer);
    // Runs a composite job onto one printer, set up from its first report.
    static bool Run(TBRCompositeReport &job, TBRPrinter &printer);

private:
    static bool runJob(const TBandReport &report, TBRPrinter &printer, const std::function<void()> &run,
                       const std::function<bool()> &cancelled);
    static void drawItem(const TBRLaidItem &item, TBRPrinter &printer, TBRCanvas &canvas);
    static void drawFrame(const QRectF &rect, const TBRFrame &frame, TBRCanvas &canvas);
    static void drawShape(const TBRLaidItem &item, const QRectF &r, TBRCanvas &canvas);
};
