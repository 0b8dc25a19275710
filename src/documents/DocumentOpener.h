#pragma once

#include <QString>

// Hands a finished document to the desktop's default application. When none
// opens it, the clerk is told where it was saved, so the work is not lost
// from sight.
class DocumentOpener
{
public:
    // True when an application was started for the file.
    static bool open(const QString &path);
    // The same for a folder of finished files.
    static bool openFolder(const QString &path);
};
