#pragma once

#include <QString>

// The order of day, month and year in a date typed as numbers.
enum class TXlsDateOrder { doDMY, doMDY, doYMD };

// Recognises dates ("7.12.2026", "2026-12-07 14:30") and times ("14:30:05")
// typed as text.
class TXlsDateParser
{
public:
    // True when text is a date, a time or both; then value is the date-time as a
    // day count from 30.12.1899 (time as the fraction) and format the number
    // format that shows it the way it was typed.
    static bool TryParse(const QString &text, TXlsDateOrder order, double &value, QString &format);
};
