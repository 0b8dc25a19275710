#pragma once

#include <QString>

// A file that others write under a temporary name in its final folder and
// that takes its final name only when complete, so a failure half-way never
// leaves a broken file where a finished one is expected.
class PendingFile
{
public:
    explicit PendingFile(const QString &finalPath);
    ~PendingFile();
    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    // Where to write meanwhile.
    QString path() const { return m_path; }
    // Renames the written file to its final name; throws EInOutError when it
    // cannot (the final name is taken, the folder is read-only).
    void commit();

private:
    QString m_final;
    QString m_path;
    bool m_committed = false;
};
