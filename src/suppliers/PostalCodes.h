#pragma once

#include <QString>

// The postal codes of the localities, kept in the settings file, section
// CODURIP, one key per locality. A locality's name is its key once it can
// stand in the file: trimmed, with "%", "=" and a leading "[", ";" or "#"
// written as "%XX", and "%" for a request without a locality.
namespace PostalCodes {

QString key(const QString &locality);
QString read(const QString &locality);

} // namespace PostalCodes
