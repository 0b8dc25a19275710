#pragma once

#include "platform/db/Dbf.h"

#include <QByteArrayView>
#include <QFileInfo>
#include <QString>
#include <QtEndian>

namespace detail {

// The one bounded reader over a table's bytes: every read checks the end and
// a failure names the file and the offset.
//
// A failure reads as the clerk sees it: a Romanian sentence naming the table
// and what is wrong with it, then the technical detail (path, offset, values).
class DbfCursor
{
public:
    DbfCursor(QByteArrayView bytes, const QString &name) : m_bytes(bytes), m_name(name) {}

    qint64 pos() const { return m_pos; }
    qint64 size() const { return m_bytes.size(); }
    void seek(qint64 pos)
    {
        if (pos < 0 || pos > m_bytes.size())
            fail(pos, endsEarly(), QStringLiteral("the file ends at %1").arg(m_bytes.size()));
        m_pos = pos;
    }
    quint8 peek() const
    {
        need(1);
        return static_cast<quint8>(m_bytes[m_pos]);
    }
    quint8 u8()
    {
        const quint8 v = peek();
        ++m_pos;
        return v;
    }
    quint16 u16() { return qFromLittleEndian<quint16>(take(2).data()); }
    quint32 u32() { return qFromLittleEndian<quint32>(take(4).data()); }
    QByteArrayView take(qint64 n)
    {
        need(n);
        const QByteArrayView v = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return v;
    }

    // problem: what is wrong, in Romanian; detail: the same in the reader's terms.
    [[noreturn]] void fail(qint64 offset, const QString &problem, const QString &detail) const
    {
        throw DbfError(QStringLiteral("Tabela %1 este deteriorata: %2. (%3: offset %4: %5)")
                           .arg(QFileInfo(m_name).fileName(), problem, m_name, QString::number(offset), detail));
    }

private:
    void need(qint64 n) const
    {
        if (n < 0 || n > m_bytes.size() - m_pos)
            fail(m_pos, endsEarly(), QStringLiteral("the file is cut short (%1 bytes needed, %2 left)")
                            .arg(n)
                            .arg(m_bytes.size() - m_pos));
    }

    static QString endsEarly() { return QStringLiteral("fisierul se termina prea devreme"); }

    QByteArrayView m_bytes;
    QString m_name;
    qint64 m_pos = 0;
};

} // namespace detail
