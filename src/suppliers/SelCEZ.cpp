#include "suppliers/SelCEZ.h"

#include "controls/FixedDialog.h"
#include "core/EnterTab.h"
#include "core/Form1.h"
#include "suppliers/SupplierChoices.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
constexpr int kSirutaMin = 4;
constexpr int kSirutaMax = 10;
}

TSelCEZ::TSelCEZ(QWidget *parent)
    : QDialog(parent, kFixedDialogFlags),
      Label4(new QLabel(this)), FurnE(new QComboBox(this)),
      Label1(new QLabel(QStringLiteral("( Daca ati dat mai multe denumiri, corectati in Cereri! )"), this)),
      Label2(new QLabel(QStringLiteral("Cod SIRUTA"), this)), Label3(new QLabel(QStringLiteral("Localit"), this)),
      Siruta(new QLineEdit(this)), MemoBut(new QPushButton(QStringLiteral("&Am ales"), this)),
      CloseBut(new QPushButton(QStringLiteral("&Renunt"), this))
{
    setWindowTitle(QStringLiteral("Raport CEZ - Suplimente Electrica"));
    // A SIRUTA code is a number: a sign, a point or letters make no code.
    Siruta->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(kSirutaMax)), Siruta));
    new EnterTab(this, {FurnE});
    MemoBut->setAutoDefault(false);
    CloseBut->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(Siruta, 0, 1);
    grid->addWidget(Label3, 0, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(MemoBut);
    buttons->addWidget(CloseBut);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label4);
    layout->addWidget(FurnE);
    layout->addWidget(Label1);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(MemoBut, &QPushButton::clicked, this, &TSelCEZ::MemoButClick);
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSelCEZ::Execute(const QString &kind)
{
    FurnE->clear();
    SupplierChoices::add(FurnE, QStringLiteral("FURNE"), SupplierChoices::granted(QStringLiteral("SUMAE>0")));
    FurnE->setCurrentIndex(FurnE->count() > 0 ? 0 : -1);
    Siruta->setText(Form1().ReadSetting(QStringLiteral("CONST"), QStringLiteral("SIRUTA")).trimmed());
    if (kind == u"CEZ") {
        setWindowTitle(QStringLiteral("Raport CEZ - Suplimente Electrica"));
        Label4->setText(QStringLiteral("Ce denumire ati dat pentru firma CEZ ?"));
    } else if (kind == u"PREMIER") {
        setWindowTitle(QStringLiteral("Raport PREMIER - Suplimente Electrica"));
        Label4->setText(QStringLiteral("Ce denumire ati dat pentru firma Premier Energy ?"));
    }
    FurnE->setFocus();
    const bool confirmed = exec() == QDialog::Accepted;
    if (confirmed)
        Form1().WriteSetting(QStringLiteral("CONST"), QStringLiteral("SIRUTA"), Siruta->text());
    return confirmed;
}

void TSelCEZ::MemoButClick()
{
    if (FurnE->currentText().isEmpty()) {
        TForm1::ShowProblem(QStringLiteral("Nu ati ales denumirea CEZ-ului!"), FurnE);
        return;
    }
    // A stored code from before may hold more than digits: it is refused too.
    const QString siruta = Siruta->text();
    int pos = 0;
    QString checked = siruta;
    if (siruta.size() < kSirutaMin || Siruta->validator()->validate(checked, pos) != QValidator::Acceptable) {
        TForm1::ShowProblem(QStringLiteral("Nu ati scris SIRUTA!"), Siruta);
        return;
    }
    accept();
}

TSelCEZ &SelCEZ()
{
    static TSelCEZ *instance = new TSelCEZ;
    return *instance;
}
