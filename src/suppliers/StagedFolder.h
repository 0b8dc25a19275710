#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

// The output folder of a report: a sub-folder of a folder the user picks,
// written into a temporary folder beside it and renamed into place only once
// every file is in it, so a failed run leaves no half-written folder.
class StagedFolder
{
public:
    StagedFolder(const QString &title, const QString &prompt, const QString &subFolder);
    ~StagedFolder();

    // Asks for the folder and whether to replace the sub-folder when it is
    // there already; false, with nothing written, when the user stops or
    // the sub-folder cannot be replaced (its message shown).
    bool choose();
    // Where the files are written meanwhile.
    QString stage() const;
    QString target() const { return m_target; }
    // The staged files take the sub-folder's place.
    void publish();

private:
    void message(const QString &text, int kind) const;

    QString m_title, m_prompt, m_subFolder, m_target;
    std::unique_ptr<QTemporaryDir> m_stage;
};
