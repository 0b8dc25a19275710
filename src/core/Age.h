#pragma once

#include <QDate>

// Ages in whole calendar years. Someone born on 29 February has the
// anniversary on 1 March in common years.
class Age
{
public:
    // The day someone born on `born` turns `years` old.
    static QDate anniversary(const QDate &born, int years);
    // Whole years of age on the day `on`.
    static int years(const QDate &born, const QDate &on);
};
