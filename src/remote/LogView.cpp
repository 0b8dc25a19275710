#include "remote/LogView.h"

#include "core/Form1.h"
#include "grid/ExDBGrid.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "tables/RequestTables.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TLogView &LogView()
{
    static TLogView *instance = new TLogView;
    return *instance;
}

TLogView::TLogView(QWidget *parent) : QDialog(parent), Lx(new TQuery), Grid(new TExDBGrid(this)), m_lx(Lx)
{
    setWindowTitle(QStringLiteral("Istoric modificari date"));
    auto *heading = new QLabel(QStringLiteral("Ultimele actiuni facute in program"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    Grid->setDataSet(Lx);
    Grid->setColumns({{QStringLiteral("DATAL"), QStringLiteral("Data"), 90, Qt::AlignCenter},
                      {QStringLiteral("ORA"), QStringLiteral("Ora"), 80, Qt::AlignCenter},
                      {QStringLiteral("ACTIUNE"), {}, 520}});
    auto *close = new QPushButton(QStringLiteral("&Inchide"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(Grid, 1);
    layout->addLayout(buttons);
    resize(760, 480);
}

TLogView::~TLogView() = default;

void TLogView::Arata()
{
    Prepare();
    exec();
    Lx->Close();
    Grid->refresh();
}

void TLogView::Prepare()
{
    Lx->Close();
    Lx->SQL().clear();
    Lx->SQL() << QStringLiteral("SELECT * FROM ") + SqlQuote::table(Form1().TablePath(RequestTables::Log))
              << QStringLiteral("ORDER BY IDLOG");
    Lx->Open();
    Grid->refresh();
    QApplication::processEvents();
    Lx->Last();
    if (Lx->RecordCount() > 0)
        Grid->selectRow(Lx->RecordCount() - 1);
}
