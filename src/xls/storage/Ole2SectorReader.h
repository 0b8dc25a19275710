#pragma once

#include "xls/storage/ByteSource.h"
#include "xls/storage/Ole2StreamPlace.h"

#include <memory>

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
