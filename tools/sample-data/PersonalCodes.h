#pragma once

#include <QDate>
#include <QString>

// The Romanian identifiers the sample carries: personal numeric codes (CNP),
// fiscal codes of the authority (CIF) and bank accounts (IBAN), each with a
// correct check digit.
class PersonalCodes
{
public:
    // Control digit of the first 12 digits of a CNP (weights 279146358279).
    static int cnpControlDigit(const QString &first12);
    // Sex/century digit from the birth year (1 or 2 for 1900-1999, 5 or 6 for
    // 2000-2099), birth date, two-digit county code and a serial 1..999.
    static QString cnp(bool male, const QDate &born, int county, int serial);

    // Control digit of a fiscal code's leading digits (weights 753217532).
    static int cifControlDigit(const QString &leading);

    // A Romanian IBAN: "RO", the two check digits, the bank's four-letter
    // code and the 16-character account.
    static QString iban(const QString &bankCode, const QString &account);
    // ISO 7064 mod 97 of the rearranged IBAN; 1 for a correct one.
    static int ibanRemainder(const QString &iban);
};
