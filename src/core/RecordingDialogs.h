#pragma once

#include "core/Dialogs.h"

#include <QList>
#include <QPointer>
#include <QWidget>

// A scripted stand-in for the dialogs (tests): answers are taken from queues
// and every message and balloon is recorded. Installs itself while alive.
class RecordingDialogs : public DialogsInterface
{
public:
    struct Balloon
    {
        QPointer<QWidget> control;
        QString title;
        QString text;
        int timeoutMs = 0;
    };

    RecordingDialogs() { Dialogs::setInstance(this); }
    ~RecordingDialogs() override { Dialogs::setInstance(nullptr); }

    QList<MessageSpec> messages;
    QList<Balloon> balloons;
    QList<int> answers;          // modal results to return, in order; the last button when empty
    QStringList files;           // chosen files, in order; cancelled when empty
    QStringList fileCaptions;
    QStringList suggestedNames;  // the name each file chooser offered

    int showMessage(const MessageSpec &spec) override
    {
        messages.append(spec);
        if (!answers.isEmpty())
            return answers.takeFirst();
        return spec.results.isEmpty() ? 2 : spec.results.last();
    }

    void showBalloon(QWidget *control, const QString &title, const QString &text, int timeoutMs) override
    {
        balloons.append({control, title, text, timeoutMs});
    }

    QString chooseFile(const QString &caption, const QString &, bool, const QString &suggestedName) override
    {
        fileCaptions.append(caption);
        suggestedNames.append(suggestedName);
        return files.isEmpty() ? QString() : files.takeFirst();
    }
};
