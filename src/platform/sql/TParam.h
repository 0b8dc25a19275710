#pragma once

#include "platform/sql/SqlTypes.h"

#include <QVariant>

// The value of a ":NAME" placeholder in a query's text. A parameter whose
// type is Null has no value yet.
struct TParam
{
    QString Name;
    SqlType DataType = SqlType::Null;
    QVariant Value;

    void SetAsString(const QString &v) { set(SqlType::Text, v); }
    void SetAsInteger(qint64 v) { set(SqlType::Integer, v); }
    void SetAsFloat(double v) { set(SqlType::Float, v); }
    void SetAsDate(const QDate &v) { set(SqlType::Date, v); }
    void SetAsBoolean(bool v) { set(SqlType::Logical, v); }
    // The value as the statement writes it, through the one quoting helper.
    QString SqlText() const;

private:
    void set(SqlType t, const QVariant &v) { DataType = t, Value = v; }
};
