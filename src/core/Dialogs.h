#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What the message dialog is asked to show, decided before any widget exists.
struct MessageSpec
{
    QString title;          // window caption given by the caller
    QString text;
    QString kindCaption;    // "Atentie !", "Eroare", "Informatie", "Confirmare"
    int kind = 1;           // 0 warning, 1 error, 2 information, 3 confirmation
    bool beep = false;      // errors beep
    QStringList buttons;    // captions in the order shown
    QList<int> results;     // the modal result of each button
};

// The user-facing dialogs of the program behind one replaceable interface,
// so tests script the answers and record what was shown.
class DialogsInterface
{
public:
    virtual ~DialogsInterface() = default;
    // Shows the message modally; returns the modal result of the pressed button.
    virtual int showMessage(const MessageSpec &spec) = 0;
    // Shows a balloon beside the control for the given time and returns at once.
    virtual void showBalloon(QWidget *control, const QString &title, const QString &text, int timeoutMs) = 0;
    // Asks for a file to open or save, offering suggestedName when given;
    // empty when cancelled.
    virtual QString chooseFile(const QString &caption, const QString &filter, bool forSaving,
                               const QString &suggestedName = {}) = 0;
};

class Dialogs
{
public:
    static DialogsInterface &instance();
    // Replaces the dialogs (tests); nullptr restores the real ones. Not owned.
    static void setInstance(DialogsInterface *dialogs);
};
