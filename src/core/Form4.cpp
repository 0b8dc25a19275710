#include "core/Form4.h"

#include "core/Counties.h"
#include "core/Erori.h"
#include "platform/io/KestrunError.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/NumericF.h"
#include "platform/profile/ProfileText.h"
#include "platform/shell/Shell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString Setari = QStringLiteral("SETARI");
const QString Constante = QStringLiteral("CONSTANTE");

QString plainNumber(double v)
{
    return QLocale::c().toString(v, 'g', 15);
}

struct TextKey
{
    QLineEdit *TForm4::*edit;
    const char *key;
};

// The plain text settings of [SETARI] and their boxes.
const TextKey textKeys[] = {
    {&TForm4::Localit, "Localitate"}, {&TForm4::CodFiscal, "CodFiscal"}, {&TForm4::CodJud, "CodJud"},
    {&TForm4::Edit7, "Primar"},       {&TForm4::SecretarN, "Secretar"},  {&TForm4::IntocmitN, "Intocmit"},
    {&TForm4::ContabilN, "Contabil"}, {&TForm4::DirectorN, "Director"},
};

struct AmountKey
{
    TNumericF *TForm4::*edit;
    const char *key;
    const char *label;
};

const AmountKey amountKeys[] = {
    {&TForm4::IndL, "IndL", "Lemne (combustibil solid)"}, {&TForm4::IndG, "IndG", "Gaze naturale"},
    {&TForm4::IndT, "IndT", "Energie termica"},           {&TForm4::IndE, "IndE", "Energie electrica"},
    {&TForm4::IndE2, "IndE2", "Energie electrica (unica sursa)"},
};

QLineEdit *lineEdit(QWidget *parent, int maxLength = 60)
{
    auto *e = new QLineEdit(parent);
    e->setMaxLength(maxLength);
    return e;
}

} // namespace

TForm4 &Form4()
{
    static TForm4 *instance = new TForm4;
    return *instance;
}

