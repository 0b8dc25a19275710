#pragma once

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QString>

#include <memory>

// The stream that holds a report's pages: in memory until it grows past its
// memory limit, then in a temporary file (deleted with the stream). A stream
// opened on a saved report reads that file and refuses writes. Every access
// takes the stream's lock, so a preview may read while a run writes.
class TBRStream
{
public:
    static constexpr qint64 DefaultMemoryLimit = 250000;

    explicit TBRStream(qint64 memoryLimit = DefaultMemoryLimit);
    // Raises EBRError (in Romanian, naming the file) when it cannot be opened.
    static std::unique_ptr<TBRStream> openFile(const QString &path);
    ~TBRStream();
    TBRStream(const TBRStream &) = delete;
    TBRStream &operator=(const TBRStream &) = delete;

    // Up to n bytes at the position; the count read (0 at the end).
    qint64 Read(char *data, qint64 n);
    // Writes at the position; raises EBRError when the bytes cannot be stored.
    void Write(const char *data, qint64 n);
    void Write(const QByteArray &b) { Write(b.constData(), b.size()); }
    void Seek(qint64 pos);
    qint64 Position() const;
    qint64 Size() const;

    bool InMemory() const { return m_inMemory; }
    // The temporary file's name once the stream spilled, else empty.
    QString TempFileName() const;
    const QString &FileName() const { return m_fileName; }

    // Writes the whole stream to `path` through the durable-write path.
    void SaveToFile(const QString &path);
    QRecursiveMutex &Lock() { return m_lock; }

private:
    void SpillToTempFile();
    [[noreturn]] void failWrite(const QString &detail) const;

    mutable QRecursiveMutex m_lock;
    bool m_inMemory = true;
    QByteArray m_memory;
    qint64 m_pos = 0;
    qint64 m_memoryLimit;
    std::unique_ptr<QFile> m_file;
    QString m_fileName; // the saved report a read-only stream was opened on
};
