#include "reports/ui/BRPreviewImage.h"

#include "reports/print/BRPagePainter.h"
#include "reports/print/BRPrinter.h"

#include <QMouseEvent>
#include <QPainter>

TBRPreviewImage::TBRPreviewImage(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    resize(100, 50);
}

void TBRPreviewImage::ShowPage(int n)
{
    if (!m_printer || n < 1 || n > m_printer->PageCount())
        return;
    m_page = m_printer->Page(n);
    m_pageNumber = n;
    resizeToZoom();
    update();
}

void TBRPreviewImage::SetZoom(int zoom)
{
    m_zoom = zoom;
    resizeToZoom();
    update();
}

QSizeF TBRPreviewImage::PageSize() const
{
    if (!m_page)
        return QSizeF(794, 1123);
    return QSizeF(m_page->Width * 96.0 / m_page->DpiX, m_page->Height * 96.0 / m_page->DpiY);
}

void TBRPreviewImage::resizeToZoom()
{
    const QSizeF s = PageSize() * (m_zoom / 100.0);
    resize(int(s.width()) + 4, int(s.height()) + 4);
}

QRectF TBRPreviewImage::pageRect() const
{
    return QRectF(1, 1, width() - 4, height() - 4);
}

void TBRPreviewImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF r = pageRect();
    p.fillRect(r, Qt::white);
    if (m_page)
        TBRPagePainter::Paint(p, *m_page, r);
    p.setPen(Qt::black);
    p.drawRect(r);
    p.fillRect(QRectF(r.right() + 1, r.top() + 2, 2, r.height()), Qt::black);
    p.fillRect(QRectF(r.left() + 2, r.bottom() + 1, r.width(), 2), Qt::black);
}

QString TBRPreviewImage::LinkAt(const QPoint &pos) const
{
    if (!m_page || m_page->Width <= 0 || m_page->Height <= 0)
        return {};
    const QRectF r = pageRect();
    const QPointF pagePoint((pos.x() - r.left()) * m_page->Width / r.width(),
                            (pos.y() - r.top()) * m_page->Height / r.height());
    for (const TBRPageItem &item : m_page->Items)
        if (item.kind == TBRItemKind::Link && item.rect.contains(pagePoint))
            return item.text;
    return {};
}

void TBRPreviewImage::mouseMoveEvent(QMouseEvent *e)
{
    setCursor(LinkAt(e->position().toPoint()).isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void TBRPreviewImage::mousePressEvent(QMouseEvent *e)
{
    const QString link = LinkAt(e->position().toPoint());
    if (!link.isEmpty())
        emit LinkClicked(link);
}
