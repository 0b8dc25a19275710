#include "reports/print/BRPagePainter.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

namespace {

QFont fontOf(const TBRFontSpec &spec, double pageDpi, const QPaintDevice *device)
{
    // In page pixels the text is pointSize * pageDpi / 72 high; the device
    // turns points into its own pixels, and the painter's scale does the rest.
    const double deviceDpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96.0;
    return TBRPagePainter::FontOf(spec, qMax(0.1, spec.pointSize * pageDpi / deviceDpi));
}

int textFlags(quint16 flags)
{
    // The layout has already swapped the alignment of right-to-left text.
    return TBRPagePainter::AlignmentOf(flags) | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine
           | (flags & TBRPageItem::ClipToRect ? 0 : Qt::TextDontClip);
}

} // namespace

QFont TBRPagePainter::FontOf(const TBRFontSpec &spec, double pointSize)
{
    QFont f(spec.family);
    f.setPointSizeF(pointSize);
    f.setBold(spec.style & TBRFontSpec::Bold);
    f.setItalic(spec.style & TBRFontSpec::Italic);
    f.setUnderline(spec.style & TBRFontSpec::Underline);
    f.setStrikeOut(spec.style & TBRFontSpec::StrikeOut);
    return f;
}

Qt::Alignment TBRPagePainter::AlignmentOf(quint16 flags)
{
    if (flags & TBRPageItem::AlignRight)
        return Qt::AlignRight;
    if (flags & TBRPageItem::AlignCenter)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

void TBRPagePainter::Paint(QPainter &p, const TBRPageBody &page, const QRectF &target)
{
    if (page.Width <= 0 || page.Height <= 0)
        return;
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / page.Width, target.height() / page.Height);
    QColor textColor = Qt::black;
    p.setPen(QPen(Qt::black));
    p.setBrush(Qt::white);
    QPen shapePen(Qt::black);
    for (const TBRPageItem &it : page.Items) {
        switch (it.kind) {
        case TBRItemKind::Font:
            p.setFont(fontOf(it.font, page.DpiY, p.device()));
            textColor = QColor::fromRgba(it.font.color);
            break;
        case TBRItemKind::Pen:
            // Mitred joins: the PDF writer turns a bevelled pen one pixel wide into a hairline.
            shapePen = it.pen.style == 0 ? QPen(Qt::NoPen)
                                         : QPen(QBrush(QColor::fromRgba(it.pen.color)), it.pen.width,
                                                Qt::PenStyle(it.pen.style), Qt::SquareCap, Qt::MiterJoin);
            break;
        case TBRItemKind::Brush:
            p.setBrush(it.brush.style == 0 ? QBrush(Qt::NoBrush) : QBrush(QColor::fromRgba(it.brush.color)));
            break;
        case TBRItemKind::Text:
            p.setPen(textColor);
            p.setLayoutDirection(it.flags & TBRPageItem::RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
            p.drawText(it.rect, textFlags(it.flags), it.text);
            break;
        case TBRItemKind::Line:
            p.setPen(shapePen);
            p.drawLine(it.rect.topLeft(), it.rect.bottomRight());
            break;
        case TBRItemKind::Rectangle:
            p.setPen(shapePen);
            p.drawRect(it.rect);
            break;
        case TBRItemKind::Ellipse:
            p.setPen(shapePen);
            p.drawEllipse(it.rect);
            break;
        case TBRItemKind::RoundRect:
            p.setPen(shapePen);
            p.drawRoundedRect(it.rect, it.rx, it.ry);
            break;
        case TBRItemKind::FillRect:
            p.fillRect(it.rect, QColor::fromRgba(it.color));
            break;
        case TBRItemKind::Image:
            p.drawImage(it.rect, QImage::fromData(it.data));
            break;
        case TBRItemKind::Link:
            break; // areas for the preview, nothing to draw
        }
    }
    p.restore();
}
