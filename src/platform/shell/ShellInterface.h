#pragma once

#include <QString>

// What the program asks of the desktop: open a finished document or a folder
// with the default application, let the user choose a folder, delete a tree.
// Tests put a scripted implementation in place (see RecordingShell.h).
class ShellInterface
{
public:
    virtual ~ShellInterface() = default;

    // False when no application could be started for it.
    virtual bool openDocument(const QString &path) = 0;
    virtual bool openFolder(const QString &path) = 0;
    // The chosen folder, or empty when the user cancelled.
    virtual QString chooseFolder(const QString &prompt, const QString &start) = 0;
    // Deletes a file or a folder with everything in it, without asking.
    // True when nothing is left at the path.
    virtual bool deleteTree(const QString &path) = 0;
};
