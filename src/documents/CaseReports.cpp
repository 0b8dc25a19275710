#include "documents/CaseReports.h"

#include "core/Form4.h"
#include "core/NumericF.h"
#include "documents/AlegeCere.h"
#include "documents/DocumentPages.h"
#include "documents/DocumentValues.h"
#include "documents/RTFReplace.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestRules.h"
#include "tables/SupplementKinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

using namespace DocumentValues;

namespace {
const QString kTitle = QStringLiteral("Listare Referate");
}

CaseReports::CaseReports(const DocumentContext &context)
    : m_ctx(context), m_dialog(std::make_unique<TAlegeCere>(context.form))
{
}

CaseReports::~CaseReports() = default;

void CaseReports::BitBtn10Click()
{
    if (!m_dialog->Execute())
        return;
    TQuery &sx = *m_ctx.Sx;
    TRTFReplace &rtf = *m_ctx.RTF1;
    const QString first = m_dialog->Ref0->text();
    const QString last = m_dialog->Ref1->text();
    QueryScope scope(sx);
    openQuery(sx, {QStringLiteral("SELECT * FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri)),
                   QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(workingMonth()),
                   QStringLiteral("AND NR_REF>=") + SqlQuote::number(m_dialog->Ref0->Valoare())
                       + QStringLiteral(" AND NR_REF<=") + SqlQuote::number(m_dialog->Ref1->Valoare()),
                   QStringLiteral("AND ") + RequestRules::firstApproval(),
                   QStringLiteral("ORDER BY NR_CERE")});
    if (sx.IsEmpty()) {
        DocumentPages::error(kTitle,
                             QStringLiteral("\rNu exista niciun Referat in intervalul %1 - %2 !").arg(first, last));
        return;
    }
    sx.First();
    rtf.RTFSursa = dataFile(QStringLiteral("Referat.rtf"));
    if (!DocumentPages::begin(rtf, kTitle, QStringLiteral("Referate nr. ") + numberRange(first, last)))
        return;
    DocumentPages::writeRows(rtf, sx, [this] { addKeys(); });
    sx.Close();
    rtf.InchideDocument();
    rtf.DeschideRezultat(Form4().CuOLE->isChecked());
    letWindowsRun();
}

void CaseReports::addKeys()
{
    const TDataSet &row = *m_ctx.Sx;
    TRTFReplace &rtf = *m_ctx.RTF1;
    const TForm4 &admin = Form4();
    auto add = [&rtf](const char *key, const QString &v) { rtf.AdaugaCheie(QLatin1String(key), v); };

    add("[JUDET]", admin.JudetC->currentText());
    add("[Dlui]", courtesyTitle(text(row, "CNP")) + u' ');
    add("[NUME]", text(row, "TITULAR"));
    add("[NRREF]", text(row, "NR_REF"));
    add("[DATAREF]", m_dialog->DataR->date().toString(QStringLiteral("dd.MM.yyyy")));
    add("[NRCERERE]", text(row, "NR_CERE"));
    add("[DATACERERE]", date(row.FieldByName(QStringLiteral("DATACERE"))));
    add("[Domiciliu]", DocumentValues::address({text(row, "ADRESA"), text(row, "LOCALIT")}));
    add("[CNP]", text(row, "CNP"));
    add("[SUMA]", wholeEven(value(row, "CUANTUM")));
    add("[TOTAL]", wholeEven(value(row, "TOTAL")));
    add("[INTOCMIT]", admin.IntocmitN->text());
    add("[SECRETAR]", admin.SecretarN->text());
    add("[DIRECTOR]", admin.DirectorN->text());
    add("[LOCALIT]", admin.Localit->text());
    for (const SupplementKind &kind : SupplementKinds::All)
        rtf.AdaugaCheie(QStringLiteral("[SUP%1]").arg(QLatin1Char(kind.letter)), wholeEven(value(row, kind.amount)));
    add("[DREPTURI]",
        rights(row,
               QStringLiteral("ajutorului pentru încălzirea locuinței în cuantum de %1 lei/lună, în sumă totală de %2 lei")
                   .arg(wholeEven(value(row, "CUANTUM")), wholeEven(value(row, "TOTAL"))),
               QStringLiteral(", precum și a "), QStringLiteral("suplimentului pentru energie prevăzut în tabelul de mai jos")));
}
