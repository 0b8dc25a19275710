#include "payments/CollectiveDisposition.h"

#include "core/Form1.h"
#include "core/Form4.h"
#include "core/NumericF.h"
#include "documents/DocumentPages.h"
#include "documents/DocumentValues.h"
#include "documents/ExpXLSOLE.h"
#include "payments/AlegeNrDisp.h"
#include "payments/PaymentValues.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"
#include "tables/SupplementKinds.h"

#include <QDateEdit>
#include <QLineEdit>

using namespace DocumentValues;

namespace {
const QString kTitle = QStringLiteral("Listare Dispozitie Unica");

QDate dateOf(const TDataSet &row, const char *name)
{
    const TField *f = row.FieldByName(QLatin1String(name));
    return f->IsNull() ? QDate() : f->AsDateTime().date();
}

QString dateText(const QDate &date)
{
    return date.isValid() ? SqlValue::formatDate(date) : QString();
}

// An annex's households, ADRESA "loc." + locality, ", " + street, without a
// missing part: no lone "loc." or comma in the cell, and an empty cell for a
// household with neither, as the dispositions print an unknown domicile.
class AnnexRows : public TQuery
{
protected:
    void openData(QList<SqlResultColumn> &columns, std::vector<Row> &rows) override
    {
        TQuery::openData(columns, rows);
        qsizetype locality = -1, street = -1;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (columns[i].name.compare(u"LOCALIT", Qt::CaseInsensitive) == 0)
                locality = i;
            else if (columns[i].name.compare(u"ADRESA", Qt::CaseInsensitive) == 0)
                street = i;
        }
        for (Row &row : rows) {
            const QString place = row.values[locality].toString().trimmed();
            row.values[street] = address({place.isEmpty() ? place : QStringLiteral("loc.") + place,
                                          row.values[street].toString()});
        }
    }
};
} // namespace

CollectiveDisposition::CollectiveDisposition(const DocumentContext &context)
    : m_ctx(context), m_dialog(std::make_unique<TAlegeNrDisp>(context.form))
{
}

CollectiveDisposition::~CollectiveDisposition() = default;

QStringList CollectiveDisposition::where(Filter filter) const
{
    // The number compares as a number: "12" and "012" are the same disposition.
    QStringList lines{QStringLiteral("WHERE CAST(NR_DISP AS FLOAT)=") + SqlQuote::number(m_dialog->NrDisp->Valoare()),
                      QStringLiteral("AND LUNACRT=") + SqlQuote::number(workingMonth())};
    if (filter == Filter::WithSupplements) {
        // Later modifications do not take back a supplement.
        lines << QStringLiteral("AND ") + RequestRules::firstApproval() + QStringLiteral(" AND ") + SupplementKinds::totalSql()
                     + QStringLiteral(">0");
        return lines;
    }
    lines << QStringLiteral("AND ") + RequestRules::firstApproval() + QStringLiteral(" AND (CUMODIF<>\"X\" OR CUMODIF IS NULL)");
    if (filter == Filter::WithAid)
        lines << QStringLiteral("AND CUAJUT=\"X\"");
    return lines;
}

QStringList CollectiveDisposition::listQuery(Filter filter) const
{
    return QStringList{QStringLiteral("SELECT TITULAR,\tCNP, LOCALIT, ADRESA, NR_MEMBRI, "
                                      "CUANTUM, NR_LUNI,"),
                       QStringLiteral("SUMAL, SUMAG, SUMAE, SUMAT, DATADISP, DATACERE"),
                       QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri))}
           + where(filter) + QStringList{QStringLiteral("ORDER BY TITULAR")};
}

