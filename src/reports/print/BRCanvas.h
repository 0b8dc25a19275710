#pragma once

#include "reports/pages/BRPageBody.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>

// The canvas a report draws a page on: it records what is drawn as the page's
// display list, in page pixels at the canvas resolution, and measures text at
// that resolution. Font, pen and brush are recorded only when they change.
class TBRCanvas
{
public:
    TBRCanvas(double widthPx, double heightPx, double dpiX, double dpiY);

    void SetFont(const QFont &font, const QColor &color = Qt::black);
    void SetPen(const QPen &pen);
    void SetBrush(const QBrush &brush);
    const QFont &Font() const { return m_font; }

    // Text in a rectangle, top-aligned, aligned left, right or centre within it.
    void TextRect(const QRectF &rect, const QString &text, Qt::Alignment align = Qt::AlignLeft, bool clip = true,
                  bool rightToLeft = false);
    void Line(const QPointF &from, const QPointF &to);
    void Rectangle(const QRectF &rect);
    void Ellipse(const QRectF &rect);
    void RoundRect(const QRectF &rect, double rx, double ry);
    void FillRect(const QRectF &rect, const QColor &color);
    void StretchDraw(const QRectF &rect, const QImage &image);
    // An area that links to `target` (EXT:, INT: or a handler's prefix).
    void Link(const QRectF &rect, const QString &target);

    // Width and height of text in the current font, in page pixels.
    double TextWidth(const QString &text) const;
    double TextHeight(const QString &text = QStringLiteral("W")) const;

    const TBRPageBody &Page() const { return m_page; }
    TBRPageBody TakePage() { return std::move(m_page); }

private:
    void add(TBRPageItem item) { m_page.Items.push_back(std::move(item)); }
    template <class Spec>
    void record(Spec &current, bool &set, const Spec &wanted, TBRItemKind kind, Spec TBRPageItem::*member);
    void shape(TBRItemKind kind, const QRectF &rect);

    TBRPageBody m_page;
    QImage m_measure; // a paint device at the canvas resolution, for font metrics
    QFont m_font;
    TBRFontSpec m_fontSpec;
    TBRPenSpec m_pen;
    TBRBrushSpec m_brush;
    bool m_fontSet = false, m_penSet = false, m_brushSet = false;
};
