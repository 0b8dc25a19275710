#include "controls/HintBalloon.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

THintBalloon::THintBalloon(QWidget *parent)
    : QFrame(parent, Qt::ToolTip | Qt::FramelessWindowHint),
      m_title(new QLabel(this)), m_text(new QLabel(this))
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_text->setWordWrap(true);
    m_text->setMaximumWidth(360);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(m_title);
    layout->addWidget(m_text);

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
}

void THintBalloon::showBeside(QWidget *control, const QString &title, const QString &text, int timeoutMs)
{
    m_anchor = control;
    m_title->setText(title);
    m_text->setText(text);
    adjustSize();

    QPoint at;
    if (control && control->isVisible()) {
        at = control->mapToGlobal(QPoint(control->width() / 3, control->height()));
    } else if (QScreen *screen = QGuiApplication::primaryScreen()) {
        at = screen->availableGeometry().center() - QPoint(width() / 2, height() / 2);
    }
    move(at);
    show();
    raise();
    m_timer.start(timeoutMs);
}

QString THintBalloon::title() const
{
    return m_title->text();
}

QString THintBalloon::text() const
{
    return m_text->text();
}

void THintBalloon::mousePressEvent(QMouseEvent *)
{
    m_timer.stop();
    hide();
}
