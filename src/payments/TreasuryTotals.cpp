#include "payments/TreasuryTotals.h"

#include "core/Form4.h"
#include "documents/DocumentValues.h"
#include "payments/TreasuryPackage.h"
#include "platform/codepage/Cp1250.h"
#include "platform/io/DurableFile.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <cmath>

using namespace DocumentValues;

namespace {

const QString kRule(70, u'_');

// Cents as "0.00".
QString money(qint64 cents)
{
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    cents = std::llabs(cents);
    return sign + QString::number(cents / 100) + u'.' + QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

namespace TreasuryTotals {

QString PadLeft(const QString &text, int width)
{
    return text.rightJustified(width, u' ');
}

QByteArray text(const TreasuryPackage &package, TQuery &query)
{
    const TForm4 &admin = Form4();
    QStringList lines{
        u' ' + admin.CodJud->text() + u' ' + admin.CodFiscal->text() + QStringLiteral("    ")
            + admin.ComboBox1->currentText() + u' ' + admin.Localit->text().toUpper(),
        QStringLiteral(" Data Trezor:  ") + package.paymentDate.toString(QStringLiteral("dd-MM-yyyy")),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral("   Cod      Nr      Suma totala"),
        QStringLiteral(" Ajutor  titulari    / ajutor          Denumire ajutor"),
        kRule,
    };
    qint64 count = 0;
    qint64 cents = 0; // the sums in cents, so the total is the sum of what the lines show
    QueryScope scope(query);
    for (const TreasuryCode &code : package.codes) {
        openQuery(query, {QStringLiteral("SELECT COUNT(*) AS NR, SUM(SUMA) AS TSUMA, MAX(DTPLATCRT) AS DATA1"),
                          QStringLiteral("FROM ") + SqlQuote::table(package.dbfPath),
                          QStringLiteral("WHERE CODAJUT=") + SqlQuote::literal(code.code)});
        const qint64 nr = query.FieldByName(QStringLiteral("NR"))->AsInteger();
        const qint64 sum = std::llround(value(query, "TSUMA") * 100.0);
        query.Close();
        lines << u' ' + code.code + PadLeft(QString::number(nr), 12) + PadLeft(money(sum), 15) + QStringLiteral("   -")
                     + code.caption + u' ' + code.basis;
        count += nr;
        cents += sum;
    }
    lines << kRule << QStringLiteral(" Total:") + PadLeft(QString::number(count), 9) + PadLeft(money(cents), 15);
    return Cp1250::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void write(const TreasuryPackage &package, TQuery &query)
{
    QString name = QFileInfo(package.dbfPath).fileName();
    name = QStringLiteral("StatTo_") + name.left(name.size() - 3) + QStringLiteral("txt");
    DurableFile::save(QDir(package.folder).filePath(name), text(package, query));
}

} // namespace TreasuryTotals