TForm4::TForm4(QWidget *parent)
    : QDialog(parent), Localit(lineEdit(this)), ComboBox1(new QComboBox(this)), CodFiscal(lineEdit(this, 13)),
      CodJud(lineEdit(this, CountyCodeLength)), JudetC(new QComboBox(this)), JudAbr(new QComboBox(this)), Edit7(lineEdit(this)),
      SecretarN(lineEdit(this)), IntocmitN(lineEdit(this)), ContabilN(lineEdit(this)), DirectorN(lineEdit(this)),
      CuOLE(new QCheckBox(QStringLiteral("Utilizeaza Office 2010"), this)), IndL(new TNumericF(this)),
      IndG(new TNumericF(this)), IndT(new TNumericF(this)), IndE(new TNumericF(this)), IndE2(new TNumericF(this)),
      Salvare(lineEdit(this, 250)), Server(lineEdit(this, 250))
{
    setWindowTitle(QStringLiteral("Administrare"));
    // The names the other forms and the reports know these controls by.
    const std::pair<QWidget *, const char *> names[] = {
        {Localit, "Localit"}, {ComboBox1, "ComboBox1"}, {CodFiscal, "CodFiscal"}, {CodJud, "CodJud"},
        {JudetC, "JudetC"}, {JudAbr, "JudAbr"}, {Edit7, "Edit7"}, {SecretarN, "SecretarN"},
        {IntocmitN, "IntocmitN"}, {ContabilN, "ContabilN"}, {DirectorN, "DirectorN"}, {CuOLE, "CuOLE"},
        {IndL, "IndL"}, {IndG, "IndG"}, {IndT, "IndT"}, {IndE, "IndE"}, {IndE2, "IndE2"},
        {Salvare, "Salvare"}, {Server, "Server"}};
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));
    ComboBox1->addItems({QStringLiteral("COMUNA"), QStringLiteral("ORASUL"), QStringLiteral("MUNICIPIUL")});
    JudetC->addItems(Counties::names());
    JudetC->setCurrentIndex(-1);
    JudAbr->addItems(Counties::abbreviations());
    JudAbr->setVisible(false);
    connect(JudetC, &QComboBox::currentIndexChanged, this, [this](int index) {
        JudAbr->setCurrentIndex(index);
        JudetCChange();
    });

    auto *uat = new QGroupBox(QStringLiteral("Unitatea administrativ-teritoriala"), this);
    auto *uatForm = new QFormLayout(uat);
    uatForm->addRow(QStringLiteral("Tip localitate:"), ComboBox1);
    uatForm->addRow(QStringLiteral("Denumire UAT:"), Localit);
    uatForm->addRow(QStringLiteral("Judet:"), JudetC);
    uatForm->addRow(QStringLiteral("Cod judet:"), CodJud);
    uatForm->addRow(QStringLiteral("Cod fiscal:"), CodFiscal);

    auto *people = new QGroupBox(QStringLiteral("Semnaturi"), this);
    auto *peopleForm = new QFormLayout(people);
    peopleForm->addRow(QStringLiteral("Primar:"), Edit7);
    peopleForm->addRow(QStringLiteral("Secretar:"), SecretarN);
    peopleForm->addRow(QStringLiteral("Intocmit:"), IntocmitN);
    peopleForm->addRow(QStringLiteral("Contabil:"), ContabilN);
    peopleForm->addRow(QStringLiteral("Director:"), DirectorN);

    auto *brackets = new QGroupBox(QStringLiteral("Cuantumul ajutorului pentru lemne"), this);
    auto *grid = new QGridLayout(brackets);
    grid->addWidget(new QLabel(QStringLiteral("Venit pe membru pana la"), brackets), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ajutor lunar"), brackets), 0, 2);
    for (int i = 0; i < Brackets; ++i) {
        m_lim[i] = new TNumericF(brackets);
        m_lim[i]->setObjectName(QStringLiteral("Lim%1").arg(i + 1));
        m_cu[i] = new TNumericF(brackets);
        m_cu[i]->setObjectName(QStringLiteral("Cu%1").arg(i + 1));
        const QString label = i + 1 < Brackets ? QStringLiteral("%1)").arg(QChar(u'a' + i))
                                               : QStringLiteral("plafon (o persoana)");
        grid->addWidget(new QLabel(label, brackets), i + 1, 0);
        grid->addWidget(m_lim[i], i + 1, 1);
        grid->addWidget(m_cu[i], i + 1, 2);
    }

    auto *supplements = new QGroupBox(QStringLiteral("Suplimente implicite"), this);
    auto *supForm = new QFormLayout(supplements);
    for (const AmountKey &k : amountKeys)
        supForm->addRow(QString::fromLatin1(k.label) + u':', this->*k.edit);

    auto *machine = new QGroupBox(QStringLiteral("Acest calculator"), this);
    auto *machineForm = new QFormLayout(machine);
    auto *backupRow = new QHBoxLayout;
    backupRow->addWidget(Salvare, 1);
    auto *browse = new QToolButton(machine);
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, &TForm4::chooseBackupFolder);
    backupRow->addWidget(browse);
    machineForm->addRow(QStringLiteral("Director salvari:"), backupRow);
    machineForm->addRow(QStringLiteral("Director date in retea:"), Server);
    machineForm->addRow(CuOLE);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Salveaza"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Renunta"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        try {
            Save();
            accept();
        } catch (const std::exception &e) {
            TErori::Mesaj(QStringLiteral("Administrare"), KestrunError::textOf(e), 1, TErori::OK);
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        Load();
        reject();
    });

    auto *left = new QVBoxLayout;
    left->addWidget(uat);
    left->addWidget(people);
    left->addWidget(machine);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(brackets);
    right->addWidget(supplements);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(JudAbr);
    layout->addWidget(buttons);
}

TNumericF *TForm4::Lim(int i) const
{
    return (i >= 1 && i <= Brackets) ? m_lim[i - 1] : nullptr;
}

TNumericF *TForm4::Cu(int i) const
{
    return (i >= 1 && i <= Brackets) ? m_cu[i - 1] : nullptr;
}

