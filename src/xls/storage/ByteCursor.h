#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class TByteSource;

// The one way the engine reads outside bytes: a bounds-checked little-endian
// cursor over a QByteArrayView (the bytes must outlive the cursor). It knows its
// offset, checks every length before it is used, and raises EExcelException
// naming the context and the offset when data runs short.
//
// Over a TByteSource the cursor holds a window of the bytes and asks the
// source for the next one when a read runs past it; offsets stay those of the
// whole. A view from bytes() then holds only until the next read or seek.
class ByteCursor
{
public:
    explicit ByteCursor(QByteArrayView data, QString context = QString(), qint64 baseOffset = 0);
    // The source must outlive the cursor.
    explicit ByteCursor(TByteSource &source, QString context = QString());

    qsizetype pos() const { return m_origin + m_pos; }
    qsizetype size() const { return m_size; }
    qsizetype remaining() const { return m_size - pos(); }
    bool atEnd() const { return pos() >= m_size; }

    // A position the reader noted, such as where the record in hand starts,
    // for a message about it after a failure.
    qsizetype mark() const { return m_mark; }
    void setMark(qsizetype offset) { m_mark = offset; }

    void seek(qsizetype offset);
    void skip(qsizetype count);
    void require(qsizetype count);

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
    // Makes count bytes from the position readable: a new window from the
    // source, or the error when the data has fewer.
    void fetch(qsizetype count);

    QByteArrayView m_data;      // the window
    QString m_context;
    qint64 m_base;
    TByteSource *m_source = nullptr;
    qsizetype m_size = 0;       // of the whole
    qsizetype m_origin = 0;     // offset of the window in the whole
    qsizetype m_pos = 0;        // in the window
    qsizetype m_mark = 0;
};
