#pragma once

#include <QStringList>

class TQuery;

// "Raport Banci": the working month's payments by bank transfer, one sheet
// per bank, from the editable template RapBanci.xls of the data folder.
namespace BankReport {

// The menu command.
void RaportBanci1Click();
// The banks of the month's transfers, one per name whatever its case and
// blanks, as first spelt in the query's order.
QStringList Banks(TQuery &query);

} // namespace BankReport
