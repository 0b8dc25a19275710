#pragma once

#include "platform/profile/ProfileText.h"

#include <QString>
#include <QStringList>

#include <functional>

// One INI file on disk (Tolvard.set, Local.set, GMT.dII). A missing file or
// key reads as empty; every write goes to the file at once through a
// temporary file renamed over the old one, keeping all other lines. Reads
// re-read the file only when it changed on disk, since the settings are
// read from many places and other workstations may write them; the parsed
// text is shared by every ProfileFile of the same path, so a short-lived
// object costs no re-read either.
class ProfileFile
{
public:
    explicit ProfileFile(QString path);

    const QString &path() const { return m_path; }

    QString read(const QString &section, const QString &key, const QString &fallback = {}) const;
    bool contains(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    // Creates the folder when missing. Throws ProfileError when the file
    // cannot be written; the old file is then left as it was.
    void write(const QString &section, const QString &key, const QString &value);
    // Several changes in one rewrite: change edits the text as the file holds
    // it; when it throws, nothing is written.
    void update(const std::function<void(ProfileText &)> &change);
    void removeKey(const QString &section, const QString &key);

    // Larger files are refused rather than read whole.
    static constexpr qint64 MaxSize = 4 * 1024 * 1024;

private:
    ProfileText current() const;
    void store(const ProfileText &t);

    QString m_path;
};
