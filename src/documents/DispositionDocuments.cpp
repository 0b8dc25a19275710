#include "documents/DispositionDocuments.h"

#include "core/Form4.h"
#include "core/NumericF.h"
#include "documents/DocumentPages.h"
#include "documents/DocumentValues.h"
#include "documents/ListDispF.h"
#include "documents/RTFReplace.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/SupplementKinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

using namespace DocumentValues;

namespace {

const QString kTitle = QStringLiteral("Listare Dispozitii");

// The mark and the amount of one supplement, "[SG]" and "[SUMAG]": "X" and
// the amount when there is one, a blank and "0" otherwise.
void addSupplement(TRTFReplace &rtf, const TDataSet &row, const SupplementKind &kind)
{
    const bool has = value(row, kind.amount) > 0;
    rtf.AdaugaCheie(QStringLiteral("[S%1]").arg(QLatin1Char(kind.letter)), has ? QStringLiteral("X") : QStringLiteral(" "));
    rtf.AdaugaCheie(u'[' + QLatin1String(kind.amount) + u']', has ? text(row, kind.amount) : QStringLiteral("0"));
}

} // namespace

const DispositionDocuments::KindInfo &DispositionDocuments::info(Kind kind)
{
    static const KindInfo kinds[] = {
        {"Dispozitie de Stabilire Separata", "APROBAT", "Stabilire.rtf"},
        {"Dispozitie de Modificare", "MODIFICAT", "Modificare.rtf"},
        {"Dispozitie de Incetare", "INCETAT", "Incetare.rtf"},
        {"Dispozitie de Respingere", "RESPINS", "Respingere.rtf"},
    };
    return kinds[static_cast<int>(kind)];
}

DispositionDocuments::DispositionDocuments(const DocumentContext &context)
    : m_ctx(context), m_dialog(std::make_unique<TListDispF>(context.form))
{
}

DispositionDocuments::~DispositionDocuments() = default;

QString DispositionDocuments::TipLocalitate(int index)
{
    switch (index) {
    case 0: return QStringLiteral("comunei ");
    case 1: return QStringLiteral("orasului ");
    case 2: return QStringLiteral("municipiului ");
    default: return QString();
    }
}

QString DispositionDocuments::TipLocalitate()
{
    return TipLocalitate(Form4().ComboBox1->currentIndex());
}

void DispositionDocuments::ListDisp(Kind kind)
{
    if (!m_dialog->Execute())
        return;
    TQuery &sx = *m_ctx.Sx;
    TRTFReplace &rtf = *m_ctx.RTF1;
    const double first = m_dialog->Disp0->Valoare();
    const double last = m_dialog->Disp1->Valoare();
    const QString firstText = m_dialog->Disp0->text();
    const QString lastText = m_dialog->Disp1->text();

    QStringList sql{QStringLiteral("SELECT * FROM ") + SqlQuote::table(dataFile(RequestTables::Cereri))};
    if (first == 0 && last == 0) {
        sql << QStringLiteral("WHERE (NR_DISP=\"\" OR NR_DISP=\"0\")");
    } else {
        // Numbers are compared as numbers: "10" comes after "9".
        sql << QStringLiteral("WHERE CAST(NR_DISP AS FLOAT)>=") + SqlQuote::number(first)
            << QStringLiteral("AND CAST(NR_DISP AS FLOAT)<=") + SqlQuote::number(last);
    }
    sql << QStringLiteral("AND LUNACRT=") + SqlQuote::number(workingMonth());

    const KindInfo &k = info(kind);
    sql << QStringLiteral("AND STATUT=") + SqlQuote::literal(QLatin1String(k.status))
        << QStringLiteral("ORDER BY NR_CERE");
    rtf.RTFSursa = dataFile(QLatin1String(k.templateFile));

    QueryScope scope(sx);
    openQuery(sx, sql);
    if (sx.IsEmpty()) {
        DocumentPages::error(QStringLiteral("Listare dispozitii"),
                             QStringLiteral("\rNu exista nici un numar de dipozitie in intervalul %1 - %2 !")
                                 .arg(firstText, lastText));
        return;
    }
    const QString numbers = first == 0 && last == 0 ? QStringLiteral("fara numar")
                                                    : QStringLiteral("nr. ") + numberRange(firstText, lastText);
    if (!DocumentPages::begin(rtf, kTitle, QLatin1String(k.caption) + u' ' + numbers))
        return;
    const QDate grantedFrom = m_dialog->DataA->date();
    sx.First();
    DocumentPages::writeRows(rtf, sx, [&] { addKeys(kind, grantedFrom); });
    rtf.InchideDocument();
    sx.Close();
    letWindowsRun();
    rtf.DeschideRezultat(Form4().CuOLE->isChecked());
    letWindowsRun();
}

