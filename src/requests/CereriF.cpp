#include "requests/CereriF.h"

#include "core/CommandBar.h"
#include "core/CommandGuard.h"
#include "platform/io/KestrunError.h"
#include "core/Form1.h"
#include "core/Form3.h"
#include "core/MonthCode.h"
#include "grid/ExDBGrid.h"
#include "tables/RequestTables.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TCereriF &CereriF()
{
    static TCereriF *instance = new TCereriF;
    return *instance;
}

TCereriF::TCereriF(QWidget *parent)
    : QDialog(parent), C1(new TQuery), Sx(new TQuery), Grid(new TExDBGrid(this)), NrCereri(new QLabel(this)),
      m_c1(C1), m_sx(Sx)
{
    setWindowTitle(QStringLiteral("Cereri"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_bar = new CommandBar(this, [this](const std::function<void()> &command) { runGuarded(command); });
    m_bar->addMenuButton(menuCaption(Menu::Dispozitii), QStringLiteral("document-print"),
                         QStringLiteral("Dispozitiile cererilor"));
    m_bar->addMenuButton(menuCaption(Menu::Formulare), QStringLiteral("x-office-document"),
                         QStringLiteral("Cereri, anchete si fise de verificare"));
    m_bar->addMenuButton(menuCaption(Menu::Listari), QStringLiteral("x-office-spreadsheet"),
                         QStringLiteral("Referate si stat de plata"));

    Grid->setDataSet(C1);
    Grid->setColumns({
        {QStringLiteral("TITULAR"), QStringLiteral("Titular"), 210, {}, true, true},
        {QStringLiteral("CNP"), QStringLiteral("CNP"), 110, {}, false, true},
        {QStringLiteral("LOCALIT"), QStringLiteral("Localitate"), 115, {}, false, true},
        {QStringLiteral("ADRESA"), QStringLiteral("Adresa"), 170, {}, false, true},
        {QStringLiteral("NR_MEMBRI"), QStringLiteral("Membri"), 60, {}, false, true},
        {QStringLiteral("VENITM"), QStringLiteral("Venit/membru"), 88, {}, false, true},
        {QStringLiteral("CUANTUM"), QStringLiteral("Cuantum"), 70, {}, false, true},
        {QStringLiteral("NR_CERE"), QStringLiteral("Nr. cerere"), 66, {}, false, true},
        {QStringLiteral("NR_DISP"), QStringLiteral("Nr. disp."), 70, {}, false, true},
        {QStringLiteral("STATUT"), QStringLiteral("Statut"), 90, {}, false, true},
    });

    auto *close = new QPushButton(QStringLiteral("&Inchide"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(NrCereri);
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(m_bar);
    layout->addWidget(Grid, 1);
    layout->addLayout(bottom);
    resize(1100, 620);
}

TCereriF::~TCereriF() = default;

QString TCereriF::menuCaption(Menu menu)
{
    switch (menu) {
    case Menu::Dispozitii: return QStringLiteral("Dispozitii");
    case Menu::Formulare: return QStringLiteral("Formulare");
    case Menu::Listari: break;
    }
    return QStringLiteral("Listari");
}

void TCereriF::ShowMonth(const QString &month)
{
    const int code = MonthCode::index(month);
    if (code == 0)
        throw KestrunError(QStringLiteral("Luna in lucru \"%1\" nu este o luna.").arg(month));
    C1->Close();
    C1->SQL().clear();
    C1->SQL() << QStringLiteral("SELECT *")
              << QStringLiteral("FROM ") + SqlQuote::table(Form1().TablePath(RequestTables::Cereri))
              << QStringLiteral("WHERE LUNACRT=") + SqlQuote::number(code)
              << QStringLiteral("ORDER BY TITULAR");
    C1->Open();
    Grid->refresh();
    NrCereri->setText(QStringLiteral("Numar cereri: %1").arg(C1->RecordCount()));
    setWindowTitle(QStringLiteral("Cereri - luna %1").arg(MonthCode::text(code)));
}

void TCereriF::Execute()
{
    ShowMonth(Form3().LunaLucru->text());
    exec();
    C1->Close();
}

QAction *TCereriF::addCommand(Menu menu, const QString &caption, const std::function<void()> &handler)
{
    return m_bar->addCommand(menuCaption(menu), caption, handler);
}

QAction *TCereriF::command(const QString &caption) const
{
    return m_bar->command(caption);
}

bool TCereriF::runGuarded(const std::function<void()> &command)
{
    return CommandGuard::run(this, command, [this] { CommandGuard::release(*Sx); });
}
