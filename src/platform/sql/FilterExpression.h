#pragma once

#include "platform/sql/SqlAst.h"
#include "platform/sql/SqlTranslator.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

// A dataset's filter condition in the dialect ("FURNE='X' AND SUMAE>0"),
// judged row by row with the same rules as the SQL: text in Romanian order and
// case-sensitive, blank text equal to "", quoted numbers and dates beside
// number and date fields taken as such.
class FilterExpression
{
public:
    // Raises SqlError naming the text and position for a bad condition or an
    // unknown field.
    FilterExpression(const QString &text, const QList<SqlResultColumn> &fields);
    ~FilterExpression();
    FilterExpression(FilterExpression &&) noexcept;
    FilterExpression &operator=(FilterExpression &&) noexcept;

    bool matches(const QVector<QVariant> &row) const;

private:
    QString m_text;
    SqlExprPtr m_root;
};
