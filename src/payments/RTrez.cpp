#include "payments/RTrez.h"

#include "controls/FixedDialog.h"
#include "core/Contor.h"
#include "core/Erori.h"
#include "core/Form1.h"
#include "core/Form4.h"
#include "documents/DocumentOpener.h"
#include "documents/OutputFolder.h"
#include "documents/RTFReplace.h"
#include "payments/PaymentValues.h"
#include "payments/TipStatF.h"
#include "payments/TreasuryAnnex2.h"
#include "payments/TreasuryAnnex3.h"
#include "payments/TreasuryTotals.h"
#include "platform/io/DurableFile.h"
#include "platform/io/KestrunError.h"
#include "platform/sql/SqlValue.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("Raport Trezorerie");
const QString kSubFolder = QStringLiteral("Lemne_Trezorerie");

void message(const QString &text, int kind = 1)
{
    TErori::Mesaj(kTitle, text, kind, TErori::OK);
}
} // namespace

TRTrez::TRTrez(QWidget *parent)
    : QDialog(parent, kFixedDialogFlags),
      DataVirarii(new QDateEdit(this)),
      Ajut(new QCheckBox(QStringLiteral("073 - Ajutorul pentru incalzirea locuintei combustibili solizi/petrolieri"), this)),
      Ajut2(new QLabel(QStringLiteral("- Legea nr.226/2021, art. 6 alin.(2) lit.d) "), this)),
      Suplim(new QCheckBox(QStringLiteral("074 - Supliment combustibili solizi/petrolieri"), this)),
      Suplim2(new QLabel(QStringLiteral("- Legea nr.226/2021, art. 25 alin.(1) lit.d) "), this)),
      BitBtn4(new QPushButton(QStringLiteral("Creaza Raport"), this)),
      CancelBut(new QPushButton(QStringLiteral("Renunt"), this)),
      RTF1(new TRTFReplace(this))
{
    setWindowTitle(QStringLiteral("Raport trezorerie"));
    DataVirarii->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DataVirarii->setCalendarPopup(true);
    Ajut->setChecked(true);
    Suplim->setChecked(true);

    auto *date = new QHBoxLayout;
    date->addWidget(new QLabel(QStringLiteral("Data virarii"), this));
    date->addWidget(DataVirarii);
    date->addStretch();
    auto *box = new QGroupBox(QStringLiteral("Ce includem in raport?"), this);
    auto *codes = new QGridLayout(box);
    codes->addWidget(Ajut, 0, 0);
    codes->addWidget(Ajut2, 1, 0);
    codes->addWidget(Suplim, 2, 0);
    codes->addWidget(Suplim2, 3, 0);
    for (QLabel *basis : {Ajut2, Suplim2})
        basis->setIndent(24);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn4);
    buttons->addWidget(CancelBut);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(date);
    layout->addWidget(box);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn4, &QPushButton::clicked, this, &TRTrez::BitBtn1Click);
    connect(CancelBut, &QPushButton::clicked, this, &QDialog::reject);
}

TRTrez::~TRTrez() = default;

QList<TreasuryCode> TRTrez::tickedCodes() const
{
    QList<TreasuryCode> codes;
    if (Ajut->isChecked())
        codes.append({QStringLiteral("073"), Ajut->text(), Ajut2->text()});
    if (Suplim->isChecked())
        codes.append({QStringLiteral("074"), Suplim->text(), Suplim2->text()});
    return codes;
}

TreasuryDbf::Payer TRTrez::payer() const
{
    return {m_office.countyCode, m_office.fiscalCode, DataVirarii->date()};
}

void TRTrez::Execute()
{
    m_output.reset();
    // Nothing of an unfinished package is left, whatever step fails: its
    // work folder and journal go with it.
    const auto done = qScopeGuard([this] { m_output.reset(); });
    DataVirarii->setDate(Today());
    if (exec() != QDialog::Accepted)
        return;
    Form1().WriteSetting(QStringLiteral("CONST"), QStringLiteral("DATAV"), SqlValue::formatDate(DataVirarii->date()));
    Contor().Descr->setText(QStringLiteral("Creez DBF-ul..."));
    m_output->fill(0, [this](const QString &work) {
        m_package = {work, QString(), DataVirarii->date(), tickedCodes(), m_payments, m_office};
        m_package.dbfPath = WriteTreasuryDbf(work);
        WriteAnnex2();
        WriteAnnex3();
        WriteTotalsText();
    });
    publish();
    DocumentOpener::openFolder(m_folder);
}

void TRTrez::BitBtn1Click()
{
    if (!Ajut->isChecked() && !Suplim->isChecked()) {
        TForm1::ShowProblem(QStringLiteral("Nu ati ales niciun cont!"), Ajut);
        return;
    }
    // A slot lets no error out: it is shown and the dialog stays open.
    try {
        m_office = Form4().office();
        if (!TipStatF().Execute(false))
            return;
        collectPayments();
        if (!chooseFolder())
            return;
    } catch (const std::exception &e) {
        m_output.reset();
        message(KestrunError::textOf(e));
        return;
    }
    accept();
}

void TRTrez::collectPayments()
{
    QStringList codes;
    for (const TreasuryCode &code : tickedCodes())
        codes << code.code;
    m_payments = TreasuryDbf::select(codes, TipStatF());
    TreasuryDbf::check(payer(), m_payments);
}

bool TRTrez::chooseFolder()
{
    auto output = std::make_unique<OutputFolder>(OutputFolder::Texts{
        kTitle, kSubFolder, QStringLiteral("Unde punem Raportarea?"), QStringLiteral(" exista!"),
        QStringLiteral(" este in utilizare!\rInchideti fisierele deschise sau stergeti-l manual si reinncercati!")});
    if (!output->choose())
        return false;
    m_folder = output->target();
    m_output = std::move(output);
    return true;
}

QString TRTrez::WriteTreasuryDbf(const QString &folder)
{
    const QByteArray bytes = TreasuryDbf::bytes(PaymentValues::resource(QStringLiteral("MODELTRZ")), payer(), m_payments,
                                                 Today());
    const QString path = QDir(folder).filePath(TreasuryDbf::fileName(payer()));
    DurableFile::save(path, bytes);
    return path;
}

void TRTrez::WriteAnnex2()
{
    TreasuryAnnex2::write(m_package);
}

void TRTrez::WriteAnnex3()
{
    TreasuryAnnex3::write(m_package, *RTF1);
}

void TRTrez::WriteTotalsText()
{
    TreasuryTotals::write(m_package);
}

void TRTrez::publish()
{
    m_package.folder = m_folder;
    m_package.dbfPath = QDir(m_folder).filePath(QFileInfo(m_package.dbfPath).fileName());
}

TRTrez &RTrez()
{
    static TRTrez *instance = new TRTrez;
    return *instance;
}
