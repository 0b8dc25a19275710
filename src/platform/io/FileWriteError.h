#pragma once

#include <stdexcept>

// Raised when a file for the user cannot be written whole; what() holds the
// Romanian message for the clerk (UTF-8), with the path and the cause after it.
class FileWriteError : public std::runtime_error
{
public:
    FileWriteError(const std::string &message, int error) : std::runtime_error(message), m_error(error) {}
    // The errno behind the failure (0 when it came from elsewhere).
    int error() const { return m_error; }

    // Runs `write`; a failure is raised as the layer's own error type (built
    // from the same message), for callers that catch that type.
    template <typename Error, typename Write>
    static void as(Write &&write)
    {
        try {
            write();
        } catch (const FileWriteError &e) {
            throw Error(e.what());
        }
    }

private:
    int m_error;
};
