#pragma once

#include <QString>

#include <stdexcept>

// Errors of the application core; what() holds the message for the user as UTF-8.
class CoreError : public std::runtime_error
{
public:
    explicit CoreError(const QString &message) : std::runtime_error(message.toUtf8().toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};
