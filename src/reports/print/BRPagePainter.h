#pragma once

#include "reports/pages/BRPageBody.h"

#include <QRectF>

class QPainter;

// Draws a recorded page with a painter, scaled into a target rectangle of the
// painter's device (the preview, a printer page, a PDF page).
class TBRPagePainter
{
public:
    static void Paint(QPainter &painter, const TBRPageBody &page, const QRectF &target);
};
