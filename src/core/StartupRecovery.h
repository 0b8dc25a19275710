#pragma once

#include "platform/io/FolderSwap.h"

#include <QString>

// What a run killed in the middle of its work leaves in the program's own
// folders, put right at the next start (the single instance is guaranteed, so
// nothing found is still being written):
//  - a restore's journal: the swap is finished or undone, and the clerk told which;
//  - a ".restore-N" folder without one: its tables go back when the data
//    folder lacks them, else it is the finished restore's old files and goes;
//  - our temporary files (".<name>.<random>.part") beside the tables;
//  - Temp/SAVn folders of archives that were refused, holding none of their files;
//  - a report folder half replaced: finished or put back, its work folder
//    removed, and the clerk told which; temporary files of documents being written.
// Only names of our own patterns are touched.
class StartupRecovery
{
public:
    static void run(const QString &appDir, const QString &dataDir, const QString &tempDir);

private:
    static void recoverOutputs(const QString &appDir);
    static void recoverRestore(const QString &dataDir);
    static void settleAsideFolder(const QString &dataDir, const QString &aside);

    static void removeRefusedArchiveCopies(const QString &tempDir);
    static bool holdsOnlyLeftovers(const QString &folder);
    static void tellReport(const FolderSwap::Mended &report);
    static void tell(const QString &what, const QString &title = QStringLiteral("Arhiva date"));
};
