#include "platform/sql/SqlError.h"

namespace {

// Where the fault is: " (line L, column C)" when known, then the SQL text on a line of its own.
QString located(const QString &sql, int pos)
{
    QString text;
    if (pos >= 0) {
        pos = qMin(pos, int(sql.size()));
        int line = 1, col = 1;
        for (int i = 0; i < pos; ++i) {
            if (sql.at(i) == u'\n') { ++line; col = 1; } else { ++col; }
        }
        text += QStringLiteral(" (line %1, column %2)").arg(line).arg(col);
    }
    if (!sql.isEmpty())
        text += QStringLiteral("\nSQL: ") + sql;
    return text;
}

} // namespace

SqlError::SqlError(const QString &message, const QString &sql, int pos)
    : KestrunError(message, located(sql, pos).trimmed(), message + located(sql, pos))
{
}
