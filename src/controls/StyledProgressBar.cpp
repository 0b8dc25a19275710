#include "controls/StyledProgressBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cmath>

TStyledProgressBar::TStyledProgressBar(QWidget *parent) : QWidget(parent)
{
    setMinimumHeight(16);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TStyledProgressBar::setMaximum(int value)
{
    m_maximum = std::max(value, 0);
    update();
}

void TStyledProgressBar::setPosition(int value)
{
    m_position = value;
    update();
}

double TStyledProgressBar::filledShare() const
{
    if (m_maximum <= 0 || m_position <= 0)
        return 0.0;
    return double(std::min(m_position, m_maximum)) / double(m_maximum);
}

int TStyledProgressBar::filledWidth(int innerWidth) const
{
    if (innerWidth <= 0)
        return 0;
    return int(std::lround(filledShare() * innerWidth));
}

QSize TStyledProgressBar::sizeHint() const
{
    return QSize(300, 20);
}

void TStyledProgressBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect outer = rect();
    p.fillRect(outer, palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(outer.adjusted(0, 0, -1, -1));

    const QRect inner = outer.adjusted(2, 2, -2, -2);
    const int w = filledWidth(inner.width());
    if (w <= 0)
        return;
    const QColor base = palette().color(QPalette::Highlight);
    QLinearGradient g(inner.topLeft(), inner.bottomLeft());
    g.setColorAt(0.0, base.lighter(160));
    g.setColorAt(0.45, base);
    g.setColorAt(1.0, base.darker(130));
    p.fillRect(QRect(inner.left(), inner.top(), w, inner.height()), g);
}
