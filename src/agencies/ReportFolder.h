#pragma once

#include <QString>

#include <functional>
#include <memory>

class QTemporaryDir;

// The folder a report writes its files into: a fixed sub-folder of a folder
// the user picks. Its files are written into a working folder beside it,
// which takes its place when complete, so the folder is whole or absent.
class ReportFolder
{
public:
    ReportFolder(QString title, QString subFolder);
    ~ReportFolder();

    // Asks for the folder; an existing sub-folder is replaced on Da and
    // deleted now. False when the user stops or the old one cannot go.
    bool choose();
    // Where the files go while the report runs.
    QString work() const;
    // The sub-folder the report ends in.
    QString target() const { return m_target; }
    // Puts the working folder in place; throws CoreError when it cannot.
    void commit();
    // Runs the writing into the working folder with the progress window
    // shown for that many steps, then puts the folder in place. The progress
    // window stops and the shared queries close on every path.
    void fill(int steps, const std::function<void(const QString &work)> &write);

private:
    QString m_title, m_sub, m_target;
    std::unique_ptr<QTemporaryDir> m_work;
};
