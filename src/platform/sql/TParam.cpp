#include "platform/sql/TParam.h"

#include "platform/sql/SqlQuote.h"

#include <QDate>

QString TParam::SqlText() const
{
    switch (DataType) {
    case SqlType::Text:
        return SqlQuote::literal(Value.toString());
    case SqlType::Integer:
    case SqlType::Float:
        return SqlQuote::number(Value.toDouble());
    case SqlType::Date:
        return SqlQuote::date(Value.toDate());
    case SqlType::Logical:
        return SqlQuote::number(Value.toBool() ? 1 : 0);
    case SqlType::Null:
        break;
    }
    return QStringLiteral("NULL");
}
