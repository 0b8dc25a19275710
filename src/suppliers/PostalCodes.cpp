#include "suppliers/PostalCodes.h"

#include "core/Form1.h"

namespace {
const QString kSection = QStringLiteral("CODURIP");

QString escaped(QChar c)
{
    return QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

namespace PostalCodes {

QString key(const QString &locality)
{
    const QString name = locality.simplified();
    if (name.isEmpty())
        return QStringLiteral("%");
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool leading = i == 0 && (c == u'[' || c == u';' || c == u'#');
        out += (c == u'%' || c == u'=' || leading) ? escaped(c) : QString(c);
    }
    return out;
}

QString read(const QString &locality)
{
    return Form1().ReadSetting(kSection, key(locality));
}

} // namespace PostalCodes
