#pragma once

#include "xls/storage/ByteSource.h"

#include <QString>

#include <memory>
#include <vector>

class TOle2File;

// Where a stream lies in its document: the file and the stream's sectors in
// order, every one of them checked to lie within the file when it was opened.
struct TOle2StreamPlace
{
    std::shared_ptr<TOle2File> File;
    std::vector<quint32> Sectors;
    int SectorSize = 512;
    qint64 Size = 0;
    // The error when the file ends before the stream (it was cut short since).
    QString ShortMessage;

    // Copies count bytes of the stream from offset into dest, a run of
    // adjacent sectors at a time.
    void ReadInto(qint64 offset, qint64 count, char *dest) const;
    QByteArray ReadAll() const;
};

// A stream read from its sectors a piece at a time as it is parsed.
class TOle2SectorReader : public TByteSource
{
public:
    explicit TOle2SectorReader(std::shared_ptr<const TOle2StreamPlace> place) : m_place(std::move(place)) {}

    qint64 Size() const override { return m_place->Size; }
    QByteArrayView Read(qint64 offset, qsizetype count) override;

private:
    std::shared_ptr<const TOle2StreamPlace> m_place;
    QByteArray m_buffer;
};
