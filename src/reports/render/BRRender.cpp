#include "reports/render/BRRender.h"

#include "reports/layout/BRCompositeReport.h"
#include "reports/layout/BRLayout.h"
#include "reports/print/BRExportFilter.h"
#include "reports/print/BRPrinter.h"

#include <optional>

namespace {

QRectF toPixels(const TBRPrinter &p, const QRectF &r)
{
    return QRectF(p.XPos(r.left()), p.YPos(r.top()), p.XSize(r.width()), p.YSize(r.height()));
}

// Pen widths are points: the same line on the screen's page and on a printer's.
QPen penOf(const QColor &color, double points, Qt::PenStyle style, const TBRCanvas &canvas)
{
    return QPen(QBrush(color), points * canvas.Page().DpiY / 72, style);
}

TBRExportFilter::Shape exportShape(TBRShapeType type)
{
    switch (type) {
    case TBRShapeType::brsRectangle:
        return TBRExportFilter::Shape::Rectangle;
    case TBRShapeType::brsCircle:
        return TBRExportFilter::Shape::Ellipse;
    case TBRShapeType::brsRoundRect:
        return TBRExportFilter::Shape::RoundRect;
    default:
        return TBRExportFilter::Shape::Line;
    }
}

} // namespace

void TBRRender::SetUp(const TBandReport &report, TBRPrinter &printer)
{
    printer.TakeSettings(report.PrinterSettings);
    TPrinterSettings &s = printer.Settings();
    s.Orientation = report.Page.Orientation;
    const bool custom = report.Page.PaperSize == TBRPaperSize::Custom || report.Page.PaperSize == TBRPaperSize::Default;
    s.SetPaperSize(custom ? TBRPaperSize::Custom : report.Page.PaperSize);
    if (custom) {
        const bool land = report.Page.Orientation == QPageLayout::Landscape;
        s.PaperWidth = land ? report.Page.Length : report.Page.Width;
        s.PaperLength = land ? report.Page.Width : report.Page.Length;
    }
    printer.SetTitle(report.ReportTitle);
    printer.SetCompression(report.HasOption(TBandReportOption::Compression));
}

bool TBRRender::Run(TBRLayout &layout, const TBandReport &report, TBRPrinter &printer, TBRExportFilter *filter)
{
    layout.OnPage = [&printer, filter](const TBRLaidPage &page) { output(page, printer, filter); };
    layout.OnProgress = [&printer, &layout](int percent) {
        printer.SetProgress(percent);
        if (printer.Cancelled())
            layout.Cancel();
    };
    return runJob(report, printer, filter, [&layout] { layout.Run(); }, [&layout] { return layout.Cancelled(); });
}

bool TBRRender::Run(TBRCompositeReport &job, TBRPrinter &printer, TBRExportFilter *filter)
{
    if (job.Reports.empty())
        return false;
    job.OnPage = [&printer, &job, filter](const TBRLaidPage &page) {
        output(page, printer, filter);
        if (printer.Cancelled())
            job.Cancel();
    };
    return runJob(*job.Reports.front(), printer, filter, [&job] { job.Run(); }, [&job] { return job.Cancelled(); });
}

bool TBRRender::runJob(const TBandReport &report, TBRPrinter &printer, TBRExportFilter *filter,
                       const std::function<void()> &run, const std::function<bool()> &cancelled)
{
    SetUp(report, printer);
    printer.BeginDoc();
    try {
        run();
    } catch (...) {
        printer.Abort();
        throw;
    }
    if (cancelled() || printer.Cancelled()) {
        printer.Abort();
        return false;
    }
    printer.EndDoc();
    if (filter)
        filter->Finish();
    return true;
}

void TBRRender::output(const TBRLaidPage &page, TBRPrinter &printer, TBRExportFilter *filter)
{
    DrawPage(page, printer);
    if (filter)
        ExportPage(page, *filter);
}

void TBRRender::ExportPage(const TBRLaidPage &page, TBRExportFilter &filter)
{
    filter.Begin(page.Width, page.Length);
    filter.NewPage();
    // A band's mark comes before its contents: it ends where the next band begins.
    std::optional<QRectF> band;
    const auto endBand = [&] {
        if (band)
            filter.EndBand(*band);
    };
    for (const TBRLaidItem &item : page.Items) {
        switch (item.kind) {
        case TBRLaidItem::Kind::Band:
            endBand();
            band = item.Rect;
            break;
        case TBRLaidItem::Kind::Fill:
            filter.ShapeOut(TBRExportFilter::Shape::Fill, item.Rect, item.Color);
            break;
        case TBRLaidItem::Kind::Frame:
            break;
        case TBRLaidItem::Kind::Text:
            filter.TextOut(item.Rect, item.Text, item.Font, item.Align);
            break;
        case TBRLaidItem::Kind::Shape:
            filter.ShapeOut(exportShape(item.Shape), item.Rect,
                            item.Brush.Style == Qt::NoBrush ? QColor(Qt::transparent) : item.Brush.Color);
            break;
        case TBRLaidItem::Kind::Image:
            filter.PictureOut(item.Rect, item.Picture);
            break;
        }
    }
    endBand();
    filter.EndPage();
}