void TForm4::Load()
{
    const TForm1 &f = Form1();
    for (const TextKey &k : textKeys)
        (this->*k.edit)->setText(f.ReadSetting(Setari, QLatin1String(k.key)));
    bool ok = false;
    const int type = f.ReadSetting(Setari, QStringLiteral("TipLocalitate")).toInt(&ok);
    ComboBox1->setCurrentIndex(ok && type >= 0 && type <= 2 ? type : 0);
    // Settings written by hand may carry the county in any case.
    JudetC->setCurrentIndex(Counties::names().indexOf(f.ReadSetting(Setari, QStringLiteral("Judet")).trimmed().toUpper()));
    CuOLE->setChecked(f.ReadSetting(Setari, QStringLiteral("CuOLE")).trimmed().compare(u"DA", Qt::CaseInsensitive) == 0);
    const auto number = [&](const QString &key) {
        const QString v = f.ReadSetting(Constante, key).trimmed();
        return v.isEmpty() ? QStringLiteral("0") : plainNumber(TNumericF::valueOf(v));
    };
    for (int i = 1; i <= Brackets; ++i) {
        Lim(i)->setText(number(QStringLiteral("Lim%1").arg(i)));
        Cu(i)->setText(number(QStringLiteral("Cu%1").arg(i)));
    }
    for (const AmountKey &k : amountKeys)
        (this->*k.edit)->setText(number(QLatin1String(k.key)));
    Salvare->setText(TForm1::ReadMachine(QStringLiteral("Salvare")));
    Server->setText(TForm1::ReadMachine(QStringLiteral("Server")));
}

void TForm4::Save()
{
    // One rewrite of the settings file, not one per box.
    Form1().UpdateSettings([this](ProfileText &t) {
        for (const TextKey &k : textKeys)
            t.setValue(Setari, QLatin1String(k.key), (this->*k.edit)->text().trimmed());
        t.setValue(Setari, QStringLiteral("TipLocalitate"), QString::number(std::max(ComboBox1->currentIndex(), 0)));
        t.setValue(Setari, QStringLiteral("Judet"), JudetC->currentText());
        t.setValue(Setari, QStringLiteral("CuOLE"), CuOLE->isChecked() ? QStringLiteral("DA") : QStringLiteral("NU"));
        for (int i = 1; i <= Brackets; ++i) {
            t.setValue(Constante, QStringLiteral("Lim%1").arg(i), plainNumber(Lim(i)->Valoare()));
            t.setValue(Constante, QStringLiteral("Cu%1").arg(i), plainNumber(Cu(i)->Valoare()));
        }
        for (const AmountKey &k : amountKeys)
            t.setValue(Constante, QLatin1String(k.key), plainNumber((this->*k.edit)->Valoare()));
    });
    TForm1::WriteMachine(QStringLiteral("Salvare"), Salvare->text().trimmed());
    TForm1::WriteMachine(QStringLiteral("Server"), Server->text().trimmed());
}

QString TForm4::LiteraCuantum(int amount) const
{
    for (int i = 1; i <= Brackets; ++i)
        if (std::trunc(Cu(i)->Valoare()) == double(amount))
            return QString(QChar(u'a' + i - 1));
    return QStringLiteral("j");
}

OfficeSettings TForm4::office() const
{
    return {Localit->text(), ComboBox1->currentText(), CodFiscal->text(), CodJud->text(),
            JudetC->currentText(), Edit7->text(), SecretarN->text(), IntocmitN->text(), ContabilN->text(),
            DirectorN->text()};
}

bool TForm4::VerificaSetari() const
{
    QString missing;
    if (Form3().LunaLucru->text().trimmed().isEmpty())
        missing = QStringLiteral("Alegeti luna in lucru !");
    else if (Localit->text().trimmed().isEmpty())
        missing = QStringLiteral("Completati denumirea UAT in Administrare !");
    else if (JudetC->currentText().trimmed().isEmpty())
        missing = QStringLiteral("Alegeti judetul in Administrare !");
    else if (CodFiscal->text().trimmed().isEmpty())
        missing = QStringLiteral("Completati codul fiscal in Administrare !");
    if (missing.isEmpty())
        return true;
    TErori::Mesaj(QStringLiteral("Raport AJPIS"), missing, 1, TErori::OK);
    return false;
}

void TForm4::JudetCChange()
{
    Form3().setCommandVisible(QStringLiteral("Raport AJPIS - BACAU"), JudetC->currentIndex() == Counties::Bacau);
}

void TForm4::chooseBackupFolder()
{
    const QString folder = Shell::instance().chooseFolder(QStringLiteral("Alegeti directorul pentru salvari"), Salvare->text());
    if (!folder.isEmpty())
        Salvare->setText(folder);
}
