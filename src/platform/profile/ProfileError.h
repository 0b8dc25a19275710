#pragma once

#include <stdexcept>
#include <string>

// Raised when a settings file cannot be read or written; what() holds the
// message for the user as UTF-8.
class ProfileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
