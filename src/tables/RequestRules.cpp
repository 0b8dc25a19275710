#include "tables/RequestRules.h"

namespace RequestRules {

QString approved(const QString &alias)
{
    const QString column = alias.isEmpty() ? QStringLiteral("STATUT") : alias + QStringLiteral(".STATUT");
    return QStringLiteral("(%1=\"APROBAT\" OR %1=\"MODIFICAT\")").arg(column);
}

QString notApproved()
{
    return QStringLiteral("((STATUT<>\"APROBAT\" AND STATUT<>\"MODIFICAT\") OR STATUT IS NULL)");
}

QString firstApproval()
{
    return QStringLiteral("STATUT=\"APROBAT\"");
}

QString notRefused()
{
    return QStringLiteral("(STATUT<>\"RESPINS\" AND STATUT<>\"INCETAT\")");
}

} // namespace RequestRules
