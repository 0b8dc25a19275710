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
#include <utility>

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

// What temporaryNameFor() puts after the target's name.
const QString kTemporaryEnd = QStringLiteral("\\.[0-9a-z]{1,7}\\.part$");

const QRegularExpression &temporaryPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+") + kTemporaryEnd);
    return pattern;
}

// A writer keeps a lock on its temporary file until the file is renamed or
// removed, and the lock goes with the writer when it is killed. So one that
// can be locked has no writer left and may be removed, even in a folder other
// workstations write to; on a file system without locks none is removed.
// The locks belong to the open file, not the process: a writer and a remover
// in one program see each other too.
int lockWhole(int fd, short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

// True when `path` still names the file open as `fd`.
bool stillNamed(int fd, const QByteArray &path)
{
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
           && opened.st_ino == named.st_ino;
}

// Removes a temporary file that no writer holds; true when it went.
bool removeIfStale(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && lockWhole(fd, F_RDLCK) == 0 && stillNamed(fd, path);
    const bool removed = stale && ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

// Removes the temporary files in `folder` that match `pattern` and that no
// writer holds; answers how many went.
int removeStale(const QString &folder, const QRegularExpression &pattern)
{
    int removed = 0;
    const QStringList names = QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (pattern.match(name).hasMatch() && removeIfStale(QFile::encodeName(folder + u'/' + name)))
            ++removed;
    return removed;
}

// The temporary files of `target` that a killed save left beside it: the
// names openTemporary() gives, ".<file name>.<n>.part", and no other's.
void removeStaleTemporaries(const QString &target)
{
    const QFileInfo info(target);
    removeStale(info.absolutePath(), QRegularExpression(u'^' + QRegularExpression::escape(u'.' + info.fileName()) + kTemporaryEnd));
}

// Opens a fresh temporary file beside `target`, locked, with the target's
// permissions when it exists (the umask's otherwise).
int openTemporary(const QString &target, QString &temp)
{
    struct stat old {};
    const QByteArray native = QFile::encodeName(target);
    const bool exists = ::stat(native.constData(), &old) == 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp = temporaryNameFor(target);
        const QByteArray path = QFile::encodeName(temp);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno != EEXIST)
                DurableFile::raise(target, errno);
            continue;
        }
        // A remover that came between the open and the lock has it, or had it and removed it.
        const int locked = lockWhole(fd, F_WRLCK);
        if (locked == EAGAIN || locked == EACCES || !stillNamed(fd, path)) {
            ::close(fd);
            continue;
        }
        if (exists)
            ::fchmod(fd, old.st_mode & 07777);
        return fd;
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
    removeStaleTemporaries(m_target);
    m_fd = openTemporary(m_target, m_temp);
    // Keeps the lock after the file is closed, until it is renamed or removed.
    m_hold = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
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
    closeHold();
    syncFolder(QFileInfo(m_target).absolutePath());
}

int DurableFile::release()
{
    m_state = State::Done;
    return std::exchange(m_hold, -1);
}

void DurableFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temp.isEmpty())
        ::unlink(QFile::encodeName(m_temp).constData());
    m_state = State::Done;
    closeHold();
}

void DurableFile::closeHold()
{
    if (m_hold >= 0)
        ::close(m_hold);
    m_hold = -1;
}

bool DurableFile::isTemporaryName(const QString &fileName)
{
    return temporaryPattern().match(fileName).hasMatch();
}

int DurableFile::removeTemporaries(const QString &folder)
{
    return removeStale(folder, temporaryPattern());
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
    for (const Pending &p : m_pending) {
        if (!m_done)
            ::unlink(QFile::encodeName(p.temp).constData());
        if (p.hold >= 0)
            ::close(p.hold);
    }
}

void DurableFileSet::add(const QString &target, const QByteArray &bytes)
{
    DurableFile file(target);
    file.write(bytes);
    // Written and synced under the temporary name; the rename waits for commit().
    file.finish();
    m_pending.push_back({file.target(), file.temporaryPath(), file.release()});
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
    m_pending.push_back(device.finishAndRelease());
}

void DurableFileSet::commit()
{
    for (Pending &p : m_pending) {
        KillPoint::reach("durableSet.rename");
        if (::rename(QFile::encodeName(p.temp).constData(), QFile::encodeName(p.target).constData()) != 0)
            DurableFile::raise(p.target, errno);
        if (p.hold >= 0)
            ::close(std::exchange(p.hold, -1));
    }
    m_done = true;
    if (!m_pending.empty())
        DurableFile::syncFolder(QFileInfo(m_pending.front().target).absolutePath());
}
