#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The one way the engine reads outside bytes: a bounds-checked little-endian
// cursor over a QByteArrayView (the bytes must outlive the cursor). It knows its
// offset, checks every length before it is used, and raises EExcelException
// naming the context and the offset when data runs short.
class ByteCursor
{
public:
    explicit ByteCursor(QByteArrayView data, QString context = QString(), qint64 baseOffset = 0);

    qsizetype pos() const { return m_pos; }
    qsizetype size() const { return m_data.size(); }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    // A position the reader noted, such as where the record in hand starts,
    // for a message about it after a failure.
    qsizetype mark() const { return m_mark; }
    void setMark(qsizetype offset) { m_mark = offset; }

    void seek(qsizetype offset);
    void skip(qsizetype count);
    void require(qsizetype count) const;

    quint8 u8();
    quint16 u16();
    quint32 u32();
    quint64 u64();
    qint16 i16() { return static_cast<qint16>(u16()); }
    qint32 i32() { return static_cast<qint32>(u32()); }
    double f64();

    // A view of the next count bytes (into the cursor's buffer) or a copy of them.
    QByteArrayView bytes(qsizetype count);
    QByteArray copy(qsizetype count) { return bytes(count).toByteArray(); }

    // Checks that count items of itemSize bytes can still be read, before the
    // caller allocates room for them; returns count.
    qsizetype checkedCount(qint64 count, qsizetype itemSize) const;

    // Raises EExcelException with the message, the context and the current offset.
    [[noreturn]] void fail(const QString &message) const;

private:
    QByteArrayView m_data;
    QString m_context;
    qint64 m_base;
    qsizetype m_pos = 0;
    qsizetype m_mark = 0;
};