void CollectiveDisposition::ListeazaDispCum()
{
    if (!m_dialog->Execute())
        return;
    TQuery &sx = *m_ctx.Sx;
    QueryScope scope(sx);
    const QString table = QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri));
    openQuery(sx, QStringList{QStringLiteral("SELECT *"), table} + where(Filter::Granted)
                      + QStringList{QStringLiteral("ORDER BY TITULAR")});
    if (sx.IsEmpty()) {
        DocumentPages::error(kTitle, QStringLiteral("\rNu exista Dipozitia Aprobata cu nr.") + m_dialog->NrDisp->text()
                                         + QStringLiteral(" !"));
        return;
    }
    // The dates come from the granted requests, which exist: the annexes may be empty.
    sx.First();
    const QDate dispDate = dateOf(sx, "DATADISP");
    const QDate requestDate = dateOf(sx, "DATACERE");
    sx.Close();

    const OfficeSettings office = Form4().office();
    PaymentValues::openTemplate(ExpXLSOLE(), dataFile(QStringLiteral("StabilireU.xls")));
    ExpXLSOLE().SelectSheet(1);
    fillDecision(office, dispDate, requestDate);
    fillAnnex(office, 2, Filter::WithAid, dateText(dispDate));
    fillAnnex(office, 3, Filter::WithSupplements, dateText(dispDate));
    ExpXLSOLE().SelectSheet(1);
    ExpXLSOLE().SaveAndShow(QStringLiteral("Dispozitie Unica nr. ") + m_dialog->NrDisp->text().trimmed());
}

void CollectiveDisposition::fillDecision(const OfficeSettings &office, const QDate &dispDate, const QDate &requestDate)
{
    TQuery &sx = *m_ctx.Sx;
    const QString table = QStringLiteral("FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri));
    openQuery(sx, QStringList{QStringLiteral("SELECT Count(*) AS NRX, MAX(NR_CERE) AS NR0, MIN(NR_CERE) AS NR1, "
                                             "MAX(NR_LUNI) AS NRLUNI"),
                              table}
                      + where(Filter::WithAid));
    const auto whole = [&sx](const char *name) { return QString::number(sx.FieldByName(QLatin1String(name))->AsInteger()); };
    const QString count = whole("NRX"), highest = whole("NR0"), lowest = whole("NR1"), months = whole("NRLUNI");
    sx.Close();
    openQuery(sx, QStringList{QStringLiteral("SELECT Count(*) AS NRX"), table} + where(Filter::WithSupplements));
    const QString supplements = QString::number(sx.FieldByName(QStringLiteral("NRX"))->AsInteger());
    sx.Close();

    const QList<QPair<const char *, QString>> tags = {
        {"[JUDET]", office.county},
        {"[PRIMAR]", office.mayor},
        {"[SECRETAR]", office.secretary},
        {"[TIPLOC]", office.localityType},
        {"[LOC]", office.locality},
        {"[DISPNR]", m_dialog->NrDisp->text()},
        {"[DISPDATA]", dateText(dispDate)},
        {"[ANUL]", requestDate.isValid() ? QString::number(requestDate.year()) : QString()},
        // The month stands inside a sentence: small letters, as Romanian writes it.
        {"[LUNA]", requestDate.isValid() ? TForm1::MonthName(requestDate.month()).toLower() : QString()},
        {"[NR0]", highest},
        {"[NR1]", lowest},
        {"[NRLUNI]", months},
        {"[NRSUP]", supplements},
        {"[NRCERERI]", count},
        {"[DATASTART]", SqlValue::formatDate(m_dialog->Data0->date())},
        {"[PERIOADA]", m_dialog->Perioada->text()},
        {"[NRAPROB]", count},
        {"[DATAPLATII]", m_dialog->DataPlatii->text()},
        {"[TRIBUNAL]", m_dialog->Tribunal->text()},
    };
    for (const auto &[tag, value] : tags)
        ExpXLSOLE().ReplaceTag(QLatin1String(tag), value);
}

void CollectiveDisposition::fillAnnex(const OfficeSettings &office, int sheet, Filter filter, const QString &dispDate)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    xls.SelectSheet(sheet);
    xls.ReplaceTag(QStringLiteral("[DISPNR]"), m_dialog->NrDisp->text());
    xls.ReplaceTag(QStringLiteral("[DISPDATA]"), dispDate);
    xls.ReplaceTag(QStringLiteral("[INTOCMIT]"), office.preparer);
    AnnexRows rows;
    openQuery(rows, listQuery(filter));
    xls.FillFromDataSet(rows);
}
