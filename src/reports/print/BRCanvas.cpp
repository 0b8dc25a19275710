#include "reports/print/BRCanvas.h"

#include <QBuffer>
#include <QFontMetricsF>

namespace {

} // namespace

// A state item is recorded when it is the first of its kind or a change.
template <class Spec>
void TBRCanvas::record(Spec &current, bool &set, const Spec &wanted, TBRItemKind kind, Spec TBRPageItem::*member)
{
    if (set && wanted == current)
        return;
    current = wanted;
    set = true;
    TBRPageItem it;
    it.kind = kind;
    it.*member = wanted;
    add(it);
}

TBRCanvas::TBRCanvas(double widthPx, double heightPx, double dpiX, double dpiY)
    : m_measure(1, 1, QImage::Format_ARGB32)
{
    m_page.Width = float(widthPx);
    m_page.Height = float(heightPx);
    m_page.DpiX = float(dpiX);
    m_page.DpiY = float(dpiY);
    m_measure.setDotsPerMeterX(qRound(dpiX / 0.0254));
    m_measure.setDotsPerMeterY(qRound(dpiY / 0.0254));
    SetFont(QFont(QStringLiteral("Arial"), 10));
}

void TBRCanvas::SetFont(const QFont &font, const QColor &color)
{
    TBRFontSpec spec;
    spec.family = font.family();
    spec.pointSize = float(font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / m_page.DpiY);
    spec.style = quint8((font.bold() ? TBRFontSpec::Bold : 0) | (font.italic() ? TBRFontSpec::Italic : 0)
                        | (font.underline() ? TBRFontSpec::Underline : 0) | (font.strikeOut() ? TBRFontSpec::StrikeOut : 0));
    spec.color = color.rgba();
    m_font = font;
    m_font.setPointSizeF(spec.pointSize);
    record(m_fontSpec, m_fontSet, spec, TBRItemKind::Font, &TBRPageItem::font);
}

void TBRCanvas::SetPen(const QPen &pen)
{
    TBRPenSpec spec;
    spec.color = pen.color().rgba();
    spec.width = float(pen.widthF());
    spec.style = quint8(qBound(0, int(pen.style()), 5));
    record(m_pen, m_penSet, spec, TBRItemKind::Pen, &TBRPageItem::pen);
}

void TBRCanvas::SetBrush(const QBrush &brush)
{
    TBRBrushSpec spec;
    spec.color = brush.color().rgba();
    spec.style = brush.style() == Qt::NoBrush ? 0 : 1;
    record(m_brush, m_brushSet, spec, TBRItemKind::Brush, &TBRPageItem::brush);
}

void TBRCanvas::TextRect(const QRectF &rect, const QString &text, Qt::Alignment align, bool clip, bool rightToLeft)
{
    TBRPageItem it;
    it.kind = TBRItemKind::Text;
    it.rect = rect;
    it.text = text;
    it.flags = quint16((align.testFlag(Qt::AlignRight) ? TBRPageItem::AlignRight : align.testFlag(Qt::AlignHCenter) ? TBRPageItem::AlignCenter : 0)
                       | (clip ? TBRPageItem::ClipToRect : 0) | (rightToLeft ? TBRPageItem::RightToLeft : 0));
    add(it);
}

void TBRCanvas::shape(TBRItemKind kind, const QRectF &rect)
{
    TBRPageItem it;
    it.kind = kind;
    it.rect = rect;
    add(it);
}

void TBRCanvas::Line(const QPointF &from, const QPointF &to)
{
    shape(TBRItemKind::Line, QRectF(from, to));
}

void TBRCanvas::Rectangle(const QRectF &rect)
{
    shape(TBRItemKind::Rectangle, rect);
}

void TBRCanvas::Ellipse(const QRectF &rect)
{
    shape(TBRItemKind::Ellipse, rect);
}

void TBRCanvas::RoundRect(const QRectF &rect, double rx, double ry)
{
    TBRPageItem it;
    it.kind = TBRItemKind::RoundRect;
    it.rect = rect;
    it.rx = float(rx);
    it.ry = float(ry);
    add(it);
}

void TBRCanvas::FillRect(const QRectF &rect, const QColor &color)
{
    TBRPageItem it;
    it.kind = TBRItemKind::FillRect;
    it.rect = rect;
    it.color = color.rgba();
    add(it);
}

void TBRCanvas::StretchDraw(const QRectF &rect, const QImage &image)
{
    TBRPageItem it;
    it.kind = TBRItemKind::Image;
    it.rect = rect;
    QBuffer buf(&it.data);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "PNG");
    add(it);
}

void TBRCanvas::Link(const QRectF &rect, const QString &target)
{
    TBRPageItem it;
    it.kind = TBRItemKind::Link;
    it.rect = rect;
    it.text = target;
    add(it);
}

double TBRCanvas::TextWidth(const QString &text) const
{
    return QFontMetricsF(m_font, &m_measure).horizontalAdvance(text);
}

double TBRCanvas::TextHeight(const QString &text) const
{
    return QFontMetricsF(m_font, &m_measure).boundingRect(text).height();
}
