#include "tables/SupplementKinds.h"

#include <QStringList>

QString SupplementKinds::totalSql()
{
    QStringList amounts;
    for (const SupplementKind &kind : All)
        amounts << QLatin1String(kind.amount);
    return u'(' + amounts.join(u'+') + u')';
}
