#pragma once

#include <QDialog>

class QDateEdit;
class QLineEdit;
class QPushButton;
class TNumericF;

// "Dispozitie Unica": the number of the collective disposition to print and
// the texts of its decision. The period, payment date and court typed for one
// disposition are offered again the next time, also after a restart.
class TAlegeNrDisp : public QDialog
{
    Q_OBJECT
public:
    explicit TAlegeNrDisp(QWidget *parent = nullptr);

    TNumericF *NrDisp;       // "Numarul Dispozitiei"
    QDateEdit *Data0;        // "se stabileste incepand cu"
    QLineEdit *Perioada;     // "pentru perioada"
    QLineEdit *DataPlatii;   // "Data platii"
    QLineEdit *Tribunal;     // "Solutionari la Tribunalul"
    QPushButton *ListB;      // "&Listeaza"
    QPushButton *BitBtn2;    // "&Renunt"

    bool Execute();
    // A number below 1 is refused with the balloon.
    void ListBClick();
};
