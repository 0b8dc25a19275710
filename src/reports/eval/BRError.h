#pragma once

#include "platform/io/KestrunError.h"

// The report engine's one exception class. Bad expressions never raise (they
// become error values); this is for misuse of the engine (an evaluator used
// before it was prepared, a page started outside a job) and for saved-report
// files that cannot be read.
class EBRError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};
