#pragma once

#include "documents/RangeDialog.h"

// "Referate": the range of report numbers to print and the reports' date.
// The numbers and the date stay as they were left for the next time.
class TAlegeCere : public RangeDialog
{
    Q_OBJECT
public:
    explicit TAlegeCere(QWidget *parent = nullptr);

    TNumericF *Ref0;      // first report number
    TNumericF *Ref1;      // last report number
    QDateEdit *DataR;     // date of the reports
    QPushButton *BitBtn1; // "&Listeaza"
    QPushButton *BitBtn2; // "&Renunt"

    // True when the user confirmed a range; the numbers are then rewritten in
    // their plain form.
    bool Execute();
    // A range ending before it starts is refused.
    void BitBtn1Click();

protected:
    void listeazaClicked() override { BitBtn1Click(); }
};
