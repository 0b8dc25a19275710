#pragma once

#include "reports/pages/BRPageBody.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// Follows a report's output item by item and writes a format of its own: it is
// told where pages start and end, where bands end, and every text, shape and
// picture. Lengths are in tenths of a millimetre from the sheet's top left.
class TBRExportFilter
{
public:
    enum class Shape { Fill, Rectangle, Ellipse, RoundRect, Line };

    virtual ~TBRExportFilter() = default;
    // Starts the filter once, with the paper of the first page.
    void Begin(double paperWidth, double paperLength);
    bool Started() const { return m_started; }
    // Tells the filter one recorded page, from its start to its end.
    void ExportPage(const TBRPageBody &page);

    virtual void NewPage() {}
    virtual void EndPage() {}
    virtual void EndBand(const QRectF &) {}
    virtual void TextOut(const QRectF &rect, const QString &text, const QFont &font, Qt::Alignment align) = 0;
    virtual void ShapeOut(Shape, const QRectF &, const QColor &) {}
    virtual void PictureOut(const QRectF &, const QImage &) {}
    // Writes what was gathered; raises on a failed write.
    virtual void Finish() = 0;

protected:
    virtual void Start(double, double) {}

private:
    bool m_started = false;
};

// An export format the save dialog offers.
struct TBRExportFormat
{
    QString Description;
    QString Extension; // without the dot
    std::function<std::unique_ptr<TBRExportFilter>(const QString &path)> Make;
};

// The export formats known to the program, the plain-text export first.
class TBRExportFilters
{
public:
    static const std::vector<TBRExportFormat> &Registered();
};
