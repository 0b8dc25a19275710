#pragma once

// "Raport Banci": the working month's payments by bank transfer, one sheet
// per bank, from the editable template RapBanci.xls of the data folder.
namespace BankReport {

// The menu command.
void RaportBanci1Click();

} // namespace BankReport
