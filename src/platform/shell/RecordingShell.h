#pragma once

#include "platform/shell/Shell.h"

#include <QStringList>

// A scripted desktop for tests: records every document and folder opened,
// every folder prompt and every deletion, and answers folder choices from a
// queue (an empty queue answers "cancelled").
class RecordingShell : public ShellInterface
{
public:
    QStringList openedDocuments;
    QStringList openedFolders;
    QStringList prompts;       // prompt of each folder choice, in order
    QStringList promptStarts;  // start folder of each folder choice
    QStringList chooseAnswers; // taken from the front
    QStringList deleted;
    bool reallyDelete = true;  // else deleteTree answers deleteAnswer and touches nothing
    bool deleteAnswer = true;
    bool openAnswer = true;    // false: no application opens a document or a folder

    bool openDocument(const QString &path) override
    {
        openedDocuments.append(path);
        return openAnswer;
    }
    bool openFolder(const QString &path) override
    {
        openedFolders.append(path);
        return openAnswer;
    }
    QString chooseFolder(const QString &prompt, const QString &start) override
    {
        prompts.append(prompt);
        promptStarts.append(start);
        return chooseAnswers.isEmpty() ? QString() : chooseAnswers.takeFirst();
    }
    bool deleteTree(const QString &path) override
    {
        deleted.append(path);
        return reallyDelete ? Shell::removePath(path) : deleteAnswer;
    }
};

// Puts a shell in place for one scope and brings back the previous state.
class ScopedShell
{
public:
    explicit ScopedShell(ShellInterface &shell) : m_previous(Shell::setInstance(&shell)) {}
    ~ScopedShell() { Shell::setInstance(m_previous); }
    ScopedShell(const ScopedShell &) = delete;
    ScopedShell &operator=(const ScopedShell &) = delete;

private:
    ShellInterface *m_previous;
};
