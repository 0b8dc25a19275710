#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// Text forms of numbers and dates shared by the translator, the engine's SQL
// functions and the datasets: "." as decimal separator, "dd.MM.yyyy" dates,
// never the user's locale.
namespace SqlValue {

// Plain decimal text: optional sign, digits, optional "." and digits, optional
// exponent; blanks around are allowed. Anything else is not a number.
bool parseNumber(QStringView text, double *value);
// Up to 15 significant digits, "." before decimals, no trailing zeros.
QString formatNumber(double value);

// "dd.MM.yyyy" (one-digit day and month allowed); invalid QDate otherwise.
QDate parseDate(QStringView text);
QString formatDate(const QDate &date);

// The form dates take inside SQLite: "yyyy-MM-dd", which sorts as dates do.
QString isoDate(const QDate &date);
QDate fromIsoDate(QStringView text);

// LIKE with % (any run) and _ (one character), case-sensitive.
bool likeMatches(QStringView text, QStringView pattern);

// Round half away from zero to the given decimals (money, AsCurrency). What is
// rounded is the decimal number the value stands for (the shortest one that
// reads back as it), as a clerk reads it: 2.675 gives 2.68 and 1.005 gives
// 1.01, though the binary values lie a hair below them.
double roundHalfAway(double value, int decimals);

} // namespace SqlValue
