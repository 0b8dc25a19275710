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

// Round half away from zero to the given decimals (money, AsCurrency).
double roundHalfAway(double value, int decimals);

} // namespace SqlValue
