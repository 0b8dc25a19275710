#pragma once

#include <QByteArray>
#include <QString>

#include "xls/storage/ByteSource.h"

#include <memory>

struct TOle2StreamPlace;

// One entry of a compound document's directory: its name, class id, state bits
// and the two FILETIME stamps, kept as read so a rewrite carries them over.
class TOle2Entry
{
public:
    virtual ~TOle2Entry() = default;

    virtual bool IsStorage() const = 0;

    QString Name;
    QByteArray ClassId = QByteArray(16, '\0'); // always 16 bytes
    quint32 StateBits = 0;
    quint64 CreationTime = 0;     // FILETIME, 100 ns since 1601
    quint64 ModificationTime = 0; // FILETIME
};

// A stream of a compound document, held in memory, with a read/write position.
// A stream the reader was asked to leave in its file (TOle2Storage::OpenFile)
// is read from there: whole at the first call that needs its bytes, or piece
// by piece through OpenSource.
class TOle2Stream : public TOle2Entry
{
public:
    enum class SeekOrigin { Begin, Current, End };

    TOle2Stream() = default;
    explicit TOle2Stream(QString name, QByteArray data = QByteArray());

    bool IsStorage() const override { return false; }

    // The whole content; writing through Write() or Data() changes what is saved.
    const QByteArray &Data() const
    {
        if (m_place)
            ReadFromFile();
        return m_data;
    }
    QByteArray &Data()
    {
        if (m_place)
            ReadFromFile();
        return m_data;
    }
    void SetData(QByteArray data);
    // Leaves the content in the document's file until it is asked for.
    void SetPlace(std::shared_ptr<const TOle2StreamPlace> place);
    // The content, without a copy of it: a stream left in its file is read
    // from there a piece at a time, through its own reader.
    std::unique_ptr<TByteSource> OpenSource() const;

    qint64 Size() const;
    qint64 Position() const { return m_pos; }

    // Reads up to count bytes at the position; returns how many were read.
    qint64 Read(void *buffer, qint64 count);
    // Writes at the position, growing the stream as needed.
    void Write(const void *buffer, qint64 count);
    // Moves the position; a position before 0 raises, one past the end is clamped.
    qint64 Seek(qint64 offset, SeekOrigin origin = SeekOrigin::Current);

private:
    void ReadFromFile() const;

    // Filled from the place, when there is one, at the first need.
    mutable QByteArray m_data;
    mutable std::shared_ptr<const TOle2StreamPlace> m_place;
    qint64 m_pos = 0;
};
