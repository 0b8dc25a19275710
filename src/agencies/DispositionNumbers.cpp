#include "agencies/DispositionNumbers.h"

#include "core/Form1.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlEngine.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/TQuery.h"

#include <QCoreApplication>

QString DispositionNumbers::DispositionText(const QString &number, const QDate &date)
{
    const QString nr = number.trimmed();
    if (!date.isValid())
        return nr;
    // Built in place: the table gets one of these for every request.
    QString text;
    text.reserve(nr.size() + 11);
    text += nr;
    text += u'/';
    text += SqlValue::formatDate(date);
    text.truncate(Width);
    return text;
}

QString DispositionNumbers::BuildAjvpsTable(const QString &cereriPath)
{
    const QString path = Form1().TempFileName(QStringLiteral("AJVPS"), QStringLiteral(".dbf"));
    TQuery q;
    q.SQL() = {QStringLiteral("CREATE TABLE ") + SqlQuote::table(path),
               QStringLiteral("(NRCRT DECIMAL(12,0), NRD CHAR(16), DATAD DATE, NR_DISP CHAR(27))")};
    q.ExecSQL();

    // One pass: each request read as any query reads it, its row written with
    // the disposition text beside, instead of an INSERT and a second pass.
    Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
    SqlEngine::instance().forEachCells(
        QStringLiteral("SELECT NRCRT, NR_DISP, DATADISP FROM ") + SqlQuote::table(cereriPath),
        [&t](const QVector<QVariant> &r) {
            const QVariant nrcrt = r[0].isNull() ? QVariant() : QVariant(r[0].toDouble());
            t.setValues(t.appendBlank(),
                        {{0, nrcrt}, {1, r[1]}, {2, r[2]}, {3, DispositionText(r[1].toString(), r[2].toDate())}});
        });
    t.close();
    QCoreApplication::processEvents();
    return path;
}
