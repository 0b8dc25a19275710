#pragma once

#include "core/Dialogs.h"

#include <QDialog>

class QLabel;

// The application's one message dialog.
class TErori : public QDialog
{
    Q_OBJECT
public:
    enum Button { Da = 1, Nu = 2, OK = 4, Renunt = 8 };
    enum Result { ResultOK = 1, ResultRenunt = 2, ResultDa = 6, ResultNu = 7 };

    // Shows the message modally and returns the modal result (6 Da, 7 Nu,
    // 1 OK, 2 Renunt). Kinds: 0 warning, 2 information, 3 confirmation, any
    // other value error (with a beep). With no button asked for nothing is
    // shown and the result is 2.
    static int Mesaj(const QString &title, const QString &text, int kind, int buttons);

    // What Mesaj would show.
    static MessageSpec specFor(const QString &title, const QString &text, int kind, int buttons);

    explicit TErori(const MessageSpec &spec, QWidget *parent = nullptr);
};
