#include "platform/profile/ProfileFile.h"

#include "platform/profile/ProfileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

ProfileFile::Stamp ProfileFile::stamp() const
{
    struct stat st {};
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return {};
    // The inode changes with every replace-by-rename, so a write from
    // another program is seen even within one clock tick.
    return Stamp{true, static_cast<qint64>(st.st_size),
                 static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                 static_cast<quint64>(st.st_ino), static_cast<quint64>(st.st_dev)};
}

const ProfileText &ProfileFile::text() const
{
    const Stamp now = stamp();
    if (m_loaded && now == m_stamp)
        return m_text;
    if (!now.exists) {
        m_text = ProfileText();
    } else {
        if (now.size > MaxSize)
            fail(QStringLiteral("Fisierul de setari este prea mare"), m_path);
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            fail(QStringLiteral("Nu pot citi fisierul de setari"), m_path, f.errorString());
        const QByteArray bytes = f.read(MaxSize + 1);
        if (bytes.size() > MaxSize)
            fail(QStringLiteral("Fisierul de setari este prea mare"), m_path);
        m_text = ProfileText::parse(bytes);
    }
    m_stamp = now;
    m_loaded = true;
    return m_text;
}

QString ProfileFile::read(const QString &section, const QString &key, const QString &fallback) const
{
    return text().value(section, key, fallback);
}

bool ProfileFile::contains(const QString &section, const QString &key) const
{
    return text().contains(section, key);
}

QStringList ProfileFile::sections() const
{
    return text().sections();
}

QStringList ProfileFile::keys(const QString &section) const
{
    return text().keys(section);
}

void ProfileFile::write(const QString &section, const QString &key, const QString &value)
{
    ProfileText t = text();
    t.setValue(section, key, value);
    store(t);
}

void ProfileFile::removeKey(const QString &section, const QString &key)
{
    ProfileText t = text();
    if (t.removeKey(section, key))
        store(t);
}

void ProfileFile::store(const ProfileText &t)
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("Nu pot crea directorul"), folder);
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly))
        fail(QStringLiteral("Nu pot scrie fisierul de setari"), m_path, f.errorString());
    const QByteArray bytes = t.toBytes();
    if (f.write(bytes) != bytes.size() || !f.commit())
        fail(QStringLiteral("Nu pot scrie fisierul de setari"), m_path, f.errorString());
    m_text = t;
    m_stamp = stamp();
    m_loaded = true;
}
