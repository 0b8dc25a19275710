#pragma once

#include <QByteArray>
#include <QString>

class TExpXLSOLE;

// What the payment documents share beyond the request documents' rules.
namespace PaymentValues {

// Opens the workbook template with the filler; a missing or unreadable
// template stops the command with "Nu exista modelul <path>".
void openTemplate(TExpXLSOLE &filler, const QString &path);

// Refuses with a DocumentError holding the message.
[[noreturn]] void refuse(const QString &message);

// The program's template resource of type MODEL: its path for the readers
// that take one, its bytes for the rest.
QString resourcePath(const QString &name);
QByteArray resource(const QString &name);

} // namespace PaymentValues
