#pragma once

#include <QString>
#include <stdexcept>

// The spreadsheet engine's own exception. what() holds the message as UTF-8;
// show it with QString::fromUtf8(e.what()).
class EExcelException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
    explicit EExcelException(const QString &message) : std::runtime_error(message.toStdString()) {}
};
