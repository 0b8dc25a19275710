#pragma once

#include "platform/io/KestrunError.h"

// Raised when a settings file cannot be read or written.
class ProfileError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};
