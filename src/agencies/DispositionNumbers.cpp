#include "agencies/DispositionNumbers.h"

#include "core/Form1.h"
#include "platform/db/Dbf.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"

#include <QCoreApplication>

QString DispositionNumbers::DispositionText(const QString &number, const QDate &date)
{
    const QString nr = number.trimmed();
    if (!date.isValid())
        return nr;
    return (nr + u'/' + date.toString(QStringLiteral("dd.MM.yyyy"))).left(Width);
}

QString DispositionNumbers::BuildAjvpsTable(const QString &cereriPath)
{
    const QString path = Form1().TempFileName(QStringLiteral("AJVPS"), QStringLiteral(".dbf"));
    const QString table = SqlQuote::table(path);
    TQuery q;
    q.SQL() = {QStringLiteral("CREATE TABLE ") + table,
               QStringLiteral("(NRCRT DECIMAL(12,0), NRD CHAR(16), DATAD DATE, NR_DISP CHAR(27))")};
    q.ExecSQL();
    q.SQL() = {QStringLiteral("INSERT INTO ") + table, QStringLiteral("(NRCRT, NRD, DATAD)"),
               QStringLiteral("SELECT NRCRT, NR_DISP, DATADISP"), QStringLiteral("FROM ") + SqlQuote::table(cereriPath)};
    q.ExecSQL();
    QCoreApplication::processEvents();

    Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
    const int nrd = t.fieldIndex(u"NRD");
    const int datad = t.fieldIndex(u"DATAD");
    const int text = t.fieldIndex(u"NR_DISP");
    for (qint64 rec = 0; rec < t.recordCount(); ++rec)
        t.setValue(rec, text, DispositionText(t.text(rec, nrd), t.date(rec, datad)));
    t.close();
    return path;
}
