#pragma once

#include "platform/io/KestrunError.h"

// Raised when a file for the user cannot be written whole: the Romanian
// message for the clerk with the path and the cause, then the system's text.
class FileWriteError : public KestrunError
{
public:
    FileWriteError(const QString &message, const QString &detail, int error)
        : KestrunError(message, detail), m_error(error)
    {
    }
    // The errno behind the failure (0 when it came from elsewhere).
    int error() const { return m_error; }

    // Runs `write`; a failure is raised as the layer's own error type (with
    // the same message and detail), for callers that catch that type.
    template <typename Error, typename Write>
    static void as(Write &&write)
    {
        try {
            write();
        } catch (const FileWriteError &e) {
            throw Error(e.message(), e.detail());
        }
    }

private:
    int m_error;
};
