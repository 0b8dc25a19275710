#pragma once

#include "platform/db/Dbf.h"

#include <QDate>
#include <QStringList>
#include <QVariant>

#include <functional>

#include <sqlite3.h>

// Copies every live row of a table file into a plain SQLite table, the
// reference the local SQL is measured and checked against: blank text and
// numbers NULL, dates yyyy-MM-dd, whole numbers as integers. declare gives
// each column's type (and collation) in the CREATE TABLE.
inline void CopyToNativeTable(sqlite3 *db, const QString &name, const QString &path,
                              const std::function<QString(const DbfField &)> &declare)
{
    auto exec = [db](const QString &sql) { sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr); };
    const Dbf dbf = Dbf::open(path);
    QStringList cols, marks;
    for (const DbfField &f : dbf.fields()) {
        cols << f.name + u' ' + declare(f);
        marks << QStringLiteral("?");
    }
    exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(name, cols.join(u',')));
    exec(QStringLiteral("BEGIN"));
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(name, marks.join(u',')).toUtf8().constData(),
                       -1, &st, nullptr);
    for (qint64 r = 0; r < dbf.recordCount(); ++r) {
        if (dbf.isDeleted(r))
            continue;
        for (int i = 0; i < dbf.fields().size(); ++i) {
            const QVariant v = dbf.value(r, i);
            if (!v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
                sqlite3_bind_null(st, i + 1);
            else if (v.typeId() == QMetaType::QDate)
                sqlite3_bind_text(st, i + 1, v.toDate().toString(Qt::ISODate).toUtf8().constData(), -1, SQLITE_TRANSIENT);
            else if (v.typeId() == QMetaType::Double && dbf.fields()[i].decimals == 0)
                sqlite3_bind_int64(st, i + 1, qint64(v.toDouble()));
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(st, i + 1, v.toDouble());
            else if (v.typeId() == QMetaType::Bool)
                sqlite3_bind_int(st, i + 1, v.toBool());
            else
                sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    exec(QStringLiteral("COMMIT"));
}
