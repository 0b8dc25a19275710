#pragma once

#include <QWidget>

// A painted progress bar: a sunken frame with a vertical gradient filling
// the done share from the left.
class TStyledProgressBar : public QWidget
{
    Q_OBJECT
public:
    explicit TStyledProgressBar(QWidget *parent = nullptr);

    int maximum() const { return m_maximum; }
    // A negative maximum counts as 0, which draws the bar empty.
    void setMaximum(int value);

    int position() const { return m_position; }
    void setPosition(int value);

    // The filled share in 0..1: the position, capped at the maximum, over the maximum.
    double filledShare() const;
    // Width in pixels of the filled part inside a bar area this wide.
    int filledWidth(int innerWidth) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_maximum = 100;
    int m_position = 0;
};
