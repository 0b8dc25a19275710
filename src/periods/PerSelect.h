#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QPushButton;

// "Rapoarte": the period a report covers. It starts as the current heating
// season and keeps the user's last dates between uses.
class TPerSelect : public QDialog
{
    Q_OBJECT
public:
    // today fixes the default season.
    explicit TPerSelect(QWidget *parent = nullptr, QDate today = QDate::currentDate());

    QDateEdit *Data0;      // "de la"
    QDateEdit *Data1;      // "pana la"
    QPushButton *MemoBut;  // "&Am ales"
    QPushButton *CloseBut; // "&Renunt"

    // True when confirmed; the caller reads Data0 and Data1.
    bool Execute();
    // An end before the start is refused.
    void MemoButClick();

    // 1 November to 31 March of the season under way on that day: a season
    // starts in October's year, so before October it is last year's.
    static QPair<QDate, QDate> heatingSeason(QDate today);
};

// The one period dialog of the program.
TPerSelect &PerSelect();
