#include "agencies/AgencyOffice.h"

#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlQuote.h"
#include "tables/RequestTables.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

AgencyOffice AgencyOffice::current()
{
    const TForm4 &f = Form4();
    AgencyOffice o;
    o.judet = f.JudetC->currentText();
    o.countyText = f.CodJud->text() + QStringLiteral("   ") + o.judet;
    o.uat = f.Localit->text();
    o.cif = f.CodFiscal->text();
    o.primar = f.Edit7->text();
    o.intocmit = f.IntocmitN->text();
    o.localityType = f.ComboBox1->currentText();
    o.monthText = Form3().LunaLucru->text();
    o.month = TForm1::MonthIndex(o.monthText);
    o.cereri = Dbf::resolve(QDir(Form1().DataDir()).filePath(RequestTables::Cereri));
    for (int b = 1; b <= 11; ++b) {
        o.amounts[b - 1] = f.Cu(b)->Valoare();
        o.limits[b - 1] = f.Lim(b)->Valoare();
    }
    return o;
}

QString AgencyOffice::dataPath() const
{
    return QStringLiteral("FROM ") + SqlQuote::table(cereri);
}

QStringList AgencyOffice::join(const QString &ajvps) const
{
    // Every request has its row in the table, so the left join keeps them all.
    return {QStringLiteral("LEFT JOIN ") + SqlQuote::table(ajvps) + QStringLiteral(" A"),
            QStringLiteral("ON NRCRT=A.NRCRT")};
}
