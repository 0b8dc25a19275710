#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Bytes kept elsewhere and handed out a piece at a time, such as a stream read
// from its document's sectors while it is parsed, so that it is never held
// whole in memory.
class TByteSource
{
public:
    virtual ~TByteSource() = default;

    virtual qint64 Size() const = 0;
    // The bytes from offset on: at least count of them, or all that are left.
    // The view holds until the next call.
    virtual QByteArrayView Read(qint64 offset, qsizetype count) = 0;
};

// Bytes held in memory (shared, not copied), handed out whole.
class TMemoryByteSource : public TByteSource
{
public:
    explicit TMemoryByteSource(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    qint64 Size() const override { return m_bytes.size(); }
    QByteArrayView Read(qint64 offset, qsizetype) override
    {
        return QByteArrayView(m_bytes).sliced(qMin<qint64>(offset, m_bytes.size()));
    }

private:
    QByteArray m_bytes;
};
