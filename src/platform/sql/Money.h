#pragma once

#include <QString>

// How each reader of a sum has it rounded, one named rule each, beside the
// datasets' own rounding (SqlValue::roundHalfAway). Sums are added in cents;
// half away from zero unless a reader's format asks otherwise.
namespace Money {

// Cents of an amount, half away from zero: the fixed point every total is
// added in. A stored 19.99 lies a hair below itself in binary and stays 1999.
qint64 cents(double amount);
// Whole lei, half away from zero, taken from the cents: the agency's
// compensation level.
qint64 wholeHalfAway(double amount);
// Whole lei (or a whole count), halves to the even neighbour: the amounts the
// request documents print and the national agency's XML asks for.
qint64 wholeHalfEven(double amount);
// Whole lei, the integer part of the cents (towards zero): what a reader
// that cuts the decimals gets.
qint64 wholeTowardZero(double amount);

// Cents as the papers print them: "0.00", "." before the cents.
QString centsText(qint64 cents);
// An amount as the papers print it: its cents, half away from zero, as above.
QString twoDecimals(double amount);

} // namespace Money
