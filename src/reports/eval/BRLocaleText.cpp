#include "reports/eval/BRLocaleText.h"

#include <QLocale>

namespace {

// The format with its time-zone fields ("t") taken out; quoted text stays.
QString withoutZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            out += c;
    }
    return out.trimmed();
}

} // namespace

QString BRLocaleText::LongTime(const QTime &time)
{
    const QLocale locale;
    return locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

QString BRLocaleText::ShortDate(const QDate &date)
{
    return QLocale().toString(date, QLocale::ShortFormat);
}
