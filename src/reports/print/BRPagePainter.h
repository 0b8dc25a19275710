#pragma once

#include "reports/pages/BRPageBody.h"

#include <QFont>
#include <QRectF>

class QPainter;

// Draws a recorded page with a painter, scaled into a target rectangle of the
// painter's device (the preview, a printer page, a PDF page).
class TBRPagePainter
{
public:
    static void Paint(QPainter &painter, const TBRPageBody &page, const QRectF &target);
    // The font a recorded font stands for, at a point size of the caller's.
    static QFont FontOf(const TBRFontSpec &spec, double pointSize);
    static Qt::Alignment AlignmentOf(quint16 textFlags);
};