void DispositionDocuments::addKeys(Kind kind, const QDate &grantedFrom)
{
    const TDataSet &row = *m_ctx.Sx;
    TRTFReplace &rtf = *m_ctx.RTF1;
    const TForm4 &admin = Form4();
    auto add = [&rtf](const char *key, const QString &v) { rtf.AdaugaCheie(QLatin1String(key), v); };

    const QString nr = text(row, "NR_DISP").trimmed();
    const QString requestDate = date(row.FieldByName(QStringLiteral("DATACERE")));
    const QString amount = wholeEven(value(row, "CUANTUM"));

    add("[JUDET]", admin.JudetC->currentText());
    add("[TIPLOC]", admin.ComboBox1->currentText());
    add("[LOC]", admin.Localit->text());
    add("[NR]", nr == u"0" ? QString() : nr);
    add("[DATA]", date(row.FieldByName(QStringLiteral("DATADISP"))));
    add("[DATA01]", grantedFrom.toString(QStringLiteral("dd.MM.yyyy")));
    add("[NR_REF]", text(row, "NR_REF"));
    add("[DLUI]", courtesyTitle(text(row, "CNP")));
    add("[NUME]", text(row, "TITULAR"));
    add("[NRCERERE]", text(row, "NR_CERE"));
    add("[DATACERERE]", requestDate);
    add("[NRDATACERE]", text(row, "NR_CERE") + u'/' + requestDate);
    add("[PRIMAR]", admin.Edit7->text());
    add("[LOCART]", TipLocalitate());
    add("[Domiciliu]", DocumentValues::address({text(row, "ADRESA"), text(row, "LOCALIT")}));
    add("[CNP]", text(row, "CNP"));
    add("[Motiv]", text(row, "MOTIVR"));
    add("[SECRETAR]", admin.SecretarN->text());
    add("[CONTABIL]", admin.ContabilN->text());
    add("[SUMA]", amount);
    add("[LITERA]", admin.LiteraCuantum(amount.toInt()));
    add("[PERIOADA]", QString::number(row.FieldByName(QStringLiteral("NR_LUNI"))->AsInteger()));
    add("[TOTAL]", wholeEven(value(row, "TOTAL")));
    add("[CUAJUT]", text(row, "CUAJUT"));
    for (const SupplementKind &kind : SupplementKinds::All)
        addSupplement(rtf, row, kind);
    add("[DREPTURI]", rightsClause(kind, row, amount, admin.LiteraCuantum(amount.toInt())));
}

// The rights of Art. 1, in the grammar of each kind's sentence.
QString DispositionDocuments::rightsClause(Kind kind, const TDataSet &row, const QString &amount, const QString &letter)
{
    const QString months = QString::number(row.FieldByName(QStringLiteral("NR_LUNI"))->AsInteger());
    const QString total = wholeEven(value(row, "TOTAL"));
    switch (kind) {
    case Kind::Stabilire:
        return rights(row,
                      QStringLiteral("ajutorul pentru încălzirea locuinței cu lemne, cărbuni sau combustibili petrolieri, "
                                     "în cuantum de %1 lei/lună, corespunzător lit. %2) din tabelul tranșelor de venit, "
                                     "pe o perioadă de %3 luni, în sumă totală de %4 lei")
                          .arg(amount, letter, months, total),
                      QStringLiteral(", precum și "), QStringLiteral("suplimentul pentru energie prevăzut la art. 2"));
    case Kind::Modificare:
        return rights(row,
                      QStringLiteral("ajutorul pentru încălzirea locuinței se stabilește la %1 lei/lună, corespunzător "
                                     "lit. %2) din tabelul tranșelor de venit, pentru %3 luni, în sumă totală de %4 lei")
                          .arg(amount, letter, months, total),
                      QStringLiteral(", iar "), QStringLiteral("suplimentul pentru energie se stabilește potrivit art. 2"));
    case Kind::Incetare:
        return rights(row, QStringLiteral("la ajutorul pentru încălzirea locuinței în cuantum de %1 lei/lună").arg(amount),
                      QStringLiteral(" și "), QStringLiteral("la suplimentul pentru energie"));
    case Kind::Respingere: break;
    }
    return QStringLiteral("-");
}
