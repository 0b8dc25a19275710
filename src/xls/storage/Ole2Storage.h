#pragma once

#include "xls/storage/Ole2Stream.h"

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <memory>
#include <vector>


// A stream whose bytes are made while the document is written, straight into
// the device, so a large stream is never held in memory: Stream is an (empty)
// stream of the document, Write puts exactly Size bytes.
struct TOle2LateStream
{
    const TOle2Stream *Stream = nullptr;
    qint64 Size = 0;
    std::function<void(QIODevice &)> Write;
};

// A storage of a compound document (the root or a sub-storage) with its
// children, all in memory.
//
// Reading: Open* parses a whole document (512- or 4096-byte sectors, FAT,
// DIFAT, mini-FAT, mini-stream), checks every chain and the directory, and
// raises EExcelException for a damaged or truncated document; nothing is ever
// opened with streams silently missing.
// Writing: build a tree with CreateStream/CreateStorage (names are checked:
// not empty, at most 31 characters, no duplicates without regard to case) and
// save it with SaveToFile or ToBytes as a version 3 document
// (512-byte sectors, mini-stream cutoff 4096).
class TOle2Storage : public TOle2Entry
{
public:
    static constexpr int MaxNameLength = 31;
    // Storages nested deeper than this are refused, on read and on write.
    static constexpr int MaxDepth = 64;

    TOle2Storage() = default;
    explicit TOle2Storage(QString name);
    ~TOle2Storage() override;
    TOle2Storage(const TOle2Storage &) = delete;
    TOle2Storage &operator=(const TOle2Storage &) = delete;

    bool IsStorage() const override { return true; }

    // Reading a document. The root's Name is "Root Entry". With
    // sharedStreams, a stream whose chain runs into another stream's sectors
    // is read all the same (other readers open such files) and its name is
    // appended; a caller that needs that stream whole refuses it. The
    // top-level streams in readFirst claim their sectors before the others.
    // OpenFile reads the file where it needs to, not whole; the top-level
    // streams in leaveInFile stay there, the file open, until they are asked
    // for (TOle2Stream::OpenSource reads them piece by piece). Every chain is
    // checked on opening all the same.
    static std::unique_ptr<TOle2Storage> OpenFile(const QString &fileName, QStringList *sharedStreams = nullptr,
                                                  const QStringList &readFirst = {},
                                                  const QStringList &leaveInFile = {});
    static std::unique_ptr<TOle2Storage> OpenDevice(QIODevice &device, QStringList *sharedStreams = nullptr,
                                                    const QStringList &readFirst = {});
    static std::unique_ptr<TOle2Storage> OpenBytes(QByteArrayView bytes, QStringList *sharedStreams = nullptr,
                                                   const QStringList &readFirst = {});

    // Children in the document's order (sorted as the directory sorts names).
    const std::vector<std::unique_ptr<TOle2Entry>> &Entries() const { return m_entries; }
    int Count() const { return int(m_entries.size()); }

    // Lookups compare names without regard to case; nullptr when absent.
    TOle2Entry *Find(QStringView name) const;
    TOle2Stream *FindStream(QStringView name) const;
    TOle2Storage *FindStorage(QStringView name) const;
    // As FindStream, but raises EExcelException naming the missing stream.
    TOle2Stream &OpenStream(QStringView name) const;

    // Adds a new empty child; raises EExcelException for a bad or taken name.
    TOle2Stream &CreateStream(const QString &name);
    TOle2Storage &CreateStorage(const QString &name);
    // Adds an existing entry (its name is checked the same way).
    TOle2Entry &Add(std::unique_ptr<TOle2Entry> entry);
    // Removes a child; false when there is none of that name.
    bool Remove(QStringView name);

    // A deep copy of this storage and everything below it.
    std::unique_ptr<TOle2Storage> Clone() const;

    // Writing the document whose root this storage is. SaveToFile writes to a
    // temporary file in the same folder and renames it when complete.
    QByteArray ToBytes() const;
    void SaveToFile(const QString &fileName) const;
    // Writes the document into device, the late stream's bytes (if any) as
    // they are made. Raises EExcelException when a write falls short.
    void SaveToDevice(QIODevice &device, const TOle2LateStream *late = nullptr) const;

    // Whether two names are the same entry name (the format's upper-casing).
    static bool SameName(QStringView a, QStringView b);
    // Raises EExcelException when the name cannot be an entry name.
    static void CheckName(QStringView name);

private:
    std::vector<std::unique_ptr<TOle2Entry>> m_entries;
};
