#pragma once

#include <QDate>
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TNumericF;

// "Alegeti luna": the month whose payments a report covers, from the heating
// season or from the whole year, and optionally its year. The choices stay as
// the user left them between uses.
class TSelLuna : public QDialog
{
    Q_OBJECT
public:
    // today fixes the current year (the year's default and its upper bound).
    explicit TSelLuna(QWidget *parent = nullptr, QDate today = QDate::currentDate());

    QLabel *Label1;       // "Plati pentru luna"
    QComboBox *PlLuna;    // heating-season months, November first
    QComboBox *Luna12;    // January to December
    QLabel *AnulL;        // "Anul"
    TNumericF *AnulE;     // the year
    QPushButton *BitBtn3; // "Am ales"
    QPushButton *BitBtn1; // "Renunt"

    // Shows the year when showYear, the twelve months instead of the season's
    // when twelveMonths; true when confirmed.
    bool Execute(bool showYear, bool twelveMonths);
    // The season month chosen as "01".."12".
    QString MonthNumber() const;
    // A shown year must lie from 2010 to the current year.
    void BitBtn3Click();

private:
    int m_currentYear;
};

// The one month dialog of the program.
TSelLuna &SelLuna();
