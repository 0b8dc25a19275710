#include "payments/ListareF.h"

#include "documents/DocumentFolder.h"
#include "documents/DocumentValues.h"
#include "documents/ExpXLSOLE.h"
#include "payments/PaymentValues.h"
#include "payments/TipStatF.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "tables/RequestRules.h"

#include <QLineEdit>

using namespace DocumentValues;

namespace {

// A signature pair: the role and the name when the name is set, else two blanks.
QPair<QString, QString> signature(const QString &name, const QString &role)
{
    if (name.trimmed().isEmpty())
        return {QStringLiteral(" "), QStringLiteral(" ")};
    return {role, name};
}

} // namespace

void TListareF::ListeazaStat(const TTipStatF &selection, const OfficeSettings &office)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    PaymentValues::openTemplate(xls, dataFile(QStringLiteral("Stat.xls")));
    QueryScope scope(LQ1);
    for (int sheet = 1; sheet <= 3; ++sheet) {
        xls.SelectSheet(sheet);
        replaceTags(office, selection.PerioadaS->text());
        openQuery(LQ1, sheetQuery(sheet, selection));
        xls.FillFromDataSet(LQ1);
    }
    LQ1.Close();
    xls.SelectSheet(1);
    xls.SaveAndShow(QStringLiteral("Stat de plata ") + DocumentFolder::month());
}

void TListareF::replaceTags(const OfficeSettings &office, const QString &month)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    xls.ReplaceTag(QStringLiteral("#JUDET"),
                   QStringLiteral("Judet   ") + office.countyCode + QStringLiteral(" - ") + office.county);
    xls.ReplaceTag(QStringLiteral("#PRIMARIA"),
                   QStringLiteral("Primaria   ") + office.fiscalCode + QStringLiteral(" - ") + office.locality);
    xls.ReplaceTag(QStringLiteral("#LUNA"), month);
    const auto accountant = signature(office.accountant, QStringLiteral("Contabil,"));
    xls.ReplaceTag(QStringLiteral("#C1"), accountant.first);
    xls.ReplaceTag(QStringLiteral("#C2"), accountant.second);
    // Without a director the mayor signs.
    const bool director = !office.director.trimmed().isEmpty();
    const QPair<QString, QString> head = director ? signature(office.director, QStringLiteral("DIRECTOR,"))
                                                  : qMakePair(QStringLiteral("PRIMAR,"), office.mayor);
    xls.ReplaceTag(QStringLiteral("#P1"), head.first);
    xls.ReplaceTag(QStringLiteral("#PRIMAR"), head.second);
    const auto preparer = signature(office.preparer, QStringLiteral("Intocmit,"));
    xls.ReplaceTag(QStringLiteral("#I1"), preparer.first);
    xls.ReplaceTag(QStringLiteral("#I2"), preparer.second);
}

QStringList TListareF::sheetQuery(int sheet, const TTipStatF &selection) const
{
    QStringList lines{
        QStringLiteral("SELECT NR_CERE,TITULAR,CNP, NR_DISP+\"/\" AS NRDISP, DATADISP, "
                       "TRIM(BOTH \" \" FROM (LOCALIT + \" \" +ADRESA)) AS ADRESA, LOCALIT, CUANTUM,NR_LUNI,TOTAL, "
                       "SUMAL, SUMAG, SUMAT, SUMAE"),
        QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
        QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(workingMonth()),
        QStringLiteral("AND ") + RequestRules::approved(),
    };
    if (!selection.allLocalities())
        lines << QStringLiteral("AND LOCALIT=") + SqlQuote::literal(selection.locality());
    lines << selection.nameConditions();
    if (sheet == 2)
        lines << QStringLiteral("AND TOTAL>0");
    else if (sheet == 3)
        lines << QStringLiteral("AND SUMAL>0");
    lines << QStringLiteral("ORDER BY TITULAR");
    return lines;
}
