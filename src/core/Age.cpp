#include "core/Age.h"

QDate Age::anniversary(const QDate &born, int years)
{
    const int year = born.year() + years;
    if (born.month() == 2 && born.day() == 29 && !QDate::isLeapYear(year))
        return QDate(year, 3, 1);
    return QDate(year, born.month(), born.day());
}

int Age::years(const QDate &born, const QDate &on)
{
    const int y = on.year() - born.year();
    return on < anniversary(born, y) ? y - 1 : y;
}
