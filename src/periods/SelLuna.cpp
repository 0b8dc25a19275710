#include "periods/SelLuna.h"

#include "controls/FixedDialog.h"
#include "core/Form1.h"
#include "core/NumericF.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kFirstYear = 2010;
}

TSelLuna::TSelLuna(QWidget *parent, QDate today)
    : QDialog(parent, kFixedDialogFlags),
      Label1(new QLabel(QStringLiteral("Plati pentru luna"), this)), PlLuna(new QComboBox(this)),
      Luna12(new QComboBox(this)), AnulL(new QLabel(QStringLiteral("Anul"), this)), AnulE(new TNumericF(this)),
      BitBtn3(new QPushButton(QStringLiteral("Am ales"), this)), BitBtn1(new QPushButton(QStringLiteral("Renunt"), this)),
      m_currentYear(today.year())
{
    setWindowTitle(QStringLiteral("Alegeti luna"));
    PlLuna->addItems({QStringLiteral("Noiembrie"), QStringLiteral("Decembrie"), QStringLiteral("Ianuarie"),
                      QStringLiteral("Februarie"), QStringLiteral("Martie")});
    for (int m = 1; m <= 12; ++m)
        Luna12->addItem(TForm1::MonthName(m));
    Luna12->hide();
    AnulE->setMaxLength(4);
    AnulE->setText(QString::number(m_currentYear));

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(PlLuna, 0, 1);
    grid->addWidget(Luna12, 0, 1);
    grid->addWidget(AnulL, 1, 0);
    grid->addWidget(AnulE, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn3, &QPushButton::clicked, this, &TSelLuna::BitBtn3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSelLuna::Execute(bool showYear, bool twelveMonths)
{
    AnulL->setVisible(showYear);
    AnulE->setVisible(showYear);
    PlLuna->setVisible(!twelveMonths);
    Luna12->setVisible(twelveMonths);
    return exec() == QDialog::Accepted;
}

QString TSelLuna::MonthNumber() const
{
    const int p = PlLuna->currentIndex();
    const int month = p >= 2 ? p - 1 : p + 11;
    return QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
}

void TSelLuna::BitBtn3Click()
{
    // isVisibleTo: the year counts as shown while the dialog itself is not on screen yet.
    if (AnulE->isVisibleTo(this)) {
        const double year = AnulE->Valoare();
        if (year < kFirstYear || year > m_currentYear) {
            TForm1::ShowProblem(QStringLiteral("An incorect!"), AnulE);
            return;
        }
    }
    accept();
}

TSelLuna &SelLuna()
{
    static TSelLuna *instance = new TSelLuna;
    return *instance;
}
