#pragma once

#include <stdexcept>

// A request document that cannot be made from what the user chose; what()
// holds the message as UTF-8.
class DocumentError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
