#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// Times and dates as the program's locale writes them, for TIME, DATE and the
// global environment's start time and date.
namespace BRLocaleText {

// The long time format, without the time zone Qt's long form carries ("HH:mm:ss t").
QString LongTime(const QTime &time);
QString ShortDate(const QDate &date);

} // namespace BRLocaleText
