#pragma once

#include <QString>

#include <array>

// What the agency annexes say of the office and where they read: the
// administration's settings, the working month and the requests table.
struct AgencyOffice
{
    QString judet;        // county name
    QString countyText;   // code, three blanks, name
    QString uat, cif, primar, intocmit;
    QString localityType; // COMUNA, ORASUL, MUNICIPIUL
    QString monthText;    // working month "MM.YYYY"
    int month = 0;        // its month code
    QString cereri;       // path of the requests table
    std::array<double, 11> amounts{}; // Cu1..Cu11
    std::array<double, 11> limits{};  // Lim1..Lim11, the brackets' upper incomes

    // From the administration form, the main window and the data folder.
    static AgencyOffice current();

    // "FROM " + the requests table, quoted.
    QString dataPath() const;
    // The join with the disposition-number table under the alias A.
    QStringList join(const QString &ajvps) const;
};

// A reporting period of whole months, by month code.
struct ReportPeriod
{
    int start = 0, end = 0;

    // At most twelve months, so no calendar month appears twice.
    bool valid() const { return end >= start && end - start < 12; }
};
