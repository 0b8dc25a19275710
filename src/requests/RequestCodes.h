#pragma once

#include <QStringList>

// The code lists of the request editor, in their order: the request forms
// look up the position of a request's code in them.
class RequestCodes
{
public:
    static const QStringList &SitScolCod();  // schooling
    static const QStringList &StCivCod();    // civil status
    static const QStringList &SitProf();     // occupation
    // The code's position in the list, -1 when absent (codes are stored right-trimmed).
    static int position(const QStringList &list, const QString &code);
};
