#pragma once

#include <QString>

class TQuery;

// "Control bazat pe profilul de risc": one line per granted request of the
// working month, with the county, the UAT and the reporting month and year
// the clerk chooses.
class RiskControlList
{
public:
    static inline const QString Title = QStringLiteral("Control bazat pe profilul de risc");

    // What the lines carry besides the request.
    struct Choice
    {
        QString county;       // the county's name
        QString countyCode;   // its abbreviation
        QString uat;          // the UAT's name
        QString monthNumber;  // "01".."12"
        int year = 0;
    };

    static void Controlbazatpeprofilulderisc1Click();
    // Opens the month's granted requests with the chosen values, by request number.
    static void select(TQuery &query, int month, const Choice &choice);
};
