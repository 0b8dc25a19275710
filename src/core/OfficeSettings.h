#pragma once

#include <QString>

// What the documents and reports print of the office: the administration
// form's values, read once by a command and handed down, so the code that
// writes the files needs no form.
struct OfficeSettings
{
    QString locality;     // UAT name
    QString localityType; // COMUNA, ORASUL, MUNICIPIUL
    QString fiscalCode;
    QString countyCode;
    QString county;       // its name
    QString mayor;
    QString secretary;
    QString preparer;     // "Intocmit"
    QString accountant;
    QString director;
};
