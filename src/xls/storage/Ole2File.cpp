#include "xls/storage/Ole2File.h"

#include <cstring>

TOle2File::TOle2File(QByteArrayView bytes) : m_bytes(bytes), m_size(bytes.size()) {}

TOle2File::TOle2File(std::unique_ptr<QFile> file) : m_file(std::move(file)), m_size(m_file->size()) {}

QByteArrayView TOle2File::View(qint64 offset, qsizetype count)
{
    if (offset < 0 || offset >= m_size)
        return QByteArrayView();
    count = qsizetype(qMin<qint64>(count, m_size - offset));
    if (!m_file)
        return m_bytes.sliced(offset, count);
    m_buffer.resize(count);
    if (!ReadInto(offset, count, m_buffer.data()))
        return QByteArrayView();
    return m_buffer;
}

bool TOle2File::ReadInto(qint64 offset, qint64 count, char *dest)
{
    if (offset < 0 || count < 0 || offset + count > m_size)
        return false;
    if (!m_file) {
        std::memcpy(dest, m_bytes.data() + offset, size_t(count));
        return true;
    }
    // The file may have been cut short by someone else since it was opened.
    if (!m_file->seek(offset))
        return false;
    while (count > 0) {
        const qint64 n = m_file->read(dest, count);
        if (n <= 0)
            return false;
        dest += n;
        count -= n;
    }
    return true;
}
