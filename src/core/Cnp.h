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
    // The birth date from digits 2..7 (YYMMDD): 19YY for a first digit 1 or 2,
    // 18YY for 3 or 4, 20YY for 5 or 6; residents and foreigners (7, 8, 9) carry
    // no century, so 20YY unless that lies after `today`, then 19YY; any other
    // first digit gives 19YY. Invalid (unknown) when the text is shorter than 7,
    // the digits are not numbers or they form no real date.
    static QDate birthDate(QStringView code, const QDate &today = QDate::currentDate());
    // The first seven characters are digits: the code carries a birth date,
    // real or not.
    static bool hasDateDigits(QStringView code);
};
