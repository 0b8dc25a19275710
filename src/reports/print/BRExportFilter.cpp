#include "reports/print/BRExportFilter.h"

#include "reports/print/BRPagePainter.h"
#include "reports/print/BRTextFilter.h"

void TBRExportFilter::Begin(double paperWidth, double paperLength)
{
    if (m_started)
        return;
    m_started = true;
    Start(paperWidth, paperLength);
}

void TBRExportFilter::ExportPage(const TBRPageBody &page)
{
    // Page pixels back into tenths of a millimetre.
    const double fx = page.DpiX > 0 ? 254.0 / page.DpiX : 1, fy = page.DpiY > 0 ? 254.0 / page.DpiY : 1;
    const auto native = [fx, fy](const QRectF &r) { return QRectF(r.left() * fx, r.top() * fy, r.width() * fx, r.height() * fy); };
    Begin(page.Width * fx, page.Height * fy);
    NewPage();
    QFont font;
    QColor pen = Qt::black, brush = Qt::white;
    for (const TBRPageItem &it : page.Items) {
        switch (it.kind) {
        case TBRItemKind::Font:
            font = TBRPagePainter::FontOf(it.font, it.font.pointSize);
            break;
        case TBRItemKind::Pen:
            pen = QColor::fromRgba(it.pen.color);
            break;
        case TBRItemKind::Brush:
            brush = it.brush.style == 0 ? QColor(Qt::transparent) : QColor::fromRgba(it.brush.color);
            break;
        case TBRItemKind::Text:
            TextOut(native(it.rect), it.text, font, TBRPagePainter::AlignmentOf(it.flags));
            break;
        case TBRItemKind::Line:
            ShapeOut(Shape::Line, native(it.rect), pen);
            break;
        case TBRItemKind::Rectangle:
            ShapeOut(Shape::Rectangle, native(it.rect), brush);
            break;
        case TBRItemKind::Ellipse:
            ShapeOut(Shape::Ellipse, native(it.rect), brush);
            break;
        case TBRItemKind::RoundRect:
            ShapeOut(Shape::RoundRect, native(it.rect), brush);
            break;
        case TBRItemKind::FillRect:
            ShapeOut(Shape::Fill, native(it.rect), QColor::fromRgba(it.color));
            break;
        case TBRItemKind::Image:
            PictureOut(native(it.rect), QImage::fromData(it.data));
            break;
        case TBRItemKind::Link:
            break;
        }
    }
    EndPage();
}

const std::vector<TBRExportFormat> &TBRExportFilters::Registered()
{
    static const std::vector<TBRExportFormat> formats{
        {QStringLiteral("Text simplu"), QStringLiteral("txt"),
         [](const QString &path) { return std::unique_ptr<TBRExportFilter>(new TBRTextFilter(path)); }},
    };
    return formats;
}
