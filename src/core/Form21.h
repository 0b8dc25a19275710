#pragma once

#include <QString>

#include <functional>

// Saving the data folder into a data archive and restoring it from one.
class TForm21
{
public:
    // Writes the whole data folder as an archive at the path; true when written.
    // A failure is shown to the user.
    bool SaveToArchive(const QString &archivePath);
    // Replaces the data folder's files with the archive's content and tells
    // the user to restart; true when restored. A refused archive changes
    // nothing and is shown to the user.
    bool RestoreFromArchive(const QString &archivePath);

    // The commands behind the menu: ask for the archive, then save or restore.
    void SaveCommand();
    void RestoreCommand();

    // Runs after SaveCommand wrote an archive (the offer to send it to the backup server).
    std::function<void(const QString &archivePath)> afterSave;
};

TForm21 &Form21();
