#include "platform/sql/Money.h"
#include "platform/sql/SqlValue.h"

#include <cmath>
#include <cstdlib>

namespace Money {

qint64 cents(double amount)
{
    return std::llround(SqlValue::roundHalfAway(amount, 2) * 100.0);
}

qint64 wholeHalfAway(double amount)
{
    const qint64 c = cents(amount);
    return c >= 0 ? (c + 50) / 100 : (c - 50) / 100;
}

qint64 wholeHalfEven(double amount)
{
    // Exact halves only: what lies a hair off a half rounds as usual.
    if (std::fabs(amount - std::trunc(amount)) == 0.5)
        return qint64(2.0 * std::round(amount / 2.0));
    return qint64(std::round(amount));
}

qint64 wholeTowardZero(double amount)
{
    return cents(amount) / 100;
}

QString centsText(qint64 cents)
{
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    cents = std::llabs(cents);
    return sign + QString::number(cents / 100) + u'.' + QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
}

QString twoDecimals(double amount)
{
    return centsText(cents(amount));
}

} // namespace Money
