#pragma once

#include <QString>
#include <QStringView>

// Numbers inside formula text always use "." as the decimal separator,
// whatever the user's locale says.

// Sets *ok to false (and returns 0) for text that is not a number.
double FormulaTextToNumber(QStringView text, bool *ok = nullptr);
// The shortest text that reads back as the same double.
QString NumberToFormulaText(double value);
