#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Enter in an input of a dialog moves the focus to the next control, as the
// office's forms always did; on the input named last it may also press a
// button (the dialog's confirm).
class EnterTab : public QObject
{
    Q_OBJECT
public:
    // Watches the inputs of `dialog`; `last` (may be null) runs `atLast` after moving on.
    EnterTab(QWidget *dialog, std::initializer_list<QWidget *> inputs, QWidget *last = nullptr,
             std::function<void()> atLast = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void moveOn(QWidget *from);

    QWidget *m_dialog;
    QWidget *m_last;
    std::function<void()> m_atLast;
};
