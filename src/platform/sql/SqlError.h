#pragma once

#include "platform/io/KestrunError.h"

// A statement that cannot be translated or run. The message names the SQL text
// and, where known, the line and column of the fault.
class SqlError : public KestrunError
{
public:
    using KestrunError::KestrunError;
    // message + where it happened in sql (pos is an offset into sql, -1 unknown)
    SqlError(const QString &message, const QString &sql, int pos);
};
