#include "core/EnterTab.h"

#include <QKeyEvent>
#include <QWidget>

EnterTab::EnterTab(QWidget *dialog, std::initializer_list<QWidget *> inputs, QWidget *last, std::function<void()> atLast)
    : QObject(dialog), m_dialog(dialog), m_last(last), m_atLast(std::move(atLast))
{
    for (QWidget *w : inputs)
        w->installEventFilter(this);
}

void EnterTab::moveOn(QWidget *from)
{
    // The next control Tab would reach: not a part of the input itself.
    for (QWidget *w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (!from->isAncestorOf(w) && m_dialog->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()
            && w->isVisibleTo(m_dialog)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool EnterTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    moveOn(static_cast<QWidget *>(watched));
    if (watched == m_last && m_atLast)
        m_atLast();
    return true;
}
