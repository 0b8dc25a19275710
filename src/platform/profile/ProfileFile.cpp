#include "platform/profile/ProfileFile.h"

#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/profile/ProfileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <sys/stat.h>

namespace {

[[noreturn]] void fail(const QString &text, const QString &path, const QString &reason = {})
{
    QString msg = text + QStringLiteral(": ") + QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        msg += QStringLiteral(" (") + reason + u')';
    throw ProfileError(msg.toStdString());
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
}

namespace {

// What identifies one state of the file on disk. The inode changes with every
// replace-by-rename, so a write from another program is seen even within one
// clock tick and at the same size.
struct Stamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return Stamp{true, static_cast<qint64>(st.st_size),
                 static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                 static_cast<quint64>(st.st_ino), static_cast<quint64>(st.st_dev)};
}

struct Cached
{
    Stamp stamp;
    ProfileText text;
};

// Parsed files by absolute path, shared by every ProfileFile in the process.
QMutex g_cacheLock;
QHash<QString, Cached> g_cache;

QString cacheKey(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

ProfileText load(const QString &path, const Stamp &now)
{
    if (!now.exists)
        return {};
    if (now.size > ProfileFile::MaxSize)
        fail(QStringLiteral("Fisierul de setari este prea mare"), path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Nu pot citi fisierul de setari"), path, f.errorString());
    const QByteArray bytes = f.read(ProfileFile::MaxSize + 1);
    if (bytes.size() > ProfileFile::MaxSize)
        fail(QStringLiteral("Fisierul de setari este prea mare"), path);
    return ProfileText::parse(bytes);
}

} // namespace

ProfileText ProfileFile::current() const
{
    const QString key = cacheKey(m_path);
    const Stamp now = stampOf(m_path);
    QMutexLocker lock(&g_cacheLock);
    const auto it = g_cache.constFind(key);
    if (it != g_cache.constEnd() && it->stamp == now)
        return it->text;
    ProfileText text = load(m_path, now);
    g_cache.insert(key, Cached{now, text});
    return text;
}

QString ProfileFile::read(const QString &section, const QString &key, const QString &fallback) const
{
    return current().value(section, key, fallback);
}

bool ProfileFile::contains(const QString &section, const QString &key) const
{
    return current().contains(section, key);
}

QStringList ProfileFile::sections() const
{
    return current().sections();
}

QStringList ProfileFile::keys(const QString &section) const
{
    return current().keys(section);
}

void ProfileFile::write(const QString &section, const QString &key, const QString &value)
{
    update([&](ProfileText &t) { t.setValue(section, key, value); });
}

void ProfileFile::update(const std::function<void(ProfileText &)> &change)
{
    ProfileText t = current();
    change(t);
    store(t);
}

void ProfileFile::removeKey(const QString &section, const QString &key)
{
    ProfileText t = current();
    if (t.removeKey(section, key))
        store(t);
}

void ProfileFile::store(const ProfileText &t)
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("Nu pot crea directorul"), folder);
    const QByteArray bytes = t.toBytes();
    FileWriteError::as<ProfileError>([&] { DurableFile::save(m_path, bytes); });
    // Cache what the file now holds, so a read gives what a restart would
    // (a letter the code page lacks reads back as the one written for it).
    QMutexLocker lock(&g_cacheLock);
    g_cache.insert(cacheKey(m_path), Cached{stampOf(m_path), ProfileText::parse(bytes)});
}
