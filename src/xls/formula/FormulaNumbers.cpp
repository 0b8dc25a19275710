#include "xls/formula/FormulaNumbers.h"

#include <QLocale>

#include <cmath>

double FormulaTextToNumber(QStringView text, bool *ok)
{
    bool good = false;
    double v = QLocale::c().toDouble(text, &good);
    if (good && !std::isfinite(v))
        good = false;
    if (ok)
        *ok = good;
    return good ? v : 0.0;
}

QString NumberToFormulaText(double value)
{
    // The C locale groups no digits. Spreadsheets write the exponent with a
    // capital E and no leading zeros.
    QString s = QLocale::c().toString(value, 'g', QLocale::FloatingPointShortest);
    return s.replace(QLatin1Char('e'), QLatin1Char('E'));
}
