#include "agencies/DispositionNumbers.h"

#include "core/Form1.h"
#include "platform/db/Dbf.h"
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

    // One pass over the requests' records, the deleted left out as a query
    // leaves them: each row written with the disposition text beside.
    const Dbf requests = Dbf::open(cereriPath);
    const int key = requests.fieldIndex(u"NRCRT"), number = requests.fieldIndex(u"NR_DISP"),
              date = requests.fieldIndex(u"DATADISP");
    Dbf t = Dbf::open(path, Dbf::Mode::ReadWrite);
    for (qint64 rec = 0; rec < requests.recordCount(); ++rec) {
        if (requests.isDeleted(rec))
            continue;
        const QVariant nr = requests.value(rec, number), when = requests.value(rec, date);
        t.setValues(t.appendBlank(), {{0, requests.value(rec, key)}, {1, nr}, {2, when},
                                      {3, DispositionText(nr.toString(), when.toDate())}});
    }
    t.close();
    QCoreApplication::processEvents();
    return path;
}
