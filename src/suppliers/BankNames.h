#pragma once

#include <QString>
#include <QStringList>

// Bank names as the clerks type them: " Banca Transilvania" and "BANCA
// TRANSILVANIA" are one bank, one sheet of the bank report.
namespace BankNames {

// What names compare by: blanks cut at both ends, capital letters. It is what
// the filter of the payees computes, so a bank and its payees always agree.
QString Key(const QString &name);
// The heading of the bank's sheet: the name trimmed, "nespecificata" when blank.
QString Label(const QString &name);
// The condition on BANCA that keeps exactly the payees of that bank; a name
// holding an apostrophe is quoted, a blank one keeps the rows without a bank.
QString Filter(const QString &name);
// A valid sheet name for each label (no [ ] : * ? / \, no apostrophe at either
// end, at most 31 characters), distinct without regard to case from each
// other and from the names taken already; a clash gets " (2)", " (3)"...
QStringList SheetNames(const QStringList &labels, const QStringList &taken = {});

} // namespace BankNames
