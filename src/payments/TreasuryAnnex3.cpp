#include "payments/TreasuryAnnex3.h"

#include "documents/RTFReplace.h"
#include "payments/PaymentValues.h"
#include "payments/TreasuryPackage.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/Money.h"

#include <QDir>

namespace {

// How one code's payees are paid: "OP" (bank order) or any other way (CEC),
// as the month's first request with the payee's CNP says, whatever its status.
// Sums in cents: the amounts are added as they are and the sum is printed
// once, so the annex says what annex 2 and the totals text say.
struct Counts
{
    qint64 nr1 = 0, suma1 = 0, nr2 = 0, suma2 = 0;
};

Counts count(const TreasuryPackage &package, const QString &code)
{
    Counts c;
    for (const TreasuryPayment &p : package.payments) {
        if (p.code != code)
            continue;
        const qint64 cents = Money::cents(p.amount);
        if (p.byBankOrder) {
            ++c.nr2;
            c.suma2 += cents;
        } else {
            ++c.nr1;
            c.suma1 += cents;
        }
    }
    return c;
}

void addKeys(TRTFReplace &rtf, const OfficeSettings &office, const TreasuryCode &code, const Counts &c, const QDate &date)
{
    const auto add = [&rtf](const char *key, const QString &value) { rtf.AdaugaCheie(QLatin1String(key), value); };
    add("[CODJUD]", office.countyCode);
    add("[DENUMJUD]", office.county);
    add("[CODUNIT]", office.fiscalCode);
    add("[DENUMUNIT]", office.localityType + u' ' + office.locality);
    add("[CODAJUTOR]", code.code);
    add("[DENUMIREAJUTOR]", code.caption.mid(6) + u' ' + code.basis);
    add("[Primar]", office.mayor);
    add("[NR1]", QString::number(c.nr1));
    add("[SUMA1]", Money::centsText(c.suma1));
    add("[NR2]", QString::number(c.nr2));
    add("[SUMA2]", Money::centsText(c.suma2));
    add("[NR]", QString::number(c.nr1 + c.nr2));
    add("[SUMA]", Money::centsText(c.suma1 + c.suma2));
    add("[DATA]", SqlValue::formatDate(date));
}

} // namespace

namespace TreasuryAnnex3 {

void write(const TreasuryPackage &package, TRTFReplace &rtf)
{
    if (package.codes.isEmpty())
        return;
    for (const TreasuryCode &code : package.codes) {
        const Counts c = count(package, code.code);
        const QString name = code.code == u"073" ? QStringLiteral("Anexa3_Ajutor_Lemne.rtf")
                                                 : QStringLiteral("Anexa3_Supliment_Lemne.rtf");
        rtf.RTFSursa = PaymentValues::resourcePath(QStringLiteral("TrezAnx3"));
        rtf.RTFDest = QDir(package.folder).filePath(name);
        if (!rtf.IncepeDocument())
            PaymentValues::refuse(QStringLiteral("Nu pot scrie pe harddisk! ") + QDir::toNativeSeparators(rtf.RTFDest));
        rtf.StergeChei();
        addKeys(rtf, package.office, code, c, package.paymentDate);
        rtf.AdaugaPagini(1);
        rtf.InchideDocument();
    }
}

} // namespace TreasuryAnnex3
