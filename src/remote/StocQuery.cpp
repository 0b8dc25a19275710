#include "remote/StocQuery.h"

#include <cmath>

QDateTime StocQuery::fromDayCount(double days)
{
    // Beyond a few thousand years the count is no date of a copy.
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return {};
    const double whole = std::floor(days);
    const qint64 ms = std::llround((days - whole) * 86400000.0);
    return QDateTime(QDate(1899, 12, 30).addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
}

void StocQuery::openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows)
{
    TQuery::openData(columns, rows);
    qsizetype source = -1;
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(u"DATAORA", Qt::CaseInsensitive) == 0)
            source = i;
    columns.append({QStringLiteral("DATAS"), SqlType::Text, 10, 0});
    columns.append({QStringLiteral("ORAS"), SqlType::Text, 10, 0});
    for (Row &row : rows) {
        const QVariant v = source >= 0 ? row.values[source] : QVariant();
        const QDateTime when = v.isNull() ? QDateTime() : fromDayCount(v.toDouble());
        row.values.append(when.isValid() ? when.toString(QStringLiteral("dd.MM.yyyy")) : QString());
        row.values.append(when.isValid() ? when.toString(QStringLiteral("HH:mm:ss")) : QString());
    }
}
