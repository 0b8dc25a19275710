#pragma once

#include <QString>

class TQuery;

// "Lista persoanelor si varsta": every member of the households granted the
// aid in the working month, with income and role; the template works out age
// and birth date from the personal code.
class PersonsList
{
public:
    static inline const QString Title = QStringLiteral("Lista persoanelor si varsta");

    static void Listapersoanelorsivarsta1Click();
    // Opens the members of the month's granted requests with the aid.
    static void select(TQuery &query, int month);
};
