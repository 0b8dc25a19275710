#pragma once

#include <QString>

#include <stdexcept>

// The report engine's one exception class. Bad expressions never raise (they
// become error values); this is for misuse of the engine (an evaluator used
// before it was prepared, a page started outside a job) and for saved-report
// files that cannot be read.
class EBRError : public std::runtime_error
{
public:
    explicit EBRError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
