#include "xls/storage/GatheringDevice.h"

#include "xls/storage/ExcelException.h"

#include <utility>

TGatheringDevice::TGatheringDevice(QIODevice &out) : m_out(out), m_buffer(new char[Capacity])
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

TGatheringDevice::~TGatheringDevice() = default;

bool TGatheringDevice::PassOn()
{
    const qint64 used = std::exchange(m_used, 0);
    m_passed += used;
    return used == 0 || m_out.write(m_buffer.get(), used) == used;
}

static void RaiseCantWrite()
{
    throw EExcelException(QStringLiteral("Error writing output file"));
}

void TGatheringDevice::PassOnOrRaise()
{
    if (!PassOn())
        RaiseCantWrite();
}

void TGatheringDevice::PutLarge(const char *data, qint64 size)
{
    PassOnOrRaise();
    if (size < Capacity) {
        std::memcpy(m_buffer.get(), data, size_t(size));
        m_used = size;
        return;
    }
    if (m_out.write(data, size) != size)
        RaiseCantWrite();
    m_passed += size;
}

qint64 TGatheringDevice::writeData(const char *data, qint64 size)
{
    try {
        Put(data, size);
    } catch (const EExcelException &) {
        return -1;
    }
    return size;
}
