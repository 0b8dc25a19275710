#include "payments/TreasuryAnnex2.h"

#include "core/Form4.h"
#include "documents/DocumentValues.h"
#include "documents/ExpXLSOLE.h"
#include "payments/PaymentValues.h"
#include "payments/TreasuryPackage.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

using namespace DocumentValues;

namespace {

void replaceTags(TExpXLSOLE &xls, const TreasuryCode &code, int payees, const QDate &date)
{
    const TForm4 &admin = Form4();
    xls.ReplaceTag(QStringLiteral("#JUDETUL"),
                   QStringLiteral("JUDETUL: ") + admin.CodFiscal->text() + QStringLiteral("  JUDETUL ")
                       + admin.JudetC->currentText());
    xls.ReplaceTag(QStringLiteral("#UAT"), admin.CodFiscal->text() + QStringLiteral("  ") + admin.ComboBox1->currentText()
                                               + QStringLiteral("  ") + admin.Localit->text().toUpper());
    xls.ReplaceTag(QStringLiteral("[SITUATIA]"), QStringLiteral("SITUATIA ") + code.caption + u' ' + code.basis);
    xls.ReplaceTag(QStringLiteral("[PRIMAR]"), admin.Edit7->text());
    xls.ReplaceTag(QStringLiteral("[NRPERS]"), payees);
    xls.ReplaceTag(QStringLiteral("[DATA]"), QStringLiteral("in ziua %1 luna %2 anul %3")
                                                 .arg(date.toString(QStringLiteral("dd")), date.toString(QStringLiteral("MM")),
                                                      date.toString(QStringLiteral("yyyy"))));
}

} // namespace

namespace TreasuryAnnex2 {

void write(const TreasuryPackage &package, TQuery &query)
{
    TExpXLSOLE &xls = ExpXLSOLE();
    for (const TreasuryCode &code : package.codes) {
        PaymentValues::openTemplate(xls, PaymentValues::resourcePath(QStringLiteral("TrezAnx2")));
        QueryScope scope(query);
        openQuery(query, {QStringLiteral("SELECT NUMEPREN, NRPERS, CNP, SUMA"),
                          QStringLiteral("FROM ") + SqlQuote::table(package.dbfPath),
                          QStringLiteral("WHERE CODAJUT=") + SqlQuote::literal(code.code),
                          QStringLiteral("ORDER BY NUMEPREN")});
        replaceTags(xls, code, query.RecordCount(), package.paymentDate);
        xls.FillFromDataSet(query);
        query.Close();
        const QString name = code.code == u"073" ? QStringLiteral("Anexa2_Ajutor_Lemne.xls")
                                                 : QStringLiteral("Anexa2_Supliment_Lemne.xls");
        xls.SaveTo(QDir(package.folder).filePath(name));
    }
}

} // namespace TreasuryAnnex2
