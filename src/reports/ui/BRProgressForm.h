#pragma once
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class TBRPrinter;

// The small window showing how far a report run has come, with a button
// that cancels it.
class TBRProgressForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int ClientWidth = 149, ClientHeight = 97;
    explicit TBRProgressForm(QWidget *parent = nullptr);
    // Follows the printer's progress; the cancel button cancels it.
    void SetPrinter(TBRPrinter *printer);
    // Shown in steps of 5 percent.
    void Update(int percent);

    QLabel *Info;
    QProgressBar *Gauge;
    QPushButton *CancelButton;

private:
    TBRPrinter *m_printer = nullptr;
};
