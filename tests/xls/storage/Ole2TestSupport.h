#pragma once

// Helpers shared by the compound-document tests.

#include "xls/storage/ByteUtils.h"
#include "xls/storage/Ole2Storage.h"
#include "xls/support/IndependentReaders.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>

namespace Ole2Test {

// Every compound document of the fixture corpus.
inline QStringList fixtureFiles()
{
    QDir dir(IndependentReaders::fixture(QString()));
    QStringList out;
    for (const QString &f : dir.entryList({QStringLiteral("*.xls"), QStringLiteral("*.ole")}, QDir::Files, QDir::Name))
        out << dir.filePath(f);
    return out;
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// Our tree in olefile's shape: path -> entry, the root as "".
inline QMap<QString, IndependentReaders::OleEntry> flatten(const TOle2Storage &root)
{
    QMap<QString, IndependentReaders::OleEntry> out;
    struct Item { const TOle2Entry *entry; QString path; };
    QVector<Item> todo{{&root, QString()}};
    while (!todo.isEmpty()) {
        const Item item = todo.takeLast();
        IndependentReaders::OleEntry e;
        e.path = item.path;
        e.storage = item.entry->IsStorage();
        e.classId = item.entry->ClassId;
        e.creationTime = item.entry->CreationTime;
        e.modificationTime = item.entry->ModificationTime;
        if (e.storage) {
            for (const auto &child : static_cast<const TOle2Storage *>(item.entry)->Entries())
                todo.append({child.get(), item.path.isEmpty() ? child->Name : item.path + '/' + child->Name});
        } else {
            e.data = static_cast<const TOle2Stream *>(item.entry)->Data();
        }
        out.insert(e.path, e);
    }
    return out;
}

// Where our writer put things, read from the header the way the format defines it.
struct Layout
{
    QByteArray bytes;
    qsizetype sectorSize() const { return qsizetype(1) << ReadWord(bytes, 30); }
    qsizetype sectorOffset(quint32 sector) const { return (qsizetype(sector) + 1) * sectorSize(); }
    quint32 firstDir() const { return ReadCardinal(bytes, 48); }
    quint32 firstFat() const { return ReadCardinal(bytes, 76); }
    // The writer lays the directory out in consecutive sectors.
    qsizetype entry(quint32 index) const { return sectorOffset(firstDir()) + qsizetype(index) * 128; }
    qsizetype fatLink(quint32 sector) const { return sectorOffset(firstFat()) + qsizetype(sector) * 4; }
    quint32 startOf(quint32 index) const { return ReadCardinal(bytes, entry(index) + 116); }
    quint32 indexOf(const QString &name) const
    {
        for (quint32 i = 0; entry(i) + 128 <= bytes.size(); ++i) {
            const qsizetype e = entry(i);
            const int chars = ReadWord(bytes, e + 64) / 2 - 1;
            QString n;
            for (int c = 0; c < chars; ++c)
                n += QChar(ReadWord(bytes, e + 2 * c));
            if (n == name)
                return i;
        }
        return 0xFFFFFFFF;
    }
};

} // namespace Ole2Test
