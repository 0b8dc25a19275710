#include "core/Form3.h"

#include "core/CNPEdit.h"
#include "core/CommandBar.h"
#include "core/CommandGuard.h"
#include "core/CoreError.h"
#include "core/Form1.h"
#include "core/Form4.h"
#include "core/MonthCode.h"
#include "platform/io/DurableFile.h"
#include "platform/io/FileWriteError.h"
#include "platform/sql/TQuery.h"
#include "platform/sql/TTable.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

QString monthListPath()
{
    return Form1().DataDir() + QStringLiteral("/Luni.lst");
}

// The month list's bytes, empty when there is no list; nullopt when the file
// cannot be read or is too large to be the list (a few lines), so it is
// never read whole and never replaced.
std::optional<QByteArray> readMonthList(const QString &path)
{
    constexpr qint64 MaxSize = 1024 * 1024;
    QFile f(path);
    if (!f.exists())
        return QByteArray();
    if (!f.open(QIODevice::ReadOnly) || f.size() >= MaxSize)
        return std::nullopt;
    return f.read(MaxSize);
}

} // namespace

TForm3 &Form3()
{
    static TForm3 *instance = new TForm3;
    return *instance;
}

TForm3::TForm3(QWidget *parent)
    : QMainWindow(parent), LunaLucru(new QLabel), LuniC(new QComboBox), CNP1(new TCNPEdit(this)),
      Sx(new TQuery), Sy(new TQuery), Tx(new TTable), m_sx(Sx), m_sy(Sy), m_tx(Tx)
{
    setWindowTitle(QStringLiteral("Kestrun"));
    CNP1->setVisible(false);

    m_bar = new CommandBar(this, [this](const std::function<void()> &command) { runGuarded(command); });
    m_bar->setWindowTitle(QStringLiteral("Comenzi"));
    addToolBar(m_bar);
    m_bar->addButton(QStringLiteral("Cereri"), QStringLiteral("x-office-address-book"),
                     QStringLiteral("Cererile lunii in lucru"));
    m_bar->addMenuButton(menuCaption(Menu::Liste), QStringLiteral("x-office-spreadsheet"),
                         QStringLiteral("Liste, rapoarte si exporturi"));
    m_bar->addMenuButton(menuCaption(Menu::Furnizori), QStringLiteral("network-server"),
                         QStringLiteral("Rapoarte pentru furnizorii de energie"));
    m_bar->addMenuButton(menuCaption(Menu::Utilitare), QStringLiteral("applications-utilities"),
                         QStringLiteral("Salvari, istoric si alte utilitare"));
    m_bar->addSpacer();
    m_bar->addButton(QStringLiteral("Administrare"), QStringLiteral("preferences-system"),
                     QStringLiteral("Setarile primariei si cuantumul ajutorului"));
    // The guard around these two is inside them.
    m_bar->setHandler(QStringLiteral("Administrare"), [this] { AdministrareClick(); });

    // The working month, the one choice every list and report starts from.
    auto *central = new QWidget(this);
    auto *panel = new QFrame(central);
    panel->setFrameShape(QFrame::StyledPanel);
    auto *caption = new QLabel(QStringLiteral("Luna in lucru"), panel);
    QFont big = caption->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    caption->setFont(big);
    big.setBold(true);
    LunaLucru->setParent(panel);
    LunaLucru->setFont(big);
    LunaLucru->setStyleSheet(QStringLiteral("color: #1f4e9c;"));
    LunaLucru->setMinimumWidth(120);
    LuniC->setParent(panel);
    LuniC->setEditable(true);
    LuniC->setInsertPolicy(QComboBox::NoInsert);
    LuniC->lineEdit()->setPlaceholderText(QStringLiteral("LL.AAAA"));
    LuniC->setMinimumWidth(140);
    connect(LuniC, &QComboBox::activated, this, &TForm3::monthChosen);
    connect(LuniC->lineEdit(), &QLineEdit::returnPressed, this, &TForm3::monthChosen);

    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(16, 12, 16, 12);
    row->addWidget(caption);
    row->addSpacing(12);
    row->addWidget(LunaLucru);
    row->addStretch(1);
    row->addWidget(new QLabel(QStringLiteral("Alegeti luna:"), panel));
    row->addWidget(LuniC);

    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(panel);
    layout->addStretch(1);
    setCentralWidget(central);

    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    showWhereDataLives(QStringLiteral("Lucru local."));
    resize(820, 380);
}

