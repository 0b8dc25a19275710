#pragma once

#include "platform/io/KestrunError.h"

// Errors of the application core.
class CoreError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};
