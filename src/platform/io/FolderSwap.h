#pragma once

#include <QList>
#include <QString>

// Replaces a folder (a report's sub-folder) by a new one only when the new one
// is whole. The new files go into a work folder beside the target; commit()
// then renames the old folder aside, the new one in, and removes the old one.
// Before anything is made a journal in the program's journal folder names the
// target, so that recover() at the next start can finish or undo what a
// killed run left: the old folder or the new one is always whole under the
// target's name, and no work folder stays behind.
//
//   <target>-<id>          the work folder
//   <target>-<id>-vechi    the old folder while it is being replaced
//   <journals>/<id>.txt    the journal: the target's path, and a second line
//                          once commit() has begun, so that a new folder in
//                          place is told from an old one left untouched
class FolderSwap
{
public:
    // What the target holds once a swap a killed run left is settled.
    enum class Left { Nothing, Old, New };
    struct Mended
    {
        QString target;
        Left left;
    };

    // Writes the journal and makes the work folder; throws FileWriteError.
    FolderSwap(const QString &target, const QString &journals);
    // Discards the work folder unless commit() has run.
    ~FolderSwap();
    FolderSwap(const FolderSwap &) = delete;
    FolderSwap &operator=(const FolderSwap &) = delete;

    const QString &target() const { return m_target; }
    const QString &work() const { return m_work; }

    // Puts the work folder in the target's place. Throws FileWriteError, the
    // old folder back in place, when a rename fails.
    void commit();
    // Removes the work folder and the journal; the target stays as it was.
    void discard();

    // At start-up: finishes every swap a killed run left in `journals` when
    // its new folder is in, else puts the old one back; removes the work
    // folders and the old folders set aside. Answers the targets it mended
    // and what each holds. A swap on a drive not there now stays for a later start.
    static QList<Mended> recover(const QString &journals);

private:
    static QString workOf(const QString &target, const QString &id);
    static QString asideOf(const QString &target, const QString &id);
    static QByteArray journalText(const QString &target, bool committing);
    static Left settle(const QString &target, const QString &id, bool committing);

    QString m_target;
    QString m_id;
    QString m_work;
    QString m_journal;
    bool m_open = false;
    bool m_committing = false;
};
