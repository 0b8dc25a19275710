#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class QIODevice;

// The one way a file for the user is written: the bytes go to a temporary file
// in the target's folder, every write is checked, the file is flushed and
// synced, and only then renamed over the target. On any failure the temporary
// file is removed, the old target stays as it was, and FileWriteError names the
// file and the cause in Romanian ("Nu este spatiu pe disc", ...).
//
//   DurableFile f(path);
//   f.write(header);
//   f.write(body);
//   f.commit();            // the target now holds header + body, or it throws
//
// A DurableFile destroyed before commit() leaves the target untouched. The
// temporary files a killed save of the same target left behind are removed
// when the next one starts (only those no running writer holds).
class DurableFile
{
public:
    explicit DurableFile(const QString &target);
    ~DurableFile();
    DurableFile(const DurableFile &) = delete;
    DurableFile &operator=(const DurableFile &) = delete;

    const QString &target() const { return m_target; }
    // The temporary file's path, for writers that must hand a path to a library.
    const QString &temporaryPath() const { return m_temp; }
    qint64 size() const { return m_written; }

    void write(const char *data, qint64 size);
    void write(const QByteArray &bytes) { write(bytes.constData(), bytes.size()); }
    // Flushes, syncs and closes the temporary file, which stays under its
    // temporary name (a file written by a library through temporaryPath() is
    // synced too). commit() calls it when it has not run.
    void finish();
    // finish(), then renames the temporary file over the target.
    void commit();
    // Forgets the temporary file without removing it (its new owner renames
    // it); answers the descriptor that keeps it locked meanwhile (-1 for
    // none), which the new owner closes once the file is renamed or removed.
    int release();
    // Gives up: removes the temporary file, keeps the target.
    void discard();

    // Whole-file write in one call.
    static void save(const QString &target, const QByteArray &bytes);
    // Syncs a folder so a rename in it survives a power cut (best effort).
    static void syncFolder(const QString &folder);
    // True for the name a temporary file of this class has (".<name>.<n>.part").
    static bool isTemporaryName(const QString &fileName);
    // Removes the temporary files a killed run left in `folder` (not below
    // it); answers how many went.
    static int removeTemporaries(const QString &folder);
    // The Romanian sentence for a failed write of `path` with errno `error`.
    [[noreturn]] static void raise(const QString &path, int error, const QString &action = {});

    // For files changed in place (a table growing by appends): writes all of
    // `size` bytes at `offset` of the open descriptor, or raises for `path`.
    static void writeAt(int fd, qint64 offset, const char *data, qint64 size, const QString &path);
    // fsync of an open descriptor, or raises for `path`.
    static void sync(int fd, const QString &path);

private:
    void open();
    void flushBuffer();
    void closeHold();

    QString m_target;
    QString m_temp;
    enum class State { Open, Finished, Done };
    int m_fd = -1;
    int m_hold = -1; // a second descriptor of the temporary file, for its lock
    QByteArray m_buffer;
    qint64 m_written = 0;
    State m_state = State::Open;
};

// A group of files written together (a restore, a package of documents): each
// one goes to its temporary file first; only when all are written are they
// renamed in, one after the other.
class DurableFileSet
{
public:
    DurableFileSet() = default;
    ~DurableFileSet();
    DurableFileSet(const DurableFileSet &) = delete;
    DurableFileSet &operator=(const DurableFileSet &) = delete;

    // Writes `bytes` to a temporary file beside `target` (throws on failure).
    void add(const QString &target, const QByteArray &bytes);
    // The same for a writer that streams: what `write` puts into the device
    // goes to the temporary file. A failed file write is raised as such,
    // whatever the writer made of the device's refusal.
    void add(const QString &target, const std::function<void(QIODevice &)> &write);
    // Renames every temporary file over its target.
    void commit();

    struct Pending
    {
        QString target, temp;
        int hold = -1; // keeps the temporary file locked until it is renamed
    };
    // Each file waiting for commit(), with its temporary file (absolute paths).
    const std::vector<Pending> &pending() const { return m_pending; }

private:
    std::vector<Pending> m_pending;
    bool m_done = false;
};
