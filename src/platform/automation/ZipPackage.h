#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

struct zip;

// A zip package opened in place: parts are read on demand, changed parts are
// kept in memory and written at commit. Parts that were not changed keep their
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

private:
    zip *m_zip = nullptr;
    QString m_path;
    QHash<QString, QByteArray> m_changed; // kept alive until commit: the zip sources point into them
};
