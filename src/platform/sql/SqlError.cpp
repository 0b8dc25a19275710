#include "platform/sql/SqlError.h"

namespace {

QString located(const QString &message, const QString &sql, int pos)
{
    QString text = message;
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

SqlError::SqlError(const QString &message) : std::runtime_error(message.toStdString()) {}

SqlError::SqlError(const QString &message, const QString &sql, int pos)
    : std::runtime_error(located(message, sql, pos).toStdString())
{
}
