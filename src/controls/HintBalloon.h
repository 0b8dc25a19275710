#pragma once

#include <QFrame>
#include <QPointer>
#include <QTimer>

class QLabel;

// A balloon with a bold title and a message, shown beside a control and
// hidden again after a while or on a click.
class THintBalloon : public QFrame
{
    Q_OBJECT
public:
    explicit THintBalloon(QWidget *parent = nullptr);

    // Shows the balloon under the control (or at the centre of the screen
    // when there is none) and hides it after timeoutMs.
    void showBeside(QWidget *control, const QString &title, const QString &text, int timeoutMs);

    QString title() const;
    QString text() const;
    QWidget *anchor() const { return m_anchor; }

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLabel *m_title;
    QLabel *m_text;
    QPointer<QWidget> m_anchor;
    QTimer m_timer;
};
