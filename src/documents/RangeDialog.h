#pragma once

#include <QDialog>

class QDateEdit;
class QPushButton;
class TNumericF;

// The look and keys the two range dialogs of the request list share: a first
// and a last number, a date, "&Listeaza" and "&Renunt". Enter moves to the
// next input; Esc closes unconfirmed.
class RangeDialog : public QDialog
{
    Q_OBJECT
public:
    // Whether the user confirmed the range the last time the dialog was shown.
    bool confirmed() const { return result() == QDialog::Accepted; }

protected:
    struct Labels
    {
        QString caption;
        QString first;
        QString last;
        QString date;
    };
    RangeDialog(const Labels &labels, QWidget *parent);

    // Shows the dialog modally; true when confirmed.
    bool runModal();
    // Enter in the date input also presses "&Listeaza".
    void setEnterInDateConfirms(bool on) { m_enterInDateConfirms = on; }
    virtual void listeazaClicked() = 0;

    TNumericF *m_first;
    TNumericF *m_last;
    QDateEdit *m_date;
    QPushButton *m_listeaza;
    QPushButton *m_renunt;

private:
    bool m_enterInDateConfirms = false;
};
