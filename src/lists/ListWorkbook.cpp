#include "lists/ListWorkbook.h"

#include "core/Erori.h"
#include "core/Form3.h"
#include "core/ResourceStore.h"
#include "platform/io/KestrunError.h"
#include "documents/DocumentFolder.h"
#include "documents/DocumentValues.h"
#include "documents/ExpXLSOLE.h"
#include "platform/sql/TQuery.h"

#include <QLabel>

namespace ListWorkbook {

int workingMonth(const QString &title)
{
    const int month = DocumentValues::workingMonth();
    if (month == 0)
        TErori::Mesaj(title, QStringLiteral("\rNu ati ales luna de lucru!"), 0, TErori::OK);
    return month;
}

bool show(const QString &title, const QString &resource, TQuery &rows)
{
    if (rows.IsEmpty()) {
        TErori::Mesaj(title,
                      QStringLiteral("\rNu exista cereri aprobate in luna ") + Form3().LunaLucru->text()
                          + QStringLiteral("!\rNu am facut lista."),
                      2, TErori::OK);
        return false;
    }
    const QString path = ResourceStore::find(resource, QStringLiteral("MODEL"));
    TExpXLSOLE &xls = ExpXLSOLE();
    if (path.isEmpty() || !xls.OpenTemplate(path, false))
        throw KestrunError(QStringLiteral("Nu pot deschide modelul %1 al programului.").arg(resource));
    xls.FillFromDataSet(rows);
    xls.SaveAndShow(title + u' ' + DocumentFolder::month());
    return true;
}

} // namespace ListWorkbook
