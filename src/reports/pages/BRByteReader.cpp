#include "reports/pages/BRByteReader.h"

#include "reports/eval/BRError.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

void TBRByteReader::fail(const QString &detail) const
{
    throw EBRError(QStringLiteral("Raportul salvat este deteriorat: %1 (%2, la octetul %3).").arg(detail, m_what).arg(m_pos));
}

void TBRByteReader::need(qsizetype n) const
{
    if (n < 0 || n > remaining())
        fail(QStringLiteral("datele se termina prea devreme, lipsesc %1 octeti").arg(n - remaining()));
}

quint8 TBRByteReader::u8()
{
    need(1);
    return quint8(m_data[m_pos++]);
}

template <class T>
T TBRByteReader::little()
{
    need(qsizetype(sizeof(T)));
    const T v = qFromLittleEndian<T>(m_data.data() + m_pos);
    m_pos += qsizetype(sizeof(T));
    return v;
}

quint16 TBRByteReader::u16()
{
    return little<quint16>();
}

quint32 TBRByteReader::u32()
{
    return little<quint32>();
}

float TBRByteReader::f32()
{
    const quint32 bits = little<quint32>();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double TBRByteReader::f64()
{
    const quint64 bits = little<quint64>();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArrayView TBRByteReader::bytes(qsizetype count)
{
    need(count);
    const QByteArrayView v = m_data.sliced(m_pos, count);
    m_pos += count;
    return v;
}

qsizetype TBRByteReader::count(quint32 n, qsizetype itemSize)
{
    if (qint64(n) * itemSize > remaining())
        fail(QStringLiteral("%1 elemente nu incap in cei %2 octeti ramasi").arg(n).arg(remaining()));
    return qsizetype(n);
}

// Room for n more bytes and then as many again as the buffer holds.
void TBRByteWriter::grow(qsizetype n)
{
    m_out.reserve(std::max<qsizetype>(2 * (m_out.size() + n), 256));
}

void TBRByteWriter::u16(quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    put(b, 2);
}

void TBRByteWriter::u32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    put(b, 4);
}

void TBRByteWriter::f32(float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
}

void TBRByteWriter::f64(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    char b[8];
    qToLittleEndian(bits, b);
    put(b, 8);
}
