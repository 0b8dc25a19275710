#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

// "Selectare cereri": which requests a payment document lists, by locality
// and by the first letter of the applicant's name. The payment list shows the
// month panel too; the treasury report does not. The letters stay as the user
// left them between uses.
class TTipStatF : public QDialog
{
    Q_OBJECT
public:
    explicit TTipStatF(QWidget *parent = nullptr);

    QComboBox *Localit;    // "* toate localitatile *" first, then the month's localities
    QComboBox *Lit1;       // first initial
    QComboBox *Lit2;       // last initial
    QWidget *Stat1;        // month panel
    QLineEdit *PerioadaS;  // "Stat de plata pe luna"
    QPushButton *BitBtn1;  // "&Am ales"
    QPushButton *BitBtn2;  // "&Renunt"

    static const QStringList &letters();

    // Refills the localities of the working month and shows the dialog, with
    // the month panel when asked; true when confirmed. The panel is set by
    // each call, so a cancelled payment list leaves nothing behind.
    bool Execute(bool withMonth);
    void BitBtn1Click();

    // Position 0 stands for every locality.
    bool allLocalities() const;
    QString locality() const;
    // The name conditions, each an "AND ..." line: from the first letter on,
    // and before the letter after the last (none after "Z"). Names compare in
    // Romanian order whatever their case, so "Ştefan" comes after every "S"
    // name and within S-S, and "MĂRCULESCU" falls within A-M.
    QStringList nameConditions() const;
};

// The one selection dialog, shared by the payment list and the treasury report.
TTipStatF &TipStatF();
