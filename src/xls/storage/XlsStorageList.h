#pragma once

#include "xls/storage/Ole2Storage.h"

#include <QStringView>
#include <memory>

// Every stream and sub-storage of a compound document, read into memory so
// that a save can write them back into a new document. The root's class id
// and time stamps travel with them.
class TXlsStorageList
{
public:
    TXlsStorageList();
    ~TXlsStorageList();

    // Replaces the list with a copy of everything in the given document.
    void LoadFrom(const TOle2Storage &document);
    // Reads a document from a file, a device or bytes into the list. Streams
    // that share sectors with another stream are read all the same and named
    // by SharedSectorStreams: the caller refuses the file when it needs one.
    // From a file, the workbook stream stays there until it is read
    // (TOle2Stream::OpenSource), the file open.
    void LoadFromFile(const QString &fileName);
    void LoadFromDevice(QIODevice &device);
    void LoadFromBytes(QByteArrayView bytes);

    // Copies every entry into the target document (a new root), except a
    // top-level stream named exceptStream (compared without regard to case),
    // and gives the target this list's root class id and time stamps.
    void SaveTo(TOle2Storage &document, QStringView exceptStream = QStringView()) const;

    const QStringList &SharedSectorStreams() const { return m_sharedStreams; }

    // The top-level stream of that name, or nullptr.
    const TOle2Stream *FindStream(QStringView name) const;
    // The held tree (root storage).
    const TOle2Storage &Root() const { return *m_root; }
    TOle2Storage &Root() { return *m_root; }
    int Count() const { return m_root->Count(); }
    void Clear();

private:
    std::unique_ptr<TOle2Storage> m_root;
    QStringList m_sharedStreams;
};
