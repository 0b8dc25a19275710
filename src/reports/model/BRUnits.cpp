#include "reports/model/BRUnits.h"

#include <QLocale>

#include <cmath>

TBRUnit TBRUnitBase::StartUnit()
{
    // Read once: the unit a new report starts in does not change under a running program.
    static const TBRUnit unit =
        QLocale::system().measurementSystem() == QLocale::MetricSystem ? TBRUnit::MM : TBRUnit::Inches;
    return unit;
}

double TBRUnitBase::characterCell(TBRAxis axis) const
{
    const double s = std::fabs(FontSize) > 0 ? std::fabs(FontSize) : 10;
    return (axis == TBRAxis::Horizontal ? 80 / s : 145.3 / s) / 2.54;
}

double TBRUnitBase::FromNative(double v, TBRAxis axis) const
{
    switch (Units) {
    case TBRUnit::MM:
        return v / 10;
    case TBRUnit::Inches:
        return v / 254;
    case TBRUnit::Pixels:
        return v / (254 / PixelsPerInch) * Zoom / 100;
    case TBRUnit::Characters:
        return v / characterCell(axis) / 10;
    case TBRUnit::Native:
        break;
    }
    return v;
}

double TBRUnitBase::ToNative(double u, TBRAxis axis) const
{
    switch (Units) {
    case TBRUnit::MM:
        return u * 10;
    case TBRUnit::Inches:
        return u * 254;
    case TBRUnit::Pixels:
        return 254 / PixelsPerInch * u / Zoom * 100;
    case TBRUnit::Characters:
        return characterCell(axis) * u * 10;
    case TBRUnit::Native:
        break;
    }
    return u;
}
