#include "agencies/AgencyOffice.h"

#include "core/Form1.h"
#include "core/Form3.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlQuote.h"
#include "tables/RequestTables.h"

#include <QDir>
#include <QLabel>

AgencyOffice AgencyOffice::current()
{
    const TForm4 &f = Form4();
    const OfficeSettings settings = f.office();
    AgencyOffice o;
    o.judet = settings.county;
    o.countyText = settings.countyCode + QStringLiteral("   ") + o.judet;
    o.uat = settings.locality;
    o.cif = settings.fiscalCode;
    o.primar = settings.mayor;
    o.intocmit = settings.preparer;
    o.localityType = settings.localityType;
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
