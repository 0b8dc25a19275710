#pragma once

#include "documents/RangeDialog.h"

#include <QDate>

// "Listare Dispozitii": the range of disposition numbers to print and the
// date from which the aid is granted.
class TListDispF : public RangeDialog
{
    Q_OBJECT
public:
    explicit TListDispF(QWidget *parent = nullptr);

    TNumericF *Disp0;     // first disposition number
    TNumericF *Disp1;     // last disposition number
    QDateEdit *DataA;     // the aid is granted from
    QPushButton *BitBtn1; // "&Listeaza"
    QPushButton *BitBtn2; // "&Renunt"

    // Both numbers start at 1; true when the user confirmed a range.
    bool Execute();
    // The numbers become whole; a range ending before it starts is refused.
    void B11Click();

    // The first day of the month after the given day.
    static QDate firstOfNextMonth(const QDate &today);

protected:
    void listeazaClicked() override { B11Click(); }
};
