#pragma once

#include <QString>

// "Raport Banci": the working month's payments by bank transfer, one sheet
// per bank, from the editable template RapBanci.xls of the data folder.
namespace BankReport {

inline const QString Title = QStringLiteral("Raport Banci");

// The menu command.
void RaportBanci1Click();

} // namespace BankReport
