#pragma once

#include <QString>

class QComboBox;

// What the supplier dialogs share: the list of the names the clerks typed,
// shown in capitals and each only once whatever its letter case and blanks.
namespace SupplierChoices {

// The condition on the requests of the working month that were granted.
QString granted(const QString &amountCondition);
// Appends the distinct names of the field over the requests meeting the
// condition that the list does not hold yet; keepEmpty adds the empty name too.
void add(QComboBox *list, const QString &field, const QString &condition, bool keepEmpty = false);
} // namespace SupplierChoices
