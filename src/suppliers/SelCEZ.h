#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The electricity supplier's name as the clerks typed it and the authority's
// SIRUTA code, for the CEZ and the Premier Energy reports.
class TSelCEZ : public QDialog
{
    Q_OBJECT
public:
    explicit TSelCEZ(QWidget *parent = nullptr);

    QLabel *Label4;
    QComboBox *FurnE;   // the names, in capitals
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Siruta;  // digits only
    QPushButton *MemoBut;
    QPushButton *CloseBut;

    // kind "CEZ" or "PREMIER" sets the captions; true when confirmed, and
    // the SIRUTA code is then stored.
    bool Execute(const QString &kind);
    void MemoButClick();
};

TSelCEZ &SelCEZ();
