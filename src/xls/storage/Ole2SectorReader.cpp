#include "xls/storage/Ole2SectorReader.h"

QByteArrayView TOle2SectorReader::Read(qint64 offset, qsizetype count)
{
    // Pieces of 64 KB: few reads of the file, little memory.
    constexpr qint64 Piece = 64 * 1024;
    const qint64 n = qBound<qint64>(0, qMax<qint64>(count, Piece), m_place->Size - offset);
    m_buffer.resize(qsizetype(n));
    m_place->ReadInto(offset, n, m_buffer.data());
    return m_buffer;
}
