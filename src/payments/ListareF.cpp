#include "payments/ListareF.h"

#include "core/Form4.h"
#include "documents/DocumentFolder.h"
#include "documents/DocumentValues.h"
#include "documents/ExpXLSOLE.h"
#include "payments/PaymentValues.h"
#include "payments/TipStatF.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "tables/RequestRules.h"

#include <QComboBox>
#include <QLineEdit>

using namespace DocumentValues;

namespace {

// A signature pair: the role and the name when the name is set, else two blanks.
QPair<QString, QString> signature(const QLineEdit *name, const QString &role)
{
    if (name->text().trimmed().isEmpty())
        return {QStringLiteral(" "), QStringLiteral(" ")};
    return {role, name->text()};
}

} // namespace

void TListareF::ListeazaStat(const TTipStatF &selection)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    PaymentValues::openTemplate(xls, dataFile(QStringLiteral("Stat.xls")));
    QueryScope scope(LQ1);
    for (int sheet = 1; sheet <= 3; ++sheet) {
        xls.SelectSheet(sheet);
        replaceTags(selection.PerioadaS->text());
        openQuery(LQ1, sheetQuery(sheet, selection));
        xls.FillFromDataSet(LQ1);
    }
    LQ1.Close();
    xls.SelectSheet(1);
    xls.SaveAndShow(QStringLiteral("Stat de plata ") + DocumentFolder::month());
}

void TListareF::replaceTags(const QString &month)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    const TForm4 &admin = Form4();
    xls.ReplaceTag(QStringLiteral("#JUDET"),
                   QStringLiteral("Judet   ") + admin.CodJud->text() + QStringLiteral(" - ") + admin.JudetC->currentText());
    xls.ReplaceTag(QStringLiteral("#PRIMARIA"),
                   QStringLiteral("Primaria   ") + admin.CodFiscal->text() + QStringLiteral(" - ") + admin.Localit->text());
    xls.ReplaceTag(QStringLiteral("#LUNA"), month);
    const auto accountant = signature(admin.ContabilN, QStringLiteral("Contabil,"));
    xls.ReplaceTag(QStringLiteral("#C1"), accountant.first);
    xls.ReplaceTag(QStringLiteral("#C2"), accountant.second);
    // Without a director the mayor signs.
    const bool director = !admin.DirectorN->text().trimmed().isEmpty();
    const QPair<QString, QString> head = director ? signature(admin.DirectorN, QStringLiteral("DIRECTOR,"))
                                                  : qMakePair(QStringLiteral("PRIMAR,"), admin.Edit7->text());
    xls.ReplaceTag(QStringLiteral("#P1"), head.first);
    xls.ReplaceTag(QStringLiteral("#PRIMAR"), head.second);
    const auto preparer = signature(admin.IntocmitN, QStringLiteral("Intocmit,"));
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
