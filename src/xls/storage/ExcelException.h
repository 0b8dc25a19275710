#pragma once

#include "platform/io/KestrunError.h"

// The spreadsheet engine's own exception.
class EExcelException : public KestrunError
{
public:
    using KestrunError::KestrunError;
};
