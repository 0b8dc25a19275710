#include "xls/storage/ByteCursor.h"

#include "xls/storage/ByteSource.h"
#include "xls/storage/ExcelException.h"

#include <bit>

ByteCursor::ByteCursor(QByteArrayView data, QString context, qint64 baseOffset)
    : m_data(data), m_context(std::move(context)), m_base(baseOffset), m_size(data.size())
{
}

ByteCursor::ByteCursor(TByteSource &source, QString context)
    : m_context(std::move(context)), m_base(0), m_source(&source), m_size(qsizetype(source.Size()))
{
}

void ByteCursor::fail(const QString &message) const
{
    QString text = message + QStringLiteral(" (offset %1)").arg(m_base + pos());
    if (!m_context.isEmpty())
        text = m_context + QStringLiteral(": ") + text;
    throw EExcelException(text);
}

void ByteCursor::require(qsizetype count)
{
    if (count < 0 || count > m_data.size() - m_pos)
        fetch(count);
}

void ByteCursor::fetch(qsizetype count)
{
    if (!m_source || count < 0 || count > remaining())
        fail(QStringLiteral("Data ends early: %1 bytes needed, %2 left").arg(count).arg(remaining()));
    const qsizetype at = pos();
    const QByteArrayView window = m_source->Read(at, count);
    if (window.size() < count)
        fail(QStringLiteral("Data ends early: %1 bytes needed, %2 left").arg(count).arg(window.size()));
    m_data = window;
    m_origin = at;
    m_pos = 0;
}

void ByteCursor::seek(qsizetype offset)
{
    if (offset < 0 || offset > m_size)
        fail(QStringLiteral("Position %1 is outside the data of %2 bytes").arg(offset).arg(m_size));
    if (offset >= m_origin && offset <= m_origin + m_data.size()) {
        m_pos = offset - m_origin;
        return;
    }
    // Outside the window (over a source only): the next read fetches from there.
    m_data = QByteArrayView();
    m_origin = offset;
    m_pos = 0;
}

void ByteCursor::skip(qsizetype count)
{
    require(count);
    m_pos += count;
}

quint8 ByteCursor::u8()
{
    require(1);
    return static_cast<quint8>(m_data[m_pos++]);
}

quint16 ByteCursor::u16()
{
    require(2);
    const auto *p = reinterpret_cast<const uchar *>(m_data.data()) + m_pos;
    m_pos += 2;
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint32 ByteCursor::u32()
{
    require(4);
    const auto *p = reinterpret_cast<const uchar *>(m_data.data()) + m_pos;
    m_pos += 4;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

quint64 ByteCursor::u64()
{
    const quint64 low = u32();
    return low | (quint64(u32()) << 32);
}

double ByteCursor::f64()
{
    return std::bit_cast<double>(u64());
}

QByteArrayView ByteCursor::bytes(qsizetype count)
{
    require(count);
    const QByteArrayView v = m_data.sliced(m_pos, count);
    m_pos += count;
    return v;
}

qsizetype ByteCursor::checkedCount(qint64 count, qsizetype itemSize) const
{
    if (count < 0 || itemSize <= 0 || count > remaining() / itemSize)
        fail(QStringLiteral("Count %1 of %2-byte items exceeds the %3 bytes left").arg(count).arg(itemSize).arg(remaining()));
    return static_cast<qsizetype>(count);
}
