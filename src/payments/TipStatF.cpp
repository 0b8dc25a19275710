#include "payments/TipStatF.h"

#include "controls/FixedDialog.h"
#include "core/Form1.h"
#include "documents/DocumentValues.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace DocumentValues;

namespace {
const QString kAll = QStringLiteral("* toate localitatile *");
const QString kSection = QStringLiteral("CONST");
const QString kKey = QStringLiteral("PERSTAT");
} // namespace

const QStringList &TTipStatF::letters()
{
    static const QStringList list = QStringLiteral("A B C D E F G H I J K L M N O P R S T U V Z").split(u' ');
    return list;
}

TTipStatF::TTipStatF(QWidget *parent)
    : QDialog(parent, kFixedDialogFlags | Qt::WindowStaysOnTopHint),
      Localit(new QComboBox(this)), Lit1(new QComboBox(this)), Lit2(new QComboBox(this)), Stat1(new QWidget(this)),
      PerioadaS(new QLineEdit(Stat1)), BitBtn1(new QPushButton(QStringLiteral("&Am ales"), this)),
      BitBtn2(new QPushButton(QStringLiteral("&Renunt"), this))
{
    setWindowTitle(QStringLiteral("Selectare cereri"));
    Lit1->addItems(letters());
    Lit2->addItems(letters());
    Lit2->setCurrentIndex(int(letters().size()) - 1);
    Localit->setMinimumContentsLength(24);

    auto *panel = new QFormLayout(Stat1);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->addRow(QStringLiteral("Stat de plata pe luna"), PerioadaS);
    Stat1->hide();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Doar pentru beneficiarii din Localitatea:"), Localit);
    auto *range = new QHBoxLayout;
    range->addWidget(Lit1);
    range->addWidget(new QLabel(QStringLiteral("terminand cu"), this));
    range->addWidget(Lit2);
    range->addStretch();
    form->addRow(QStringLiteral("incepand cu litera"), range);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Stat1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &TTipStatF::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

bool TTipStatF::Execute(bool withMonth)
{
    Localit->clear();
    Localit->addItem(kAll);
    Form1().FillDistinct(Localit, dataFile(RequestTables::Cereri),
                         QStringLiteral("LUNACRT=") + SqlQuote::number(workingMonth()), QStringLiteral("LOCALIT"));
    Localit->setCurrentIndex(0);
    Stat1->setVisible(withMonth);
    if (withMonth)
        PerioadaS->setText(Form1().ReadSetting(kSection, kKey));
    const bool confirmed = exec() == QDialog::Accepted;
    Stat1->hide();
    return confirmed;
}

void TTipStatF::BitBtn1Click()
{
    // A reversed range lists nobody; a list without its month cannot be signed.
    if (Lit1->currentIndex() > Lit2->currentIndex()) {
        TForm1::ShowProblem(QStringLiteral("Litera de inceput (%1) este dupa litera de sfarsit (%2)!")
                                .arg(Lit1->currentText(), Lit2->currentText()),
                            Lit1);
        return;
    }
    if (Stat1->isVisibleTo(this) && PerioadaS->text().trimmed().isEmpty()) {
        TForm1::ShowProblem(QStringLiteral("Scrieti luna statului de plata!"), PerioadaS);
        return;
    }
    if (Stat1->isVisibleTo(this))
        Form1().WriteSetting(kSection, kKey, PerioadaS->text());
    accept();
}

bool TTipStatF::allLocalities() const
{
    return Localit->currentIndex() <= 0;
}

QString TTipStatF::locality() const
{
    return allLocalities() ? QString() : Localit->currentText().trimmed();
}

QStringList TTipStatF::nameConditions() const
{
    const QString name = QStringLiteral("UPPER(TITULAR)");
    QStringList lines{QStringLiteral("AND %1>=%2").arg(name, SqlQuote::literal(Lit1->currentText()))};
    const qsizetype last = letters().indexOf(Lit2->currentText());
    // Up to the next letter of the list, so names with the letters it skips
    // (Q, W, X, Y) and with Ă Â Î Ş Ţ stay within some range.
    if (last >= 0 && last + 1 < letters().size())
        lines << QStringLiteral("AND %1<%2").arg(name, SqlQuote::literal(letters().at(last + 1)));
    return lines;
}

TTipStatF &TipStatF()
{
    static TTipStatF *instance = new TTipStatF;
    return *instance;
}
