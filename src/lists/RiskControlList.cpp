#include "lists/RiskControlList.h"

#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "documents/DocumentValues.h"
#include "lists/ListWorkbook.h"
#include "periods/SelLuna.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestTables.h"
#include "tables/RequestRules.h"

#include <QComboBox>

using namespace DocumentValues;

void RiskControlList::select(TQuery &query, int month, const Choice &choice)
{
    const auto as = [](const QString &value, const char *name) {
        return SqlQuote::literal(value) + QStringLiteral(" AS ") + QLatin1String(name);
    };
    openQuery(query, {QStringLiteral("SELECT NR_CERE, TITULAR, CNP,"),
                      QStringLiteral("ADRESA+\" \"+LOCALIT+\" JUD \"+") + SqlQuote::literal(choice.county)
                          + QStringLiteral(" AS ADRESA,"),
                      as(QString(), "CODTIT") + QStringLiteral(", NR_MEMBRI, VENITM, NR_DISP, CUANTUM,"),
                      as(choice.countyCode, "JUD") + u',',
                      as(TForm1::CleanText(choice.uat), "PRIMARIE") + u',',
                      as(choice.monthNumber, "LUNA") + u',',
                      SqlQuote::number(choice.year) + QStringLiteral(" AS AN,"),
                      QStringLiteral("STCIV, SITSCOL, TVENIT, NRCAM"),
                      QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
                      QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(month),
                      QStringLiteral("AND ") + RequestRules::approved(),
                      QStringLiteral("ORDER BY NR_CERE")});
}

void RiskControlList::Controlbazatpeprofilulderisc1Click()
{
    const TForm4 &admin = Form4();
    if (admin.JudetC->currentIndex() < 0) {
        TErori::Mesaj(QStringLiteral("Verificare date"), QStringLiteral("\rNu ati ales la Administrare Judetul!"), 1,
                      TErori::OK);
        return;
    }
    const int month = ListWorkbook::workingMonth(Title);
    if (month == 0)
        return;
    TSelLuna &dialog = SelLuna();
    if (!dialog.Execute(true, false))
        return;
    const Choice choice{admin.JudetC->currentText(), admin.JudAbr->itemText(admin.JudetC->currentIndex()),
                        admin.Localit->text(), dialog.MonthNumber(), int(dialog.AnulE->Valoare())};
    TQuery &sx = *Form3().Sx;
    QueryScope scope(sx);
    select(sx, month, choice);
    ListWorkbook::show(Title, QStringLiteral("CONTROL"), sx);
}
