#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>

#include <memory>

// The bytes of a compound document being read: held in memory, or an open
// file read where they are needed, so a large document is never copied whole.
class TOle2File
{
public:
    // The bytes must outlive the reading.
    explicit TOle2File(QByteArrayView bytes);
    explicit TOle2File(std::unique_ptr<QFile> file);

    qint64 Size() const { return m_size; }
    // count bytes at offset, fewer where the file ends; the view holds until
    // the next call.
    QByteArrayView View(qint64 offset, qsizetype count);
    // Copies count bytes at offset into dest; false when the file ends before.
    bool ReadInto(qint64 offset, qint64 count, char *dest);

private:
    QByteArrayView m_bytes;
    std::unique_ptr<QFile> m_file;
    qint64 m_size = 0;
    QByteArray m_buffer;
};
