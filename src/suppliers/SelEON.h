#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// "Raport E-ON Gaz Targu Mures": the supplier's name as the clerks typed it
// and the postal code of every locality of the working month, kept in the
// settings file for the next month.
class TSelEON : public QDialog
{
    Q_OBJECT
public:
    explicit TSelEON(QWidget *parent = nullptr);

    QLabel *Label4;
    QComboBox *FurnE;          // the names, in capitals
    QLabel *Label1;
    QLabel *Label2;
    QTableWidget *ExDBGrid1;   // "Localitatea", "Cod postal"
    QPushButton *MemoBut;      // "&Am ales"
    QPushButton *CloseBut;     // "&Renunt"

    // True when confirmed; the postal codes are then stored.
    bool Execute();
    void MemoButClick();

private:
    void fillNames();
    void fillLocalities();
    void storeCodes() const;
};

TSelEON &SelEON();
