#pragma once

#include "platform/io/KestrunError.h"

#include <QByteArray>
#include <QList>
#include <QString>

class ArchiveError : public KestrunError
{
public:
    using KestrunError::KestrunError;
};

// Bounds on what an archive may claim, checked before anything is allocated.
struct ArchiveLimits
{
    // What one QByteArray can hold: the most a file or an archive can be.
    static constexpr quint32 Largest = 0x7FFF0000u;

    // The office's tables compress 5 to 20 times; files that claim more than
    // this multiple of the archive's size (beyond a small allowance) are a
    // lie or a bomb, refused before anything is unpacked.
    static constexpr quint64 MaxUnpackRatio = 100;
    static constexpr quint64 SmallArchiveAllowance = quint64(1) << 20;

    quint32 maxFiles = 10000;
    quint32 maxNameLength = 255;
    quint32 maxFileSize = Largest;
    quint64 maxTotalSize = quint64(4) << 30;
    // What the target disk can take (a restore sets it).
    quint64 freeSpace = ~quint64(0);
};

// The data archive (.L21, .sav, .vmi): a 32-bit file count, then per file a
// 32-bit name length, the name (CP1250, no folder), the 32-bit uncompressed
// size and the file's zlib stream at maximum compression. Integers are
// little-endian. The stream's compressed length is not stored: it ends where
// the zlib stream ends.
class DataArchive
{
public:
    struct Entry
    {
        QString name;
        QByteArray data;
    };

    using Limits = ArchiveLimits;

    // The archive bytes of these entries.
    static QByteArray encode(const QList<Entry> &entries);
    // Every entry, checked whole: plain names, none of the program's own
    // (isOwnName), bounded sizes (each file, all of them against the
    // archive's size and the free space), each stream inflating to exactly
    // its stated size, no bytes after the last file.
    static QList<Entry> decode(QByteArrayView bytes, const Limits &limits = {});
    static QList<Entry> readFile(const QString &archivePath, const Limits &limits = {});

    // Writes every file of the folder (not its subfolders, nor the program's
    // own working files) into the archive, through a temporary file renamed
    // when complete (DurableFile).
    static void saveFolder(const QString &folder, const QString &archivePath);

    // Replaces the folder's files with the archive's content. The archive is
    // read and checked, and every file written beside its target, before the
    // old files are touched; then a journal of the swap is written (see
    // RestoreJournal), the old files are moved aside, the new ones renamed
    // in, and the old ones put back if anything fails. A name that differs
    // only in case from an existing file keeps the existing file's name. An
    // archive inside the folder stays where it is.
    static void restoreFolder(const QString &archivePath, const QString &folder);

    // A plain file name: not empty, no folder separators, not "." or "..",
    // no control characters.
    static bool isPlainName(const QString &name);
    // A name the program keeps for its own work beside the office's files (a
    // restore's journal and aside folders, a file being written, the folder
    // swap's journals), in any case: never an office file, so no archive
    // carries one, lest a restore put it over the program's own.
    static bool isOwnName(const QString &name);
};
