#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstring>

// Bounds-checked little-endian reads over bytes of a saved report. Every
// length is checked before use; running short raises EBRError naming what
// was being read and the offset.
class TBRByteReader
{
public:
    TBRByteReader(QByteArrayView data, const QString &what) : m_data(data), m_what(what) {}

    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }

    quint8 u8();
    quint16 u16();
    quint32 u32();
    qint32 i32() { return qint32(u32()); }
    float f32();
    double f64();
    QByteArrayView bytes(qsizetype count);
    // A count of items of itemSize bytes that can still be read.
    qsizetype count(quint32 n, qsizetype itemSize);

    [[noreturn]] void fail(const QString &detail) const;

private:
    void need(qsizetype n) const;
    // The next little-endian value of that type.
    template <class T>
    T little();
    QByteArrayView m_data;
    QString m_what;
    qsizetype m_pos = 0;
};

// Little-endian writes into a growing buffer.
class TBRByteWriter
{
public:
    void u8(quint8 v) { put(&v, 1); }
    void u16(quint16 v);
    void u32(quint32 v);
    void i32(qint32 v) { u32(quint32(v)); }
    void f32(float v);
    void f64(double v);
    void bytes(QByteArrayView b) { put(b.data(), b.size()); }
    QByteArray &data() { return m_out; }

private:
    // Appends in place while the buffer has room: a page is written a few
    // bytes at a time, and the library's append is out of line.
    void put(const void *bytes, qsizetype n)
    {
        QByteArray::DataPointer &d = m_out.data_ptr();
        if (d.needsDetach() || n > d.freeSpaceAtEnd()) [[unlikely]]
            grow(n);
        std::memcpy(d.data() + d.size, bytes, size_t(n));
        d.size += n;
        d.data()[d.size] = '\0';
    }
    void grow(qsizetype n);

    QByteArray m_out;
};
