#include "payments/AlegeNrDisp.h"

#include "controls/FixedDialog.h"
#include "core/EnterTab.h"
#include "core/Form1.h"
#include "core/NumericF.h"
#include "platform/profile/ProfileText.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kSection = QStringLiteral("DISPCUM");
}

TAlegeNrDisp::TAlegeNrDisp(QWidget *parent)
    : QDialog(parent, kFixedDialogFlags),
      NrDisp(new TNumericF(this)), Data0(new QDateEdit(QDate::currentDate(), this)), Perioada(new QLineEdit(this)),
      DataPlatii(new QLineEdit(this)), Tribunal(new QLineEdit(this)),
      ListB(new QPushButton(QStringLiteral("&Listeaza"), this)), BitBtn2(new QPushButton(QStringLiteral("&Renunt"), this))
{
    setWindowTitle(QStringLiteral("Dispozitie Unica"));
    Data0->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    Data0->setCalendarPopup(true);
    // Enter belongs to the inputs: it moves on rather than pressing a button.
    ListB->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Numarul Dispozitiei"), NrDisp);
    form->addRow(QStringLiteral("se stabileste incepand cu"), Data0);
    form->addRow(QStringLiteral("pentru perioada"), Perioada);
    form->addRow(QStringLiteral("Data platii"), DataPlatii);
    form->addRow(QStringLiteral("Solutionari la Tribunalul"), Tribunal);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ListB);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    new EnterTab(this, {NrDisp, Data0, Perioada, DataPlatii, Tribunal}, Tribunal, [this] { ListB->click(); });
    connect(ListB, &QPushButton::clicked, this, &TAlegeNrDisp::ListBClick);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

bool TAlegeNrDisp::Execute()
{
    const TForm1 &core = Form1();
    Perioada->setText(core.ReadSetting(kSection, QStringLiteral("PERIOADA")));
    DataPlatii->setText(core.ReadSetting(kSection, QStringLiteral("DATAP")));
    Tribunal->setText(core.ReadSetting(kSection, QStringLiteral("TRIBUNAL")));
    NrDisp->setFocus();
    const bool confirmed = exec() == QDialog::Accepted;
    if (confirmed) {
        core.UpdateSettings([this](ProfileText &settings) {
            settings.setValue(kSection, QStringLiteral("PERIOADA"), Perioada->text());
            settings.setValue(kSection, QStringLiteral("DATAP"), DataPlatii->text());
            settings.setValue(kSection, QStringLiteral("TRIBUNAL"), Tribunal->text());
        });
    }
    return confirmed;
}

void TAlegeNrDisp::ListBClick()
{
    if (NrDisp->Valoare() < 1) {
        TForm1::ShowProblem(QStringLiteral("De emotie, ati uitat sa scrieti numarul de Dispozitie de listat!"), NrDisp);
        return;
    }
    // The disposition prints these texts in its articles: none may stay blank.
    const std::pair<QLineEdit *, QString> texts[] = {
        {Perioada, QStringLiteral("Scrieti perioada pentru care se stabileste dreptul!")},
        {DataPlatii, QStringLiteral("Scrieti data platii!")},
        {Tribunal, QStringLiteral("Scrieti tribunalul la care se poate contesta dispozitia!")},
    };
    for (const auto &[edit, problem] : texts) {
        if (edit->text().trimmed().isEmpty()) {
            TForm1::ShowProblem(problem, edit);
            return;
        }
    }
    accept();
}
