#include "documents/ListDispF.h"

#include "core/Form1.h"
#include "core/NumericF.h"

#include <QDateEdit>
#include <QPushButton>

#include <cmath>

TListDispF::TListDispF(QWidget *parent)
    : RangeDialog({QStringLiteral("Listare Dispozitii"), QStringLiteral("incepand cu Dispozitia nr."),
                   QStringLiteral("terminand cu Dispozitia nr."), QStringLiteral("Ajutorul se acorda incepand cu")},
                  parent)
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
    Disp0 = m_first;
    Disp1 = m_last;
    DataA = m_date;
    BitBtn1 = m_listeaza;
    BitBtn2 = m_renunt;
    setEnterInDateConfirms(true);
    DataA->setDate(firstOfNextMonth(QDate::currentDate()));
}

QDate TListDispF::firstOfNextMonth(const QDate &today)
{
    const QDate next = today.addMonths(1);
    return QDate(next.year(), next.month(), 1);
}

bool TListDispF::Execute()
{
    Disp0->setText(QStringLiteral("1"));
    Disp1->setText(QStringLiteral("1"));
    Disp0->setFocus();
    return runModal();
}

void TListDispF::B11Click()
{
    const double first = std::trunc(Disp0->Valoare());
    const double last = std::trunc(Disp1->Valoare());
    Disp0->setText(QString::number(static_cast<qint64>(first)));
    Disp1->setText(QString::number(static_cast<qint64>(last)));
    if (last < first) {
        TForm1::ShowProblem(QStringLiteral("Intervalul ales este incorect!"), Disp0);
        return;
    }
    accept();
}
