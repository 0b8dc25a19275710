#include "reports/model/BRReport.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

void TBRPage::SetPaperSize(TBRPaperSize size)
{
    PaperSize = size;
    const QSizeF mm = paperMillimetres(size);
    if (mm.isEmpty())
        return;
    const bool land = Orientation == QPageLayout::Landscape;
    Width = (land ? mm.height() : mm.width()) * 10;
    Length = (land ? mm.width() : mm.height()) * 10;
}

void TBRPage::SetOrientation(QPageLayout::Orientation o)
{
    Orientation = o;
    SetPaperSize(PaperSize);
}

double TBRPage::ColumnWidth() const
{
    return std::floor((PrintableWidth() - (Columns - 1) * ColumnSpace) / Columns);
}

TBRBand &TBandReport::AddBand(TBRBandType type, double height)
{
    Bands.push_back(std::make_shared<TBRBand>(type, height));
    return *Bands.back();
}

TBRBand *TBandReport::Band(TBRBandType type) const
{
    const auto it = std::find_if(Bands.begin(), Bands.end(), [type](const auto &b) { return b->BandType == type; });
    return it == Bands.end() ? nullptr : it->get();
}

void TBandReport::SetZoom(int zoom)
{
    if (zoom >= 1 && zoom <= 300)
        m_zoom = zoom;
}

TBRUnitBase TBandReport::UnitBase() const
{
    TBRUnitBase u;
    u.Units = Units;
    u.Zoom = m_zoom;
    if (qGuiApp && qGuiApp->primaryScreen())
        u.PixelsPerInch = qGuiApp->primaryScreen()->logicalDotsPerInchX();
    u.FontSize = Font.pointSizeF() > 0 ? Font.pointSizeF() : Font.pixelSize();
    return u;
}

const TBRPrintable *TBandReport::BackImage() const
{
    if (BackImageControl.isEmpty())
        return nullptr;
    const auto it = std::find_if(Controls.begin(), Controls.end(),
                                 [this](const TBRPrintable &c) { return c.Name == BackImageControl; });
    return it == Controls.end() ? nullptr : &*it;
}
