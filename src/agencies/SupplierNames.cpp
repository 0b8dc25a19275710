#include "agencies/SupplierNames.h"

#include <QSet>

QString SupplierNames::Key(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

QStringList SupplierNames::Distinct(const QStringList &names)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString &name : names)
        if (!seen.contains(Key(name))) {
            seen.insert(Key(name));
            out.append(name.trimmed());
        }
    return out;
}

namespace {

bool reserved(QChar c)
{
    static const QString chars = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || chars.contains(c);
}

} // namespace

QString SupplierNames::SafeFileName(const QString &name)
{
    QString safe = name.trimmed();
    for (QChar &c : safe)
        if (reserved(c))
            c = u'_';
    safe.replace(QStringLiteral(".."), QStringLiteral("_"));
    while (!safe.isEmpty() && (safe.back() == u'.' || safe.back() == u' '))
        safe.chop(1);
    if (!name.trimmed().isEmpty() && safe.isEmpty())
        safe = QStringLiteral("_");
    return safe;
}

QStringList SupplierNames::DistinctFileNames(const QStringList &names)
{
    QStringList out;
    QSet<QString> taken;
    for (const QString &name : names) {
        const QString base = SafeFileName(name);
        QString candidate = base;
        for (int n = 2; taken.contains(candidate.toCaseFolded()); ++n)
            candidate = base + QStringLiteral(" (%1)").arg(n);
        taken.insert(candidate.toCaseFolded());
        out.append(candidate);
    }
    return out;
}
