#include "periods/PerSelect.h"

#include "controls/FixedDialog.h"
#include "core/EnterTab.h"
#include "core/Form1.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDateEdit *dateEdit(QWidget *parent, QDate date)
{
    auto *edit = new QDateEdit(date, parent);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

TPerSelect::TPerSelect(QWidget *parent, QDate today)
    : QDialog(parent, kFixedDialogFlags)
{
    setWindowTitle(QStringLiteral("Rapoarte"));
    const auto [start, end] = heatingSeason(today);
    auto *box = new QGroupBox(QStringLiteral("Perioada raportata"), this);
    Data0 = dateEdit(box, start);
    Data1 = dateEdit(box, end);
    MemoBut = new QPushButton(QStringLiteral("&Am ales"), this);
    CloseBut = new QPushButton(QStringLiteral("&Renunt"), this);
    // Enter belongs to the dates: it moves on rather than pressing a button.
    MemoBut->setAutoDefault(false);
    CloseBut->setAutoDefault(false);

    auto *form = new QFormLayout(box);
    form->addRow(QStringLiteral("de la"), Data0);
    form->addRow(QStringLiteral("pana la"), Data1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(MemoBut);
    buttons->addWidget(CloseBut);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    new EnterTab(this, {Data0, Data1});
    connect(MemoBut, &QPushButton::clicked, this, &TPerSelect::MemoButClick);
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::reject);
}

QPair<QDate, QDate> TPerSelect::heatingSeason(QDate today)
{
    const int y = today.month() < 10 ? today.year() - 1 : today.year();
    return {QDate(y, 11, 1), QDate(y + 1, 3, 31)};
}

bool TPerSelect::Execute()
{
    Data0->setFocus();
    return exec() == QDialog::Accepted;
}

void TPerSelect::MemoButClick()
{
    if (Data1->date() < Data0->date()) {
        TForm1::ShowProblem(QStringLiteral("Perioada incorecta!"), Data1);
        return;
    }
    accept();
}

TPerSelect &PerSelect()
{
    static TPerSelect *instance = new TPerSelect;
    return *instance;
}
