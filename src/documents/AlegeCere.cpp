#include "documents/AlegeCere.h"

#include "core/Form1.h"
#include "core/NumericF.h"
#include "platform/sql/SqlValue.h"

#include <QDateEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

TAlegeCere::TAlegeCere(QWidget *parent)
    : RangeDialog({QStringLiteral("Referate"), QStringLiteral("incepand cu Referatul numarul"),
                   QStringLiteral("terminand cu Referatul numarul"), QStringLiteral("Data referatelor")},
                  parent)
{
    Ref0 = m_first;
    Ref1 = m_last;
    DataR = m_date;
    BitBtn1 = m_listeaza;
    BitBtn2 = m_renunt;
    // Report numbers are whole: ten digits at most.
    for (TNumericF *edit : {Ref0, Ref1})
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), edit));
}

bool TAlegeCere::Execute()
{
    const bool confirmed = runModal();
    for (TNumericF *edit : {Ref0, Ref1})
        edit->setText(SqlValue::formatNumber(SqlValue::roundHalfAway(edit->Valoare(), 4)));
    return confirmed;
}

void TAlegeCere::BitBtn1Click()
{
    if (Ref1->Valoare() < Ref0->Valoare()) {
        TForm1::ShowProblem(QStringLiteral("Interval incorect!"), Ref0);
        return;
    }
    accept();
}
