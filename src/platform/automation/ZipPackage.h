#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

struct zip;
struct zip_source;

// A zip package read into memory: parts are read on demand, changed parts are
// kept in memory, and at commit the package is rebuilt in memory and written
// over the file through DurableFile. Parts that were not changed keep their
// compressed bytes as they were.
class ZipPackage
{
public:
    ZipPackage() = default;
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    void open(const QString &path);
    bool isOpen() const { return m_zip != nullptr; }
    bool contains(const QString &name) const;
    QByteArray read(const QString &name) const; // throws when missing or too large
    void replace(const QString &name, const QByteArray &bytes);
    void remove(const QString &name);
    // Writes the package (to a temporary file renamed over the old one).
    void commit();
    void discard();

    // Larger files are refused rather than read whole.
    static constexpr qint64 MaxPackageSize = 512ll * 1024 * 1024;

private:
    QByteArray rebuilt();

    zip *m_zip = nullptr;
    zip_source *m_source = nullptr; // the package bytes; after zip_close, the rebuilt package
    QByteArray m_bytes;             // the file as read, which m_source reads from
    QString m_path;
    QHash<QString, QByteArray> m_changed; // kept alive until commit: the zip sources point into them
};
