#pragma once

#include "platform/io/KestrunError.h"

// A request document that cannot be made from what the user chose.
class DocumentError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};
