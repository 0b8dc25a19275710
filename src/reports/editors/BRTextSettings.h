#pragma once

#include "reports/model/BRUnits.h"

#include <QString>

struct TBRPrintable;

// What the text and expression settings forms show of a control: its text
// (caption or expression), its mask, its width and height as whole numbers
// of the report's unit, and its AutoSize, AutoStretch and Transparent
// settings; and how they go back into the control.
class TBRTextSettings
{
public:
    TBRTextSettings(const TBRPrintable &control, const TBRUnitBase &units);

    QString Text;
    QString Mask;
    QString Width, Height;
    bool AutoSize = false, AutoStretch = false, Transparent = false;

    // A width or height left as shown (or emptied) keeps the control's exact
    // size: the whole number shown may be a rounded one.
    void WriteTo(TBRPrintable &control) const;

private:
    TBRUnitBase m_units;
    QString m_shownWidth, m_shownHeight;
};