TForm3::~TForm3() = default;

QString TForm3::menuCaption(Menu menu)
{
    switch (menu) {
    case Menu::Liste: return QStringLiteral("Liste / Formulare");
    case Menu::Furnizori: return QStringLiteral("Raport Furnizori");
    case Menu::Utilitare: break;
    }
    return QStringLiteral("Utilitare");
}

QAction *TForm3::addCommand(Menu menu, const QString &caption, const std::function<void()> &handler)
{
    return m_bar->addCommand(menuCaption(menu), caption, handler);
}

QAction *TForm3::addCommand(Menu menu, const QString &submenu, const QString &caption, const std::function<void()> &handler)
{
    return m_bar->addCommand(menuCaption(menu), submenu, caption, handler);
}

void TForm3::setCereriCommand(const std::function<void()> &handler)
{
    m_cereriCommand = handler;
    m_bar->setHandler(QStringLiteral("Cereri"), handler ? std::function<void()>([this] { CereriClick(); })
                                                        : std::function<void()>());
}

void TForm3::setCommandVisible(const QString &caption, bool visible)
{
    m_bar->setCommandVisible(caption, visible);
}

QAction *TForm3::command(const QString &caption) const
{
    return m_bar->command(caption);
}

QToolButton *TForm3::button(Menu menu) const
{
    return m_bar->button(menuCaption(menu));
}

QToolButton *TForm3::cereriButton() const
{
    return m_bar->button(QStringLiteral("Cereri"));
}

void TForm3::resetShared()
{
    for (TDataSet *d : std::initializer_list<TDataSet *>{Sx, Sy, Tx})
        CommandGuard::release(*d);
    Tx->SetTableName(QString());
}

bool TForm3::runGuarded(const std::function<void()> &command)
{
    return CommandGuard::run(this, command, [this] {
        resetShared();
        if (m_reset)
            m_reset();
    });
}

void TForm3::runReport(const std::function<void()> &report)
{
    if (Form4().VerificaSetari())
        runGuarded(report);
    else
        AdministrareClick();
}

void TForm3::CereriClick()
{
    if (m_cereriCommand)
        runReport(m_cereriCommand);
}

void TForm3::AdministrareClick()
{
    runGuarded([] {
        TForm4 &admin = Form4();
        admin.Load();
        admin.exec();
    });
}

bool TForm3::setWorkingMonth(const QString &text)
{
    const int code = MonthCode::index(text);
    if (code == 0) {
        TForm1::ShowProblem(QStringLiteral("Luna se scrie LL.AAAA, de exemplu 11.2022."), LuniC);
        return false;
    }
    const QString month = MonthCode::text(code);
    LunaLucru->setText(month);
    if (LuniC->findText(month) < 0) {
        appendMonthToList(month);
        LuniC->insertItem(0, month);
    }
    LuniC->setCurrentIndex(LuniC->findText(month));
    return true;
}

void TForm3::monthChosen()
{
    runGuarded([this] { setWorkingMonth(LuniC->currentText().trimmed()); });
}

void TForm3::loadMonths()
{
    LuniC->clear();
    QList<int> codes;
    for (const QByteArray &line : readMonthList(monthListPath()).value_or(QByteArray()).split('\n')) {
        const int code = MonthCode::index(QString::fromLatin1(line.trimmed()));
        if (code > 0 && !codes.contains(code))
            codes.append(code);
    }
    std::sort(codes.begin(), codes.end(), std::greater<int>());
    for (int code : codes)
        LuniC->addItem(MonthCode::text(code));
    const int current = LuniC->findText(LunaLucru->text());
    LuniC->setCurrentIndex(current);
}

void TForm3::appendMonthToList(const QString &month)
{
    const QString path = monthListPath();
    const std::optional<QByteArray> old = readMonthList(path);
    if (!old)
        throw CoreError(QStringLiteral("Nu pot citi lista lunilor %1.").arg(path));
    QByteArray bytes = *old;
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += "\r\n";
    bytes += month.toLatin1() + "\r\n";
    FileWriteError::as<CoreError>([&] { DurableFile::save(path, bytes); });
}

void TForm3::showWhereDataLives(const QString &text)
{
    m_status->setText(text);
}

QString TForm3::statusText() const
{
    return m_status->text();
}