void TBRRender::DrawPage(const TBRLaidPage &page, TBRPrinter &printer)
{
    printer.NewPage();
    TBRCanvas &canvas = *printer.Canvas();
    for (const TBRLaidItem &item : page.Items) {
        drawItem(item, printer, canvas);
        if (item.kind == TBRLaidItem::Kind::Text && item.OutlineLevel >= 0)
            addOutline(item, printer);
    }
}

void TBRRender::addOutline(const TBRLaidItem &item, TBRPrinter &printer)
{
    TBROutline &outline = printer.Outline();
    // A group header printed again on a new page continues the entry before it.
    const QString caption = item.Text.trimmed();
    if (!outline.Entries().empty() && outline.Entries().back().level == item.OutlineLevel
        && outline.Entries().back().caption == caption.left(TBROutlineEntry::MaxCaption))
        return;
    TBROutlineEntry e;
    e.caption = caption;
    e.level = item.OutlineLevel;
    e.rect = toPixels(printer, item.Rect).toRect();
    e.page = printer.PageNumber();
    e.id = int(outline.Entries().size()) + 1;
    outline.Add(std::move(e));
}

void TBRRender::drawItem(const TBRLaidItem &item, TBRPrinter &printer, TBRCanvas &canvas)
{
    const QRectF r = toPixels(printer, item.Rect);
    switch (item.kind) {
    case TBRLaidItem::Kind::Band:
        break;
    case TBRLaidItem::Kind::Fill:
        canvas.FillRect(r, item.Color);
        break;
    case TBRLaidItem::Kind::Frame:
        drawFrame(r, item.Frame, canvas);
        break;
    case TBRLaidItem::Kind::Text:
        canvas.SetFont(item.Font, item.Color);
        // Top-aligned in its line: a line the band ends across loses its lower part.
        canvas.TextRect(item.Clip.isNull() ? r : toPixels(printer, item.Rect.intersected(item.Clip)), item.Text, item.Align,
                        true, item.RightToLeft);
        break;
    case TBRLaidItem::Kind::Shape:
        drawShape(item, r, canvas);
        break;
    case TBRLaidItem::Kind::Image:
        canvas.StretchDraw(r, item.Picture);
        break;
    }
}

void TBRRender::drawFrame(const QRectF &r, const TBRFrame &frame, TBRCanvas &canvas)
{
    canvas.SetPen(penOf(frame.Color, frame.Width, frame.Style, canvas));
    if (frame.DrawTop)
        canvas.Line(r.topLeft(), r.topRight());
    if (frame.DrawBottom)
        canvas.Line(r.bottomLeft(), r.bottomRight());
    if (frame.DrawLeft)
        canvas.Line(r.topLeft(), r.bottomLeft());
    if (frame.DrawRight)
        canvas.Line(r.topRight(), r.bottomRight());
}

void TBRRender::drawShape(const TBRLaidItem &item, const QRectF &r, TBRCanvas &canvas)
{
    canvas.SetPen(penOf(item.Pen.Color, item.Pen.Width, item.Pen.Style, canvas));
    canvas.SetBrush(item.Brush.Style == Qt::NoBrush ? QBrush(Qt::NoBrush) : QBrush(item.Brush.Color));
    const double midX = std::floor(r.left() + r.width() / 2), midY = std::floor(r.top() + r.height() / 2);
    switch (item.Shape) {
    case TBRShapeType::brsRectangle:
        canvas.Rectangle(r);
        break;
    case TBRShapeType::brsCircle:
        canvas.Ellipse(r);
        break;
    case TBRShapeType::brsVertLine:
        canvas.Line(QPointF(midX, r.top()), QPointF(midX, r.bottom()));
        break;
    case TBRShapeType::brsHorLine:
        canvas.Line(QPointF(r.left(), midY), QPointF(r.right(), midY));
        break;
    case TBRShapeType::brsTopAndBottom:
        canvas.Line(r.topLeft(), r.topRight());
        canvas.Line(QPointF(r.left(), r.bottom() - 1), QPointF(r.right(), r.bottom() - 1));
        break;
    case TBRShapeType::brsRightAndLeft:
        canvas.Line(r.topLeft(), r.bottomLeft());
        canvas.Line(QPointF(r.right() - 1, r.top()), QPointF(r.right() - 1, r.bottom()));
        break;
    case TBRShapeType::brsRoundRect: {
        const double corner = std::trunc(r.width() * item.RoundFactor);
        canvas.RoundRect(r, corner / 2, corner / 2);
        break;
    }
    }
}
