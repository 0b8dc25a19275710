#pragma once

#include "platform/shell/ShellInterface.h"

// The desktop behind the program: the real one, or the one a test put in place.
class Shell : public ShellInterface
{
public:
    static ShellInterface &instance();
    // nullptr brings back the real desktop. The caller keeps ownership.
    // Returns the one set before (nullptr for the real desktop).
    static ShellInterface *setInstance(ShellInterface *shell);

    bool openDocument(const QString &path) override;
    bool openFolder(const QString &path) override;
    QString chooseFolder(const QString &prompt, const QString &start) override;
    bool deleteTree(const QString &path) override;

    // The deletion itself, shared with test doubles that really delete.
    // Refuses an empty path, the root and the home folder, and removes a
    // symbolic link itself rather than what it points at.
    static bool removePath(const QString &path);
};
