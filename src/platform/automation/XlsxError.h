#pragma once

#include <stdexcept>

// A workbook package that cannot be read or written.
class XlsxError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
