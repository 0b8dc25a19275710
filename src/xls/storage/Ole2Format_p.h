#pragma once

// Internals of the compound-document reader and writer: the format's constants
// and the two passes. Not for use outside this folder.

#include "xls/storage/Ole2Storage.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

namespace Ole2Format {

constexpr quint32 FreeSect = 0xFFFFFFFF;
constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FatSect = 0xFFFFFFFD;
constexpr quint32 DifSect = 0xFFFFFFFC;
constexpr quint32 NoStream = 0xFFFFFFFF;

constexpr int HeaderSize = 512;
constexpr int HeaderDifatEntries = 109;
constexpr int DirEntrySize = 128;
constexpr int MiniSectorSize = 64;
constexpr quint32 MiniStreamCutoff = 4096;
constexpr int WriteSectorSize = 512;

constexpr quint8 TypeEmpty = 0;
constexpr quint8 TypeStorage = 1;
constexpr quint8 TypeStream = 2;
constexpr quint8 TypeRoot = 5;
constexpr quint8 ColorRed = 0;
constexpr quint8 ColorBlack = 1;

// Documents larger than this are refused before they are read into memory.
constexpr qint64 MaxDocumentSize = qint64(1) << 30;

inline const char Signature[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};

// The directory's order: shorter names first, then by upper-cased characters.
int compareNames(QStringView a, QStringView b);
void copyEntryProperties(const TOle2Entry &from, TOle2Entry &to);
// A deep copy of a stream or a storage, properties included, at position 0.
std::unique_ptr<TOle2Entry> cloneEntry(const TOle2Entry &entry);

// Reads at most MaxDocumentSize bytes; raises when the device holds more.
QByteArray readBounded(QIODevice &device, const QString &context);
// Raises as readBounded does when the file is larger, without reading it.
void checkBounded(const QFile &file, const QString &context);

// With sharedStreams, streams may share sectors (the names of those that ran
// into another stream's sectors are appended); without, that is damage. The
// top-level streams named in readFirst claim their sectors before the others.
std::unique_ptr<TOle2Storage> readDocument(QByteArrayView bytes, const QString &context,
                                           QStringList *sharedStreams = nullptr,
                                           const QStringList &readFirst = {});
// From an open file, which stays open while a stream named in leaveInFile
// (top-level) is left there until it is asked for.
std::unique_ptr<TOle2Storage> readDocument(std::unique_ptr<QFile> file, const QString &context,
                                           QStringList *sharedStreams, const QStringList &readFirst,
                                           const QStringList &leaveInFile);
QByteArray writeDocument(const TOle2Storage &root);
void writeDocument(const TOle2Storage &root, QIODevice &device, const TOle2LateStream *late);

} // namespace Ole2Format
