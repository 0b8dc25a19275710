#pragma once

#include "platform/db/Dbf.h"
#include "platform/sql/SqlEngine.h"
#include "platform/sql/SqlQuote.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os) { *os << '[' << l.join(u'|').toStdString() << ']'; }
QT_END_NAMESPACE

// A scratch folder with small tables written through Dbf.
class SqlTestFolder
{
public:
    SqlTestFolder()
    {
        const QString base = qEnvironmentVariable("KESTRUN_TEST_TMP", QDir::tempPath());
        QDir().mkpath(base);
        m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/sql-XXXXXX"));
    }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString folder() const { return m_dir->path(); }

    // fields as "NAME C 10", "NAME N 10 2", "NAME D", "NAME L"
    QString table(const QString &name, const QStringList &fields, const QList<QVariantList> &rows) const
    {
        QList<DbfField> defs;
        for (const QString &def : fields) {
            const QStringList p = def.split(u' ');
            DbfField f;
            f.name = p[0];
            f.type = p[1].at(0).toLatin1();
            f.length = p.size() > 2 ? p[2].toInt() : (f.type == 'D' ? 8 : 1);
            f.decimals = p.size() > 3 ? p[3].toInt() : 0;
            defs << f;
        }
        const QString file = path(name);
        Dbf dbf = Dbf::create(file, defs);
        for (const QVariantList &row : rows) {
            const qint64 rec = dbf.appendBlank();
            for (int i = 0; i < row.size(); ++i)
                dbf.setValue(rec, i, row[i]);
        }
        dbf.close();
        SqlEngine::instance().invalidate(file);
        return file;
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The first column of every row, as text ("" for null).
inline QStringList column(const SqlResult &r, int c = 0)
{
    QStringList out;
    for (const auto &row : r.rows) {
        const QVariant &v = row[c];
        if (!v.isValid() || v.isNull())
            out << QString();
        else if (v.typeId() == QMetaType::QDate)
            out << v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
        else if (v.typeId() == QMetaType::Double)
            out << QString::number(v.toDouble());
        else
            out << v.toString();
    }
    return out;
}

inline SqlResult runSql(const QString &sql) { return SqlEngine::instance().query(sql); }
