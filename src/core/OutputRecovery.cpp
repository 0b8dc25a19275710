#include "core/OutputRecovery.h"

#include "platform/io/DurableFile.h"
#include "platform/io/FolderSwap.h"
#include "platform/profile/AppFolders.h"

#include <QDir>

void OutputRecovery::run(const QString &appDir)
{
    FolderSwap::recover(AppFolders::swapJournalDir(appDir));
    // The documents lie one level down, in the folder of their month.
    const QString documents = AppFolders::documentsDir(appDir);
    DurableFile::removeTemporaries(documents);
    for (const QFileInfo &month : QDir(documents).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks))
        DurableFile::removeTemporaries(month.filePath());
}
