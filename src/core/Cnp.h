#pragma once

#include <QDate>
#include <QStringView>

// The Romanian personal numeric code: S YY MM DD JJ NNN C.
class Cnp
{
public:
    // 13 digits, a sex/century digit 1..9, a real birth date and the right control digit.
    static bool isValid(QStringView code);
    // The control digit of the first twelve digits (weights 279146358279); -1 when they are not digits.
    static int controlDigit(QStringView first12);
    // The birth date from digits 2..7 (YYMMDD): 20YY when the first digit is 5 or 6,
    // 19YY otherwise. Invalid (unknown) when the text is shorter than 7, the digits
    // are not numbers or they form no real date.
    static QDate birthDate(QStringView code);
};
