#include "reports/editors/BRTextSettings.h"

#include "reports/model/BRPrintable.h"

#include <cmath>

namespace {

QString shown(double native, const TBRUnitBase &units, TBRAxis axis)
{
    return QString::number(std::llround(units.FromNative(native, axis)));
}

void take(const QString &entered, const QString &shownText, const TBRUnitBase &units, TBRAxis axis, double *native)
{
    bool ok = false;
    const int value = entered.trimmed().toInt(&ok);
    if (ok && value >= 0 && entered.trimmed() != shownText)
        *native = units.ToNative(value, axis);
}

} // namespace

TBRTextSettings::TBRTextSettings(const TBRPrintable &control, const TBRUnitBase &units)
    : Text(control.kind == TBRPrintable::Kind::Expr ? control.Expression : control.Caption),
      Mask(control.Mask),
      Width(shown(control.Width, units, TBRAxis::Horizontal)),
      Height(shown(control.Height, units, TBRAxis::Vertical)),
      AutoSize(control.AutoSize),
      AutoStretch(control.AutoStretch),
      Transparent(control.Transparent),
      m_units(units),
      m_shownWidth(Width),
      m_shownHeight(Height)
{
}

void TBRTextSettings::WriteTo(TBRPrintable &control) const
{
    if (control.kind == TBRPrintable::Kind::Expr) {
        control.Expression = Text;
        control.Mask = Mask;
    } else {
        control.Caption = Text;
    }
    take(Width, m_shownWidth, m_units, TBRAxis::Horizontal, &control.Width);
    take(Height, m_shownHeight, m_units, TBRAxis::Vertical, &control.Height);
    control.AutoSize = AutoSize;
    control.AutoStretch = AutoStretch;
    control.Transparent = Transparent;
}
