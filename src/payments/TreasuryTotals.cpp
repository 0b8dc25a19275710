#include "payments/TreasuryTotals.h"

#include "payments/PaymentValues.h"
#include "payments/TreasuryPackage.h"
#include "platform/codepage/Cp1250.h"
#include "platform/db/Dbf.h"
#include "platform/io/DurableFile.h"
#include "platform/sql/Money.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

const QString kRule(70, u'_');

struct CodeTotal
{
    qint64 count = 0;
    double sum = 0;
};

// Each code's rows and the sum of their SUMA as the treasury file holds them,
// added in the file's order.
QHash<QString, CodeTotal> totals(const QString &dbfPath)
{
    const Dbf dbf = Dbf::open(dbfPath);
    const int code = dbf.fieldIndex(u"CODAJUT"), sum = dbf.fieldIndex(u"SUMA");
    QHash<QString, CodeTotal> byCode;
    // The rows come code after code: a code is read as text only where its
    // bytes change.
    QByteArrayView lastCode;
    CodeTotal *t = nullptr;
    for (qint64 r = 0; r < dbf.recordCount(); ++r) {
        if (dbf.isDeleted(r))
            continue;
        const QByteArrayView raw = dbf.rawField(r, code);
        if (!t || raw != lastCode) {
            t = &byCode[dbf.text(r, code)];
            lastCode = raw;
        }
        ++t->count;
        t->sum += dbf.number(r, sum);
    }
    return byCode;
}

} // namespace

namespace TreasuryTotals {

QString PadLeft(const QString &text, int width)
{
    return text.rightJustified(width, u' ');
}

QByteArray text(const TreasuryPackage &package)
{
    const OfficeSettings &office = package.office;
    QStringList lines{
        u' ' + office.countyCode + u' ' + office.fiscalCode + QStringLiteral("    ") + office.localityType + u' '
            + office.locality.toUpper(),
        QStringLiteral(" Data Trezor:  ") + package.paymentDate.toString(QStringLiteral("dd-MM-yyyy")),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral("   Cod      Nr      Suma totala"),
        QStringLiteral(" Ajutor  titulari    / ajutor          Denumire ajutor"),
        kRule,
    };
    qint64 count = 0;
    qint64 cents = 0; // the sums in cents, so the total is the sum of what the lines show
    const QHash<QString, CodeTotal> byCode = totals(package.dbfPath);
    for (const TreasuryCode &code : package.codes) {
        const CodeTotal t = byCode.value(code.code);
        const qint64 sum = Money::cents(t.sum);
        lines << u' ' + code.code + PadLeft(QString::number(t.count), 12) + PadLeft(Money::centsText(sum), 15) + QStringLiteral("   -")
                     + code.caption + u' ' + code.basis;
        count += t.count;
        cents += sum;
    }
    lines << kRule << QStringLiteral(" Total:") + PadLeft(QString::number(count), 9) + PadLeft(Money::centsText(cents), 15);
    return Cp1250::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void write(const TreasuryPackage &package)
{
    QString name = QFileInfo(package.dbfPath).fileName();
    name = QStringLiteral("StatTo_") + name.left(name.size() - 3) + QStringLiteral("txt");
    DurableFile::save(QDir(package.folder).filePath(name), text(package));
}

} // namespace TreasuryTotals
