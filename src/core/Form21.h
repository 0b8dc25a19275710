#pragma once

#include <QString>

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
};

TForm21 &Form21();
