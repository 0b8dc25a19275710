#pragma once

#include "platform/io/KestrunError.h"

// A workbook package that cannot be read or written.
class XlsxError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};
