#include "lists/MembersSituation.h"

#include "controls/StyledProgressBar.h"
#include "core/Contor.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "documents/DocumentValues.h"
#include "lists/ListWorkbook.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "platform/sql/TTable.h"
#include "tables/RequestTables.h"
#include "tables/RequestRules.h"

#include <QFile>
#include <QLabel>
#include <QScopeGuard>

using namespace DocumentValues;

namespace {

constexpr int kNameSize = 32;
constexpr int kLocSize = 100;

void setName(TTable &table, const char *surnameField, const char *givenField, const QString &full)
{
    const auto [surname, given] = MembersSituation::SplitName(full);
    table.FieldByName(QLatin1String(surnameField))->SetAsString(surname.left(kNameSize));
    table.FieldByName(QLatin1String(givenField))->SetAsString(given.left(kNameSize));
}

} // namespace

QPair<QString, QString> MembersSituation::SplitName(const QString &full)
{
    const QString name = full.simplified();
    const qsizetype blank = name.indexOf(u' ');
    if (blank < 0)
        return {QString(), name};
    return {name.left(blank), name.mid(blank + 1)};
}

void MembersSituation::buildTable(TQuery &query, TTable &table, const QString &path, int month)
{
    const QString quoted = SqlQuote::table(path);
    query.Close();
    query.SQL() = {QStringLiteral("CREATE TABLE ") + quoted,
                   QStringLiteral("(NUMET CHAR(32), PRENUMET CHAR(32), CNPT CHAR(13),"),
                   QStringLiteral("NUMEM CHAR(32), PRENUMEM CHAR(32), CNPM CHAR(13),"), QStringLiteral("LOC CHAR(100))")};
    query.ExecSQL();
    letWindowsRun();
    // The right join keeps a granted request that has no members: one line, member columns empty.
    openQuery(query, {QStringLiteral("SELECT A.TITULAR AS NUMEM, A.CNP AS CNPM, B.LOCALIT, B.ADRESA, B.TITULAR, B.CNP"),
                      QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Oameni)) + QStringLiteral(" A"),
                      QStringLiteral("RIGHT JOIN ") + SqlQuote::table(dataFile(RequestTables::Cereri)) + QStringLiteral(" B"),
                      QStringLiteral("ON A.NRCRT=B.NRCRT"),
                      QStringLiteral("WHERE B.LUNACRT=") + SqlQuote::number(month),
                      QStringLiteral("AND ") + RequestRules::approved(QStringLiteral("B")),
                      QStringLiteral("ORDER BY B.TITULAR, B.CNP, NUMEM")});
    TContor &progress = Contor();
    progress.Descr->setText(QStringLiteral("Fac situatia membrilor..."));
    progress.Bar->setMaximum(query.RecordCount() / 50);
    progress.Start();
    const auto closed = qScopeGuard([&table, &progress] {
        progress.Stop();
        table.Close();
        table.SetTableName(QString());
    });
    table.SetTableName(path);
    table.Open();
    int n = 0;
    for (query.First(); !query.Eof(); query.Next()) {
        table.Append();
        setName(table, "NUMET", "PRENUMET", text(query, "TITULAR"));
        table.FieldByName(QStringLiteral("CNPT"))->SetAsString(text(query, "CNP"));
        table.FieldByName(QStringLiteral("LOC"))
            ->SetAsString(address({text(query, "LOCALIT"), text(query, "ADRESA")}).left(kLocSize));
        setName(table, "NUMEM", "PRENUMEM", text(query, "NUMEM"));
        table.FieldByName(QStringLiteral("CNPM"))->SetAsString(text(query, "CNPM"));
        table.Post();
        if (++n % 50 == 0)
            progress.Pas();
    }
    query.Close();
}

void MembersSituation::select(TQuery &query, const QString &path)
{
    openQuery(query, {QStringLiteral("SELECT NUMET, PRENUMET, CNPT, NUMEM, PRENUMEM, CNPM, LOC"),
                      QStringLiteral("FROM ") + SqlQuote::table(path),
                      QStringLiteral("ORDER BY NUMET, PRENUMET, CNPT, NUMEM, PRENUMEM")});
}

void MembersSituation::Situatiamembrilor1Click()
{
    const int month = ListWorkbook::workingMonth(Title);
    if (month == 0)
        return;
    TQuery &sx = *Form3().Sx;
    QueryScope scope(sx);
    const QString path = Form1().TempFileName(QStringLiteral("SitMemD"), QStringLiteral(".dbf"));
    // The table is the run's own: gone when the run ends, whichever way.
    const auto removed = qScopeGuard([&sx, &path] {
        sx.Close();
        QFile::remove(path);
    });
    buildTable(sx, *Form3().Tx, path, month);
    select(sx, path);
    ListWorkbook::show(Title, QStringLiteral("SitMem"), sx);
}
