#pragma once

#include <QString>
#include <QStringView>

// Month codes: year * 12 + (month - 1), written "MM.YYYY".
class MonthCode
{
public:
    // The code of "MM.YYYY", split at the first "."; 0 when the text does not
    // parse, the month is outside 1..12 or the year outside 1..9999.
    static int index(QStringView text);
    // "MM.YYYY" of a code; empty for codes below 12 (no year 0 month).
    static QString text(int code);
    // The Romanian name of month 1..12 ("Ianuarie" ...); empty outside.
    static QString name(int month);
};
