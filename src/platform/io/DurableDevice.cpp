#include "platform/io/DurableDevice.h"

DurableDevice::DurableDevice(const QString &target) : m_file(target)
{
    // DurableFile buffers already.
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

DurableDevice::~DurableDevice() = default;

qint64 DurableDevice::writeData(const char *data, qint64 size)
{
    if (m_failure)
        return -1;
    try {
        m_file.write(data, size);
        return size;
    } catch (...) {
        m_failure = std::current_exception();
        return -1;
    }
}

void DurableDevice::rethrowFailure() const
{
    if (m_failure)
        std::rethrow_exception(m_failure);
}

void DurableDevice::commit()
{
    rethrowFailure();
    close();
    m_file.commit();
}

DurableFileSet::Pending DurableDevice::finishAndRelease()
{
    rethrowFailure();
    close();
    m_file.finish();
    const int hold = m_file.release();
    return {m_file.target(), m_file.temporaryPath(), hold};
}
