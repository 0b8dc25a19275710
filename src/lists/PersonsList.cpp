#include "lists/PersonsList.h"

#include "core/Form3.h"
#include "documents/DocumentValues.h"
#include "lists/ListWorkbook.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestTables.h"
#include "tables/RequestRules.h"

using namespace DocumentValues;

void PersonsList::select(TQuery &query, int month)
{
    openQuery(query, {QStringLiteral("SELECT A.TITULAR, A.CNP, A.VENIT, A.CALITATE, A.NROM, B.NRCRT"),
                      QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Oameni)) + QStringLiteral(" A"),
                      QStringLiteral("JOIN ") + SqlQuote::table(dataFile(RequestTables::Cereri)) + QStringLiteral(" B"),
                      QStringLiteral("ON A.NRCRT=B.NRCRT"),
                      QStringLiteral("WHERE B.LUNACRT=") + SqlQuote::number(month),
                      QStringLiteral("AND ") + RequestRules::approved() + QStringLiteral(" AND CUAJUT=\"X\"")});
}

void PersonsList::Listapersoanelorsivarsta1Click()
{
    const int month = ListWorkbook::workingMonth(Title);
    if (month == 0)
        return;
    TQuery &sx = *Form3().Sx;
    QueryScope scope(sx);
    select(sx, month);
    ListWorkbook::show(Title, QStringLiteral("ListaPers"), sx);
}
