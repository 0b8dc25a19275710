#include "xls/storage/Ole2Stream.h"

#include "xls/storage/ExcelException.h"
#include "xls/storage/Ole2SectorReader.h"

#include <algorithm>
#include <cstring>

TOle2Stream::TOle2Stream(QString name, QByteArray data) : m_data(std::move(data))
{
    Name = std::move(name);
}

void TOle2Stream::SetData(QByteArray data)
{
    m_data = std::move(data);
    m_place.reset();
    m_pos = 0;
}

void TOle2Stream::SetPlace(std::shared_ptr<const TOle2StreamPlace> place)
{
    m_data.clear();
    m_place = std::move(place);
    m_pos = 0;
}

void TOle2Stream::ReadFromFile() const
{
    m_data = m_place->ReadAll();
    m_place.reset();
}

std::unique_ptr<TByteSource> TOle2Stream::OpenSource() const
{
    if (m_place)
        return std::make_unique<TOle2SectorReader>(m_place);
    return std::make_unique<TMemoryByteSource>(m_data);
}

qint64 TOle2Stream::Size() const
{
    return m_place ? m_place->Size : m_data.size();
}

qint64 TOle2Stream::Read(void *buffer, qint64 count)
{
    Data();
    if (count <= 0 || m_pos >= m_data.size())
        return 0;
    const qint64 n = std::min<qint64>(count, m_data.size() - m_pos);
    std::memcpy(buffer, m_data.constData() + m_pos, size_t(n));
    m_pos += n;
    return n;
}

void TOle2Stream::Write(const void *buffer, qint64 count)
{
    if (count <= 0)
        return;
    Data();
    if (m_pos + count > m_data.size())
        m_data.resize(m_pos + count);
    std::memcpy(m_data.data() + m_pos, buffer, size_t(count));
    m_pos += count;
}

qint64 TOle2Stream::Seek(qint64 offset, SeekOrigin origin)
{
    const qint64 base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? m_pos : Size();
    const qint64 target = base + offset;
    if (target < 0)
        throw EExcelException(QStringLiteral("Seek before the start of stream \"%1\"").arg(Name));
    m_pos = std::min<qint64>(target, Size());
    return m_pos;
}
