#include "reports/pages/BRStream.h"

#include "platform/io/DurableFile.h"
#include "reports/eval/BRError.h"

#include <QDir>
#include <QTemporaryFile>

#include <cstring>

TBRStream::TBRStream(qint64 memoryLimit) : m_memoryLimit(memoryLimit) {}

TBRStream::~TBRStream() = default;

std::unique_ptr<TBRStream> TBRStream::openFile(const QString &path)
{
    auto s = std::make_unique<TBRStream>(0);
    auto f = std::make_unique<QFile>(path);
    if (!f->open(QIODevice::ReadOnly))
        throw EBRError(QStringLiteral("Raportul salvat \"%1\" nu poate fi deschis: %2.").arg(path, f->errorString()));
    s->m_inMemory = false;
    s->m_file = std::move(f);
    s->m_fileName = path;
    return s;
}

qint64 TBRStream::Read(char *data, qint64 n)
{
    QMutexLocker lock(&m_lock);
    if (!m_inMemory)
        return qMax<qint64>(m_file->read(data, n), 0);
    const qint64 count = qBound<qint64>(0, m_memory.size() - m_pos, n);
    std::memcpy(data, m_memory.constData() + m_pos, size_t(count));
    m_pos += count;
    return count;
}

void TBRStream::Write(const char *data, qint64 n)
{
    QMutexLocker lock(&m_lock);
    if (!m_inMemory) {
        if (!m_fileName.isEmpty())
            failWrite(QStringLiteral("raportul salvat este deschis numai pentru citire"));
        if (m_file->write(data, n) != n)
            failWrite(m_file->errorString());
        return;
    }
    if (m_pos + n > m_memory.size())
        m_memory.resize(m_pos + n);
    std::memcpy(m_memory.data() + m_pos, data, size_t(n));
    m_pos += n;
    if (m_memory.size() > m_memoryLimit)
        SpillToTempFile();
}

void TBRStream::Seek(qint64 pos)
{
    QMutexLocker lock(&m_lock);
    if (m_inMemory)
        m_pos = qBound<qint64>(0, pos, m_memory.size());
    else
        m_file->seek(pos);
}

qint64 TBRStream::Position() const
{
    QMutexLocker lock(&m_lock);
    return m_inMemory ? m_pos : m_file->pos();
}

qint64 TBRStream::Size() const
{
    QMutexLocker lock(&m_lock);
    return m_inMemory ? m_memory.size() : m_file->size();
}

QString TBRStream::TempFileName() const
{
    QMutexLocker lock(&m_lock);
    return m_inMemory || !m_fileName.isEmpty() ? QString() : m_file->fileName();
}

void TBRStream::SpillToTempFile()
{
    auto f = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/BRPXXXXXX"));
    if (!f->open())
        failWrite(f->errorString());
    if (f->write(m_memory) != m_memory.size() || !f->seek(m_pos))
        failWrite(f->errorString());
    m_file = std::move(f);
    m_memory = QByteArray();
    m_inMemory = false;
}

void TBRStream::failWrite(const QString &detail) const
{
    throw EBRError(QStringLiteral("Paginile raportului nu pot fi pastrate: %1.").arg(detail));
}

void TBRStream::SaveToFile(const QString &path)
{
    QMutexLocker lock(&m_lock);
    const qint64 keep = Position();
    DurableFile out(path);
    Seek(0);
    char block[10240];
    for (qint64 n; (n = Read(block, sizeof block)) > 0;)
        out.write(block, n);
    Seek(keep);
    out.commit();
}
