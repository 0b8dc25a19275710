#pragma once

#include <QString>

#include <functional>
#include <memory>

class FolderSwap;

// The folder a report writes its files into: a fixed sub-folder of a folder
// the user picks. An existing sub-folder is replaced only when the user says
// Da, and only once the new one is whole: the files go into a working folder
// beside it, which takes its place when complete (see FolderSwap), so the
// old report or the new one is always there whole.
class OutputFolder
{
public:
    // What each report says; most say the same.
    struct Texts
    {
        QString title;
        QString subFolder;
        QString prompt = QStringLiteral("Alegeti directorul unde punem Raportul");
        QString exists = QStringLiteral(" exista deja!");
        QString inUse = QStringLiteral(" nu poate fi inlocuit!\rInchideti toate fisierele deschise din el si reincercati!");
    };

    explicit OutputFolder(Texts texts);
    ~OutputFolder();

    // Asks for the folder, and whether to replace the sub-folder when it is
    // there; false, its reason shown, when the user stops or no working
    // folder can be made.
    bool choose();
    // The sub-folder the report ends in.
    QString target() const { return m_target; }
    // The frame of every report: runs the writing into the working folder
    // with the progress window shown (for that many steps, when given), then
    // puts the folder in place. The progress window stops, the shared queries
    // close and a failed report leaves no working folder, on every path.
    void fill(int steps, const std::function<void(const QString &work)> &write);

private:
    // Where the files go while the report runs.
    QString work() const;
    // Puts the working folder in place; throws CoreError, the old folder
    // kept, when it cannot.
    void commit();
    // Drops the working folder and all it holds.
    void discard();
    void message(const QString &text) const;

    Texts m_texts;
    QString m_target;
    std::unique_ptr<FolderSwap> m_swap;
};
