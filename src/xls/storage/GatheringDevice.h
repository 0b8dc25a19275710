#pragma once

#include "xls/storage/ExcelException.h"

#include <QIODevice>

#include <cstring>
#include <memory>

// Gathers the many small writes of a workbook save (a record or a few bytes
// at a time) into large ones for the device below, which may do much for
// each write. Put is the cheap way in: an inline copy while there is room,
// without the per-call work of QIODevice::write; writes through the
// QIODevice interface land in the same buffer. A refused write below raises
// "Error writing output file" (Put) or fails the QIODevice write.
class TGatheringDevice : public QIODevice
{
public:
    explicit TGatheringDevice(QIODevice &out);
    ~TGatheringDevice() override;

    void Put(const char *data, qint64 size)
    {
        if (size <= Capacity - m_used) {
            std::memcpy(m_buffer.get() + m_used, data, size_t(size));
            m_used += size;
            return;
        }
        PutLarge(data, size);
    }
    // Room for size bytes (at most Room) written in place, taken when done.
    char *Reserve(qint64 size)
    {
        if (size > Capacity - m_used)
            PassOnOrRaise();
        return m_buffer.get() + m_used;
    }
    void Commit(qint64 size) { m_used += size; }

    // Writes what is gathered; false when the device below refuses it.
    bool PassOn();
    // The same, raising "Error writing output file" when refused.
    void PassOnOrRaise();
    // Bytes taken so far, passed on or not.
    qint64 pos() const override { return m_passed + m_used; }
    bool isSequential() const override { return true; }

    static constexpr qint64 Capacity = qint64(1) << 16;
    static constexpr qint64 Room = 1024;  // the most Reserve gives

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    void PutLarge(const char *data, qint64 size);

    QIODevice &m_out;
    std::unique_ptr<char[]> m_buffer;
    qint64 m_used = 0;
    qint64 m_passed = 0;
};

// Runs write(gathering device) on the stream itself when it gathers already,
// else on one over it, passed on at the end.
template <class Write>
void WriteGathered(QIODevice &stream, Write &&write)
{
    if (auto *gathering = dynamic_cast<TGatheringDevice *>(&stream)) {
        write(*gathering);
        return;
    }
    TGatheringDevice gathering(stream);
    write(gathering);
    gathering.PassOnOrRaise();
}
