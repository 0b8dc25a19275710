#include "suppliers/BankReport.h"

#include "core/CommandGuard.h"
#include "core/Erori.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "documents/DocumentFolder.h"
#include "documents/DocumentValues.h"
#include "documents/ExpXLSOLE.h"
#include "payments/PaymentValues.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "suppliers/BankNames.h"
#include "tables/RequestTables.h"
#include "tables/RequestRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSet>

using namespace DocumentValues;

namespace {

QStringList paidByTransfer(const QString &columns, const QStringList &tail)
{
    return QStringList{QStringLiteral("SELECT ") + columns,
            QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
            QStringLiteral("WHERE (LUNACRT=%1)").arg(workingMonth()),
            QStringLiteral("AND ") + RequestRules::approved() + QStringLiteral(" AND (CUANTUM>0 OR SUMAL>0)"),
            QStringLiteral("AND MODPLATA=\"OP\"")}
           + tail;
}

// The names the template's other sheets hold already.
QStringList otherSheetNames(TXlsImport &book)
{
    QStringList names;
    for (int s = 2; s <= book.SheetCount(); ++s) {
        book.SetActiveSheet(s);
        names.append(book.ActiveSheetName());
    }
    book.SetActiveSheet(1);
    return names;
}

// One sheet per bank, each a copy of the first with the unit and the month,
// named before the next copy is made so that no two names ever meet.
void makeSheets(TXlsImport &book, const QStringList &names)
{
    book.SetActiveSheetName(names.first());
    for (int i = 1; i < names.size(); ++i) {
        book.InsertAndCopySheets(1, i + 1, 1);
        book.SetActiveSheet(i + 1);
        book.SetActiveSheetName(names.at(i));
    }
}

// The banks of the month's transfers, one per name whatever its case and
// blanks, as first spelt in the query's order.
QStringList Banks(TQuery &q)
{
    QueryScope scope(q);
    openQuery(q, paidByTransfer(QStringLiteral("BANCA"), {QStringLiteral("GROUP BY BANCA"), QStringLiteral("ORDER BY BANCA")}));
    QStringList banks;
    QSet<QString> seen;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString bank = q.Fields().at(0)->AsString();
        if (!seen.contains(BankNames::Key(bank))) {
            seen.insert(BankNames::Key(bank));
            banks.append(bank);
        }
    }
    return banks;
}

} // namespace

namespace BankReport {

void RaportBanci1Click()
{
    TQuery &q = *Form3().Sx;
    const QStringList banks = Banks(q);
    const QString month = Form3().LunaLucru->text();
    if (banks.isEmpty()) {
        TErori::Mesaj(Title, QStringLiteral("\rNu exista plati prin virament bancar in luna %1!").arg(month), 2, TErori::OK);
        return;
    }
    TExpXLSOLE &xls = ExpXLSOLE();
    PaymentValues::openTemplate(xls, dataFile(QStringLiteral("RapBanci.xls")));
    xls.ReplaceTag(QStringLiteral("[UAT]"), QStringLiteral("U.A.T. ") + Form4().Localit->text());
    xls.ReplaceTag(QStringLiteral("[LUNA]"), month.left(2));
    xls.ReplaceTag(QStringLiteral("[ANUL]"), month.mid(3, 4));
    QStringList labels;
    for (const QString &bank : banks)
        labels.append(BankNames::Label(bank));
    makeSheets(xls.XCell, BankNames::SheetNames(labels, otherSheetNames(xls.XCell)));

    const auto done = qScopeGuard([&q] { CommandGuard::release(q); });
    openQuery(q, paidByTransfer(QStringLiteral("TITULAR,\tCNP, LOCALIT, ADRESA, CUANTUM, SUMAL,\tCONT, BANCA"),
                                {QStringLiteral("ORDER BY TITULAR")}));
    for (int i = 0; i < banks.size(); ++i) {
        xls.SelectSheet(i + 1);
        xls.ReplaceTag(QStringLiteral("[BANCA]"), labels.at(i));
        q.SetFilter(BankNames::Filter(banks.at(i)));
        q.SetFiltered(true);
        xls.FillFromDataSet(q);
    }
    xls.SelectSheet(1);
    xls.SaveAndShow(Title + u' ' + DocumentFolder::month());
}

} // namespace BankReport
