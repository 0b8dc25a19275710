#include "suppliers/SupplierChoices.h"

#include "documents/DocumentValues.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestTables.h"
#include "tables/RequestRules.h"

#include <QComboBox>

namespace {

bool holds(const QComboBox *list, const QString &name)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->itemText(i).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

namespace SupplierChoices {

QString granted(const QString &amountCondition)
{
    return QStringLiteral("(LUNACRT=%1) AND %2 AND (%3)")
        .arg(DocumentValues::workingMonth())
        .arg(RequestRules::approved(), amountCondition);
}

void add(QComboBox *list, const QString &field, const QString &condition, bool keepEmpty)
{
    TQuery q;
    DocumentValues::QueryScope scope(q);
    DocumentValues::openQuery(q, {QStringLiteral("SELECT DISTINCT ") + field,
                                  QStringLiteral("FROM ") + SqlQuote::table(DocumentValues::dataFile(RequestTables::Cereri)),
                                  QStringLiteral("WHERE ") + condition});
    for (q.First(); !q.Eof(); q.Next()) {
        const QString name = q.Fields().at(0)->AsString().trimmed().toUpper();
        if ((!name.isEmpty() || keepEmpty) && !holds(list, name))
            list->addItem(name);
    }
}

} // namespace SupplierChoices
