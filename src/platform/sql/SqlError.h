#pragma once

#include <QString>

#include <stdexcept>

// A statement that cannot be translated or run. The message names the SQL text
// and, where known, the line and column of the fault.
class SqlError : public std::runtime_error
{
public:
    explicit SqlError(const QString &message);
    // message + where it happened in sql (pos is an offset into sql, -1 unknown)
    SqlError(const QString &message, const QString &sql, int pos);
};
