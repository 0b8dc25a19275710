#pragma once

#include "agencies/AgencyOffice.h"

class TQuery;

// "Raport AJPIS": every annex for the county agency, for a period the user
// chooses, in the folder LEMNE_AJPIS.
class AgencyReport
{
public:
    static inline const QString Title = QStringLiteral("Raport AJPIS");
    static inline const QString SubFolder = QStringLiteral("LEMNE_AJPIS");

    // The menu command.
    static void Directiamuncii1Click();
    // Writes the annexes of the period into the folder (which exists).
    static void write(const AgencyOffice &office, const ReportPeriod &period, const QString &folder, TQuery &query);
    // The period, or a refusal shown to the user ("Perioada incorecta!").
    static bool accept(const ReportPeriod &period);
};
