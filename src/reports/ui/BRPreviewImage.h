#pragma once
#include "reports/pages/BRPageBody.h"
#include <QWidget>
#include <optional>

class TBRPrinter;

// One page of a report printer, drawn at the preview's zoom, with its link
// areas followed on a click.
class TBRPreviewImage : public QWidget
{
    Q_OBJECT
public:
    explicit TBRPreviewImage(QWidget *parent = nullptr);
    void SetPrinter(TBRPrinter *printer) { m_printer = printer; }
    // Loads the page (1-based) from the printer.
    void ShowPage(int n);
    int PageNumber() const { return m_pageNumber; }
    void SetZoom(int zoom);
    int Zoom() const { return m_zoom; }
    // The page's size at 100 %, in screen pixels.
    QSizeF PageSize() const;
    // The link text under a point of the widget, empty when none.
    QString LinkAt(const QPoint &pos) const;

signals:
    void LinkClicked(const QString &link);

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    QRectF pageRect() const;
    void resizeToZoom();
    TBRPrinter *m_printer = nullptr;
    std::optional<TBRPageBody> m_page;
    int m_pageNumber = 0;
    int m_zoom = 100;
};
