#pragma once

#include "platform/db/Dbf.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Readable failures for text.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray &b, std::ostream *os) { *os << '"' << b.toStdString() << '"'; }

namespace dbftest {

// A scratch folder of its own under the build's test folder, removed afterwards.
inline QString scratchRoot()
{
    const QString root = qEnvironmentVariable("KESTRUN_TEST_TMP", QDir::tempPath());
    QDir().mkpath(root);
    return root;
}

struct Scratch
{
    QTemporaryDir dir{scratchRoot() + QStringLiteral("/dbf-XXXXXX")};
    QString path(const QString &name) const { return dir.filePath(name); }
};

struct FieldSpec
{
    const char *name;
    char type;
    int length;
    int decimals = 0;
    quint8 flags = 0;
};

// Hand-made table bytes: a header with the given fields and records given as
// their bytes without the deletion flag (a leading '*' in `deleted` marks one).
struct TableBytes
{
    quint8 version = 0x03;
    QList<FieldSpec> fields;
    QList<QByteArray> records;
    QList<bool> deleted;
    int backlink = 0;    // bytes after the terminator (263 in Visual FoxPro)
    quint8 codePage = 0xC8;

    int recordLength() const
    {
        int n = 1;
        for (const FieldSpec &f : fields)
            n += f.length;
        return n;
    }
    QByteArray build() const
    {
        const int headerLength = 32 + 32 * int(fields.size()) + 1 + backlink;
        QByteArray b(headerLength, '\0');
        b[0] = char(version);
        b[1] = char(124); // 2024-03-15
        b[2] = 3;
        b[3] = 15;
        const qint64 n = records.size();
        for (int i = 0; i < 4; ++i)
            b[4 + i] = char((n >> (8 * i)) & 0xFF);
        b[8] = char(headerLength & 0xFF);
        b[9] = char(headerLength >> 8);
        b[10] = char(recordLength() & 0xFF);
        b[11] = char(recordLength() >> 8);
        b[29] = char(codePage);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            char *d = b.data() + 32 + 32 * i;
            qstrncpy(d, fields[i].name, 11);
            d[11] = fields[i].type;
            d[16] = char(fields[i].length);
            d[17] = char(fields[i].decimals);
            d[18] = char(fields[i].flags);
        }
        b[32 + 32 * fields.size()] = 0x0D;
        for (qsizetype r = 0; r < records.size(); ++r) {
            b.append(r < deleted.size() && deleted[r] ? '*' : ' ');
            b.append(records[r].leftJustified(recordLength() - 1, ' ', true));
        }
        b.append(char(0x1A));
        return b;
    }
};

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Runs Debian's Python (not a shim) with a script; the output as UTF-8.
inline QString python(const QString &script, const QStringList &args, bool *ok)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    *ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!*ok)
        return QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace dbftest
