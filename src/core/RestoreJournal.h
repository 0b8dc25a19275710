#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a restore swaps in the data folder: written durably before the first
// old file is moved aside, removed once the swap is done. A run killed in
// between leaves it behind, and the next start finishes the swap or undoes it
// from what it says, so the folder holds the old files whole or the new ones.
class RestoreJournal
{
public:
    static inline const QString FileName = QStringLiteral(".restore-journal");

    struct NewFile
    {
        QString name;     // in the data folder
        QString temp;     // its temporary file beside it, written whole and synced
        qint64 size = 0;
        quint32 crc = 0;  // zlib crc32 of its bytes
    };

    QString aside;        // the folder the old files go to, see RequestTables::asideFolderName
    QStringList old;      // the old files
    QList<NewFile> files;

    // The check sum a new file is known by.
    static quint32 checksum(QByteArrayView bytes);

    void save(const QString &folder) const;
    // The journal left in the folder; nothing when there is none or it cannot be read.
    static std::optional<RestoreJournal> load(const QString &folder);

    // Every new file whole, under its temporary name or its own.
    bool newFilesWhole(const QString &folder) const;
    // Renames in the new files still waiting, drops the old ones, then the journal.
    void finish(const QString &folder) const;
    // Puts every old file moved aside back, drops the new ones, then the
    // journal. An old file that cannot go back raises ArchiveError, and the
    // journal stays for the next start.
    void putBack(const QString &folder) const;

    enum class Outcome { Nothing, Finished, PutBack };
    // A journal left behind by a killed run: the swap is finished when every
    // new file is whole, else the old files are put back.
    static Outcome recover(const QString &folder);
};
