#include "reports/editors/BREnvironmentEditor.h"

#include "reports/editors/BREditorWidgets.h"
#include "reports/editors/BRExpressionBuilder.h"
#include "reports/eval/BREnvironment.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace BREditorWidgets;

TBREnvironmentEditor::TBREnvironmentEditor(TBREvEnvironment *local, bool globalAllowed,
                                           const QList<TBRDataSet *> &dataSets, QWidget *parent)
    : QDialog(parent), m_logic(local, globalAllowed)
{
    setWindowTitle(QStringLiteral("Editor de variabile"));
    BuildExpression = [this, local, dataSets](const QString &heading, QString &text) {
        return TBRExpressionBuilder::Execute(heading, text, dataSets, local, this);
    };
    ShowMessage = [this](const QString &text) { QMessageBox::warning(this, windowTitle(), text); };
    Pages = new QStackedWidget;
    Pages->addWidget(buildGridPage());
    Pages->addWidget(buildNewEntryPage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    LocalChoice->setEnabled(m_logic.LocalEnabled());
    GlobalChoice->setEnabled(m_logic.GlobalEnabled());
    (m_logic.ShowsLocal() ? LocalChoice : GlobalChoice)->setChecked(true);
    connect(LocalChoice, &QRadioButton::toggled, this, [this](bool on) {
        m_logic.ShowLocal(on);
        refill();
    });
    refill();
    resize(520, 360);
}

void TBREnvironmentEditor::Execute(TBREvEnvironment *local, bool globalAllowed, const QList<TBRDataSet *> &dataSets,
                                   QWidget *parent)
{
    TBREnvironmentEditor editor(local, globalAllowed, dataSets, parent);
    editor.exec();
}

QWidget *TBREnvironmentEditor::buildGridPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Variabile definite de utilizator"));
    auto *inside = new QVBoxLayout(group);
    Grid = new QTableWidget(0, 2);
    Grid->setHorizontalHeaderLabels({QStringLiteral("Nume"), QStringLiteral("Expresie")});
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->hide();
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click opens the builder; typing edits the cell in place.
    Grid->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    inside->addWidget(Grid);
    LocalChoice = new QRadioButton(QStringLiteral("Variabile &locale"));
    GlobalChoice = new QRadioButton(QStringLiteral("Variabile &globale"));
    auto *choices = new QHBoxLayout;
    choices->addWidget(LocalChoice);
    choices->addWidget(GlobalChoice);
    choices->addStretch();
    inside->addLayout(choices);
    layout->addWidget(group);
    AddButton = new QPushButton(QStringLiteral("&Adaugă"));
    EditButton = new QPushButton(QStringLiteral("&Modifică"));
    DeleteButton = new QPushButton(QStringLiteral("Ș&terge"));
    CloseButton = new QPushButton(QStringLiteral("Închide"));
    layout->addLayout(buttonRow({AddButton, EditButton, DeleteButton, CloseButton}));
    connect(Grid, &QTableWidget::itemChanged, this, &TBREnvironmentEditor::cellChanged);
    connect(Grid, &QTableWidget::cellDoubleClicked, this, &TBREnvironmentEditor::editRow);
    connect(AddButton, &QPushButton::clicked, this, [this] {
        NewName->clear();
        NewExpression->clear();
        Pages->setCurrentIndex(1);
        NewName->setFocus();
    });
    connect(EditButton, &QPushButton::clicked, this, &TBREnvironmentEditor::editRow);
    connect(DeleteButton, &QPushButton::clicked, this, &TBREnvironmentEditor::deleteRow);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    return page;
}

QWidget *TBREnvironmentEditor::buildNewEntryPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    NewEntry = new QGroupBox(QStringLiteral("Variabilă nouă"));
    auto *form = new QFormLayout(NewEntry);
    NewName = new QLineEdit;
    NewExpression = new QLineEdit;
    form->addRow(QStringLiteral("Nume :"), NewName);
    form->addRow(QStringLiteral("Expresie :"), withBuilder(NewExpression, [this](QString &text) {
        return BuildExpression(NewName->text(), text);
    }, &NewExpressionBuilder));
    layout->addWidget(NewEntry);
    layout->addStretch();
    NewOk = new QPushButton(QStringLiteral("&OK"));
    NewCancel = new QPushButton(QStringLiteral("&Renunță"));
    layout->addLayout(buttonRow({NewOk, NewCancel}));
    connect(NewOk, &QPushButton::clicked, this, &TBREnvironmentEditor::addEntry);
    connect(NewCancel, &QPushButton::clicked, this, [this] { Pages->setCurrentIndex(0); });
    return page;
}

void TBREnvironmentEditor::refill()
{
    const QSignalBlocker quiet(Grid);
    Grid->setRowCount(m_logic.Count());
    for (int row = 0; row < m_logic.Count(); ++row) {
        Grid->setItem(row, 0, new QTableWidgetItem(m_logic.Name(row)));
        Grid->setItem(row, 1, new QTableWidgetItem(m_logic.Expression(row)));
    }
}

void TBREnvironmentEditor::setCell(int row, int column, const QString &text)
{
    const QSignalBlocker quiet(Grid);
    Grid->item(row, column)->setText(text);
}

QString TBREnvironmentEditor::nameRefused(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Variabila nu are nume.") : QStringLiteral("Există deja o variabilă cu numele ") + name;
}

void TBREnvironmentEditor::cellChanged(QTableWidgetItem *item)
{
    const int row = item->row();
    if (item->column() == 0) {
        const QString wanted = item->text().trimmed().toUpper();
        const QString name = m_logic.Rename(row, item->text());
        setCell(row, 0, name);
        if (name != wanted)
            ShowMessage(nameRefused(wanted));
    } else
        setCell(row, 1, m_logic.EditExpression(row, item->text()));
}

void TBREnvironmentEditor::editRow()
{
    const int row = Grid->currentRow();
    if (row < 0 || row >= m_logic.Count())
        return;
    QString text = m_logic.Expression(row);
    if (BuildExpression(m_logic.Name(row), text))
        setCell(row, 1, m_logic.EditExpression(row, text));
}

void TBREnvironmentEditor::addEntry()
{
    if (!m_logic.Add(NewName->text(), NewExpression->text())) {
        ShowMessage(nameRefused(NewName->text().trimmed().toUpper()));
        return;
    }
    refill();
    Pages->setCurrentIndex(0);
}

void TBREnvironmentEditor::deleteRow()
{
    const int row = Grid->currentRow();
    if (row < 0 || row >= m_logic.Count())
        return;
    if (!m_logic.Delete(row)) {
        ShowMessage(QStringLiteral("Variabilele nu pot fi șterse cât timp raportul rulează."));
        return;
    }
    refill();
}
