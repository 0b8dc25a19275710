#include "suppliers/SelEON.h"

#include "core/EnterTab.h"
#include "core/Form1.h"
#include "documents/DocumentValues.h"
#include "platform/profile/ProfileText.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/TQuery.h"
#include "suppliers/PostalCodes.h"
#include "suppliers/SupplierChoices.h"
#include "tables/RequestTables.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kCodeLength = 10;
}

TSelEON::TSelEON(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Label4(new QLabel(QStringLiteral("Ce denumire ati dat pentru E-ON Gaz Targu Mures ?"), this)),
      FurnE(new QComboBox(this)),
      Label1(new QLabel(QStringLiteral("( Daca ati dat mai multe denumiri, corectati in Cereri! )"), this)),
      Label2(new QLabel(QStringLiteral("Coduri postale"), this)), ExDBGrid1(new QTableWidget(0, 2, this)),
      MemoBut(new QPushButton(QStringLiteral("&Am ales"), this)), CloseBut(new QPushButton(QStringLiteral("&Renunt"), this))
{
    setWindowTitle(QStringLiteral("Raport E-ON Gaz Targu Mures"));
    ExDBGrid1->setHorizontalHeaderLabels({QStringLiteral("Localitatea"), QStringLiteral("Cod postal")});
    ExDBGrid1->setColumnWidth(0, 200);
    ExDBGrid1->setColumnWidth(1, 120);
    ExDBGrid1->verticalHeader()->hide();
    new EnterTab(this, {FurnE});
    MemoBut->setAutoDefault(false);
    CloseBut->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(MemoBut);
    buttons->addWidget(CloseBut);
    auto *layout = new QVBoxLayout(this);
    for (QWidget *w : {static_cast<QWidget *>(Label4), static_cast<QWidget *>(FurnE), static_cast<QWidget *>(Label1),
                       static_cast<QWidget *>(Label2), static_cast<QWidget *>(ExDBGrid1)})
        layout->addWidget(w);
    layout->addLayout(buttons);
    resize(380, 420);

    connect(MemoBut, &QPushButton::clicked, this, &TSelEON::MemoButClick);
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSelEON::Execute()
{
    fillNames();
    fillLocalities();
    FurnE->setFocus();
    const bool confirmed = exec() == QDialog::Accepted;
    if (confirmed)
        storeCodes();
    ExDBGrid1->setRowCount(0);
    return confirmed;
}

void TSelEON::fillNames()
{
    FurnE->clear();
    SupplierChoices::add(FurnE, QStringLiteral("FURNG"), SupplierChoices::granted(QStringLiteral("(TOTAL>0) OR (SUMAG>0)")));
    SupplierChoices::add(FurnE, QStringLiteral("FURNE"), SupplierChoices::granted(QStringLiteral("(TOTAL>0) OR (SUMAE>0)")),
                       true);
    FurnE->setCurrentIndex(-1);
}

void TSelEON::fillLocalities()
{
    TQuery q;
    DocumentValues::QueryScope scope(q);
    DocumentValues::openQuery(q, {QStringLiteral("SELECT DISTINCT LOCALIT"),
                                  QStringLiteral("FROM ") + SqlQuote::table(DocumentValues::dataFile(RequestTables::Cereri)),
                                  QStringLiteral("WHERE LUNACRT=") + QString::number(DocumentValues::workingMonth()),
                                  QStringLiteral("ORDER BY LOCALIT")});
    ExDBGrid1->setRowCount(0);
    QStringList seen;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString locality = q.Fields().at(0)->AsString().trimmed();
        const QString key = PostalCodes::key(locality);
        if (seen.contains(key, Qt::CaseInsensitive))
            continue; // one row per key the settings file can tell apart
        seen << key;
        const int row = ExDBGrid1->rowCount();
        ExDBGrid1->insertRow(row);
        auto *name = new QTableWidgetItem(locality);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        ExDBGrid1->setItem(row, 0, name);
        auto *code = new QTableWidgetItem(PostalCodes::read(locality));
        code->setTextAlignment(Qt::AlignCenter);
        QFont bold = code->font();
        bold.setBold(true);
        code->setFont(bold);
        ExDBGrid1->setItem(row, 1, code);
    }
}

void TSelEON::storeCodes() const
{
    Form1().UpdateSettings([this](ProfileText &settings) {
        for (int row = 0; row < ExDBGrid1->rowCount(); ++row)
            settings.setValue(QStringLiteral("CODURIP"), PostalCodes::key(ExDBGrid1->item(row, 0)->text()),
                              ExDBGrid1->item(row, 1)->text().left(kCodeLength));
    });
}

void TSelEON::MemoButClick()
{
    if (FurnE->currentText().isEmpty()) {
        TForm1::ShowProblem(QStringLiteral("Nu ati ales nimic!"), FurnE);
        return;
    }
    for (int row = 0; row < ExDBGrid1->rowCount(); ++row) {
        if (ExDBGrid1->item(row, 1)->text().trimmed().isEmpty()) {
            ExDBGrid1->setCurrentCell(row, 1);
            TForm1::ShowProblem(QStringLiteral("Nu ati scris Codul postal!"), ExDBGrid1);
            return;
        }
    }
    accept();
}

TSelEON &SelEON()
{
    static TSelEON *instance = new TSelEON;
    return *instance;
}
