#pragma once

#include "agencies/AgencyOffice.h"

class TQuery;

// "Format AJPIS": for each energy supplier, its clients with an electricity
// (annex 16) or gas (annex 15) supplement in the working month, in a folder
// named after the supplier under LEMNE_FURNIZORI.
class SupplierAgencyReport
{
public:
    static inline const QString Title = QStringLiteral("Raport Furnizori");
    static inline const QString SubFolder = QStringLiteral("LEMNE_FURNIZORI");

    // The menu command.
    static void FormatAJPISClick();
    // Writes the supplier folders into the folder (which exists). The
    // working copy of the requests is deleted on every path.
    static void write(const AgencyOffice &office, const QString &folder, TQuery &query);

    // The working copy: the approved requests of the month, the disposition
    // with its date, the address after the locality, each supplier spelt as
    // first met. Returns its path; the caller deletes it.
    static QString prepareCopy(const AgencyOffice &office, TQuery &query);
};
