#pragma once

#include <QString>

// Which requests the office's reports take, by Cereri's STATUT, as SQL
// conditions: each rule written once, so every list counts alike.
namespace RequestRules {

// Granted: approved, at first or by a later change ("APROBAT", "MODIFICAT").
// The alias, when given, names the table the column is read from ("B").
QString approved(const QString &alias = {});
// The rest, a request without a status among them: what a copy holding only
// the granted requests deletes.
QString notApproved();
// Approved by its first disposition alone ("APROBAT"), as the dispositions
// and referrals of that first decision list them.
QString firstApproval();
// Neither refused nor ended: a request without a status is taken.
QString notRefused();

} // namespace RequestRules
