#include "reports/ui/BRPreviewIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

using Kind = BRPreviewIcons::Kind;

const QColor kInk(0x2b, 0x3a, 0x55);
const QColor kBlue(0x1f, 0x5f, 0xbf);
const QColor kRed(0xc0, 0x28, 0x28);

// A sheet with a folded corner.
void sheet(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(path);
}

void lens(QPainter &p, const QPointF &centre, double radius)
{
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.6, radius * 1.6));
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(0xe8, 0xf0, 0xff));
    p.drawEllipse(centre, radius, radius);
}

void triangle(QPainter &p, double x, bool right)
{
    const double dx = right ? 7 : -7;
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({QPointF(x, 5), QPointF(x + dx, 12), QPointF(x, 19)}));
}

void bar(QPainter &p, double x)
{
    p.fillRect(QRectF(x, 5, 2.5, 14), kBlue);
}

void printer(QPainter &p)
{
    sheet(p, QRectF(7, 2, 10, 8));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xd0, 0xd6, 0xe0));
    p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 15, 10, 6));
}

void text(QPainter &p, const QRectF &r, const QString &s, const QColor &c, int pixels)
{
    QFont f = p.font();
    f.setPixelSize(pixels);
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

void draw(QPainter &p, Kind kind)
{
    switch (kind) {
    case Kind::ZoomFit:
        sheet(p, QRectF(6, 2, 12, 16));
        lens(p, QPointF(10, 12), 5);
        break;
    case Kind::ZoomWidth:
        sheet(p, QRectF(2, 5, 20, 12));
        p.setPen(QPen(kBlue, 1.6));
        p.drawLine(QPointF(5, 11), QPointF(19, 11));
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(4, 11), QPointF(8, 8), QPointF(8, 14)}));
        p.drawPolygon(QPolygonF({QPointF(20, 11), QPointF(16, 8), QPointF(16, 14)}));
        break;
    case Kind::Zoom100:
        lens(p, QPointF(10, 10), 7.5);
        text(p, QRectF(3, 3, 14, 14), QStringLiteral("1:1"), kInk, 7);
        break;
    case Kind::First:
        bar(p, 5);
        triangle(p, 16, false);
        break;
    case Kind::Previous:
        triangle(p, 15.5, false);
        break;
    case Kind::Next:
        triangle(p, 8.5, true);
        break;
    case Kind::Last:
        triangle(p, 8, true);
        bar(p, 16.5);
        break;
    case Kind::GotoPage:
        sheet(p, QRectF(5, 2, 14, 20));
        text(p, QRectF(5, 5, 14, 16), QStringLiteral("#"), kBlue, 12);
        break;
    case Kind::Find:
        sheet(p, QRectF(3, 2, 13, 17));
        lens(p, QPointF(13, 13), 5);
        break;
    case Kind::PrintSetup:
        printer(p);
        p.setPen(QPen(kBlue, 2.2));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(18, 18), 3.5, 3.5);
        break;
    case Kind::Print:
        printer(p);
        break;
    case Kind::SavePdf:
        sheet(p, QRectF(4, 2, 16, 20));
        text(p, QRectF(4, 8, 16, 10), QStringLiteral("PDF"), kRed, 7);
        break;
    case Kind::Save:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.fillRect(QRectF(6, 14, 12, 7), QColor(0xd0, 0xd6, 0xe0));
        break;
    case Kind::Load:
        p.setPen(QPen(QColor(0x8a, 0x6a, 0x10), 1.2));
        p.setBrush(QColor(0xf0, 0xc8, 0x50));
        p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(9, 6), QPointF(11, 8), QPointF(20, 8), QPointF(20, 19),
                                 QPointF(2, 19)}));
        p.setBrush(QColor(0xf8, 0xdc, 0x80));
        p.drawPolygon(QPolygonF({QPointF(5, 11), QPointF(23, 11), QPointF(20, 19), QPointF(2, 19)}));
        break;
    case Kind::Close:
        p.setPen(QPen(kRed, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    }
}

QPixmap picture(Kind kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, kind);
    return pixmap;
}

} // namespace

QIcon BRPreviewIcons::Icon(Kind kind)
{
    QIcon icon;
    for (int size : {24, 48})
        icon.addPixmap(picture(kind, size));
    return icon;
}
