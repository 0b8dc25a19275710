#include "platform/io/DurableFile.h"
#include "platform/io/DurableDevice.h"
#include "platform/io/FileWriteError.h"
#include "platform/io/KillPoint.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype BufferSize = 64 * 1024;

QString causeText(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Nu este spatiu pe disc");
    case EACCES:
    case EPERM:
        return QStringLiteral("Nu am drept de scriere");
    case EROFS:
        return QStringLiteral("Discul este protejat la scriere");
    case EFBIG:
        return QStringLiteral("Fisierul depaseste marimea permisa");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Directorul nu exista");
    case EIO:
        return QStringLiteral("Eroare de citire/scriere pe disc");
    default:
        return QStringLiteral("Eroare la scriere");
    }
}

QString temporaryNameFor(const QString &target)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".")
           + QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".part");
}

const QRegularExpression &temporaryPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.[0-9a-z]{1,7}\\.part$"));
    return pattern;
}

// Opens a fresh temporary file beside `target`, with the target's permissions
// when it exists (the umask's otherwise).
int openTemporary(const QString &target, QString &temp)
{
    struct stat old {};
    const QByteArray native = QFile::encodeName(target);
    const bool exists = ::stat(native.constData(), &old) == 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = temporaryNameFor(target);
        const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists)
                ::fchmod(fd, old.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST)
            DurableFile::raise(target, errno);
    }
    DurableFile::raise(target, EEXIST);
}

// Writes all of `size` bytes, at `offset` or (offset < 0) where the file
// stands; 0 or the errno of the failure.
int writeAll(int fd, const char *data, qint64 size, qint64 offset = -1)
{
    while (size > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, data, size_t(size)) : ::pwrite(fd, data, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        size -= n;
        if (offset >= 0)
            offset += n;
    }
    return 0;
}

} // namespace

DurableFile::DurableFile(const QString &target) : m_target(QFileInfo(target).absoluteFilePath())
{
    m_buffer.reserve(BufferSize);
    open();
}

DurableFile::~DurableFile()
{
    if (m_state != State::Done)
        discard();
}

void DurableFile::open()
{
    m_fd = openTemporary(m_target, m_temp);
}

void DurableFile::raise(const QString &path, int error, const QString &action)
{
    const QString what = action.isEmpty() ? QStringLiteral("Nu pot scrie fisierul") : action;
    QString text = QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), causeText(error));
    if (error == EACCES || error == EPERM || error == EROFS)
        text += QStringLiteral(" in ") + QFileInfo(path).absolutePath();
    throw FileWriteError(text + u'.', QString::fromUtf8(strerrordesc_np(error)), error);
}

void DurableFile::writeAt(int fd, qint64 offset, const char *data, qint64 size, const QString &path)
{
    if (const int error = writeAll(fd, data, size, offset))
        raise(path, error);
}

void DurableFile::sync(int fd, const QString &path)
{
    if (::fsync(fd) != 0)
        raise(path, errno);
}

void DurableFile::flushBuffer()
{
    if (m_buffer.isEmpty())
        return;
    if (const int error = writeAll(m_fd, m_buffer.constData(), m_buffer.size())) {
        discard();
        raise(m_target, error);
    }
    m_buffer.clear();
}

void DurableFile::write(const char *data, qint64 size)
{
    if (m_state != State::Open)
        raise(m_target, EBADF);
    m_written += size;
    // A write of a whole buffer or more (a save's gathered writes) goes
    // straight to the file rather than through a copy.
    if (m_buffer.size() + size < BufferSize) {
        m_buffer.append(data, size);
        return;
    }
    flushBuffer();
    if (size >= BufferSize) {
        if (const int error = writeAll(m_fd, data, size)) {
            discard();
            raise(m_target, error);
        }
    } else {
        m_buffer.append(data, size);
    }
}

void DurableFile::finish()
{
    if (m_state != State::Open)
        raise(m_target, EBADF);
    flushBuffer();
    int error = 0;
    if (::fsync(m_fd) != 0)
        error = errno;
    if (::close(m_fd) != 0 && error == 0)
        error = errno;
    m_fd = -1;
    if (error == 0 && m_written == 0) {
        // Filled by a library through the path, perhaps as a new inode: sync that one.
        const int fd = ::open(QFile::encodeName(m_temp).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0)
            error = errno;
        if (fd >= 0)
            ::close(fd);
    }
    if (error != 0) {
        discard();
        raise(m_target, error);
    }
    m_state = State::Finished;
}

void DurableFile::commit()
{
    if (m_state == State::Open)
        finish();
    if (m_state != State::Finished)
        raise(m_target, EBADF);
    KillPoint::reach("durable.rename");
    if (::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_target).constData()) != 0) {
        const int error = errno;
        discard();
        raise(m_target, error);
    }
    m_state = State::Done;
    syncFolder(QFileInfo(m_target).absolutePath());
}

void DurableFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.isEmpty())
        ::unlink(QFile::encodeName(m_temp).constData());
    m_state = State::Done;
}

bool DurableFile::isTemporaryName(const QString &fileName)
{
    return temporaryPattern().match(fileName).hasMatch();
}

int DurableFile::removeTemporaries(const QString &folder)
{
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries)
        if (!entry.isSymLink() && isTemporaryName(entry.fileName()) && QFile::remove(entry.filePath()))
            ++removed;
    return removed;
}

void DurableFile::save(const QString &target, const QByteArray &bytes)
{
    DurableFile f(target);
    f.write(bytes);
    f.commit();
}

void DurableFile::syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

DurableFileSet::~DurableFileSet()
{
    if (m_done)
        return;
    for (const Pending &p : m_pending)
        ::unlink(QFile::encodeName(p.temp).constData());
}

void DurableFileSet::add(const QString &target, const QByteArray &bytes)
{
    DurableFile file(target);
    file.write(bytes);
    // Written and synced under the temporary name; the rename waits for commit().
    file.finish();
    file.release();
    m_pending.push_back({file.target(), file.temporaryPath()});
}

void DurableFileSet::add(const QString &target, const std::function<void(QIODevice &)> &write)
{
    DurableDevice device(target);
    try {
        write(device);
    } catch (...) {
        device.rethrowFailure();
        throw;
    }
    const QString temp = device.finishAndRelease();
    m_pending.push_back({QFileInfo(target).absoluteFilePath(), temp});
}

void DurableFileSet::commit()
{
    for (const Pending &p : m_pending) {
        KillPoint::reach("durableSet.rename");
        if (::rename(QFile::encodeName(p.temp).constData(), QFile::encodeName(p.target).constData()) != 0)
            DurableFile::raise(p.target, errno);
    }
    m_done = true;
    if (!m_pending.empty())
        DurableFile::syncFolder(QFileInfo(m_pending.front().target).absolutePath());
}
