#pragma once

#include "agencies/AgencyOffice.h"

class TQuery;

// "Raport AJPIS - BACAU": annex 13 in the county's layout and annexes 14 to
// 17 of the working month, each workbook with a comma-separated text file of
// the same rows. The month and year chosen name the files and head annex 13.
class CountyAgencyReport
{
public:
    static inline const QString Title = QStringLiteral("Raport AJPIS");

    struct Choice
    {
        QString monthName; // as the month list shows it
        QString year;
    };

    // The menu command.
    static void AJPISBCClick();
    // The folder of the text files inside the report folder: the UAT name
    // (made safe as a folder name), " AJUTOARE INCALZIRE ", month, year.
    static QString textFolder(const AgencyOffice &office, const Choice &choice);
    // Writes the workbooks and text files into the folder (which exists).
    static void write(const AgencyOffice &office, const Choice &choice, const QString &folder, TQuery &query);
};
