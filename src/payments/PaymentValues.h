#pragma once

#include <QString>

class TExpXLSOLE;

// What the payment documents share beyond the request documents' rules.
namespace PaymentValues {

// Opens the workbook template with the filler; a missing or unreadable
// template stops the command with "Nu exista modelul <path>".
void openTemplate(TExpXLSOLE &filler, const QString &path);

// Refuses with a DocumentError holding the message.
[[noreturn]] void refuse(const QString &message);

// Writes the file's bytes to the target through the durable path and removes
// the file; what a filler wrote in the temporary folder becomes the user's.
void moveInto(const QString &file, const QString &target);

} // namespace PaymentValues
