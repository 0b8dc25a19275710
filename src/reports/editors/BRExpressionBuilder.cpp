#include "reports/editors/BRExpressionBuilder.h"

#include "reports/editors/BREditorWidgets.h"
#include "reports/editors/BREnvironmentEditor.h"
#include "reports/eval/BRFunctionLibrary.h"

#include <QGroupBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace BREditorWidgets;

namespace {

// A page holding one titled group, whose layout the caller fills.
QWidget *groupPage(const QString &title, QVBoxLayout **inside)
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);
    auto *group = new QGroupBox(title);
    *inside = new QVBoxLayout(group);
    outer->addWidget(group);
    return page;
}

// The height of one argument row.
constexpr int ArgumentRowHeight = 40;

} // namespace

TBRExpressionBuilder::TBRExpressionBuilder(const QString &heading, const QString &expression,
                                           const QList<TBRDataSet *> &dataSets, TBREvEnvironment *environment,
                                           QWidget *caller)
    : QDialog(caller), m_logic(dataSets, environment)
{
    setWindowTitle(QStringLiteral("Constructor de expresii"));
    ShowMessage = [this](const QString &text) { QMessageBox::information(this, windowTitle(), text); };
    ShowError = [this](const QString &text) { QMessageBox::critical(this, windowTitle(), text); };
    Pages = new QStackedWidget;
    Pages->addWidget(MainPage = buildMainPage());
    Pages->addWidget(FieldPage = buildFieldPage());
    Pages->addWidget(FunctionPage = buildFunctionPage());
    Pages->addWidget(ParameterPage = buildParameterPage());
    Pages->addWidget(VariablePage = buildVariablePage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Pages);
    if (!heading.isEmpty())
        Heading->setText(heading);
    ExpressionEdit->setPlainText(expression);
    DataSetList->addItems(m_logic.DataSetNames());
    CategoryList->addItems(functionCategoryNames());
    CategoryList->setCurrentRow(0);
    showVariables();
    resize(560, 380);
    if (caller)
        move(caller->window()->frameGeometry().topLeft());
    backToMain();
}

bool TBRExpressionBuilder::Execute(const QString &heading, QString &expression, const QList<TBRDataSet *> &dataSets,
                                   TBREvEnvironment *environment, QWidget *caller)
{
    TBRExpressionBuilder builder(heading, expression, dataSets, environment, caller);
    if (builder.exec() != QDialog::Accepted)
        return false;
    expression = builder.Expression();
    return true;
}

QString TBRExpressionBuilder::Expression() const
{
    return TBRExpressionBuilderLogic::WithoutLineBreaks(ExpressionEdit->toPlainText());
}

QWidget *TBRExpressionBuilder::buildMainPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    Heading = new QLabel(QStringLiteral("Introduceți expresia:"));
    ExpressionEdit = new QPlainTextEdit;
    Heading->setBuddy(ExpressionEdit);
    layout->addWidget(Heading);
    layout->addWidget(ExpressionEdit);

    auto *group = new QGroupBox(QStringLiteral("Inserare la poziția cursorului"));
    auto *grid = new QGridLayout(group);
    FieldButton = new QPushButton(QStringLiteral("Câmp din &baza de date"));
    FunctionButton = new QPushButton(QStringLiteral("&Funcție"));
    VariableButton = new QPushButton(QStringLiteral("&Variabilă"));
    grid->addWidget(FieldButton, 0, 0, 1, 3);
    grid->addWidget(FunctionButton, 1, 0, 1, 3);
    grid->addWidget(VariableButton, 2, 0, 1, 3);
    const QStringList operators{"+", "-", "*", "/", "=", "<", ">", "<>", "<=", ">=", "Not", "And", "Or"};
    for (qsizetype i = 0; i < operators.size(); ++i) {
        auto *b = new QPushButton(operators[i]);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, op = operators[i]] { insert(TBRExpressionBuilderLogic::OperatorText(op)); });
        grid->addWidget(b, int(i / 5), 3 + int(i % 5));
        OperatorButtons << b;
    }
    layout->addWidget(group);

    ValidateButton = new QPushButton(QStringLiteral("&Verifică"));
    ClearButton = new QPushButton(QStringLiteral("&Golește"));
    OkButton = new QPushButton(QStringLiteral("OK"));
    CancelButton = new QPushButton(QStringLiteral("Renunță"));
    auto *buttons = buttonRow({OkButton, CancelButton});
    buttons->insertWidget(0, ValidateButton);
    buttons->insertWidget(1, ClearButton);
    layout->addLayout(buttons);

    connect(FieldButton, &QPushButton::clicked, this, [this] { showPage(FieldPage, FieldOk); });
    connect(FunctionButton, &QPushButton::clicked, this, [this] { showPage(FunctionPage, ContinueButton); });
    connect(VariableButton, &QPushButton::clicked, this, [this] { showPage(VariablePage, VariableOk); });
    connect(ValidateButton, &QPushButton::clicked, this, &TBRExpressionBuilder::validate);
    connect(ClearButton, &QPushButton::clicked, ExpressionEdit, &QPlainTextEdit::clear);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

QWidget *TBRExpressionBuilder::buildFieldPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = groupPage(QStringLiteral("Inserare câmp din baza de date în expresie"), &layout);
    sideBySideLists(QStringLiteral("Alegeți setul de date"), &DataSetList, QStringLiteral("Câmpuri disponibile"),
                    &FieldList, layout);
    FieldOk = new QPushButton(QStringLiteral("OK"));
    FieldCancel = new QPushButton(QStringLiteral("Renunță"));
    layout->addLayout(buttonRow({FieldOk, FieldCancel}));
    connect(DataSetList, &QListWidget::currentRowChanged, this, &TBRExpressionBuilder::showFields);
    connect(FieldList, &QListWidget::itemDoubleClicked, this, &TBRExpressionBuilder::insertField);
    connect(FieldOk, &QPushButton::clicked, this, &TBRExpressionBuilder::insertField);
    connect(FieldCancel, &QPushButton::clicked, this, &TBRExpressionBuilder::backToMain);
    return page;
}

QWidget *TBRExpressionBuilder::buildFunctionPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = groupPage(QStringLiteral("Alegeți funcția"), &layout);
    sideBySideLists(QStringLiteral("Categorie"), &CategoryList, QStringLiteral("Funcții disponibile"), &FunctionList,
                    layout);
    PatternLabel = wrappingLabel(layout);
    QFont bold = PatternLabel->font();
    bold.setBold(true);
    PatternLabel->setFont(bold);
    ExplanationLabel = wrappingLabel(layout);
    ContinueButton = new QPushButton(QStringLiteral("Continuare"));
    FunctionCancel = new QPushButton(QStringLiteral("Renunță"));
    layout->addLayout(buttonRow({ContinueButton, FunctionCancel}));
    connect(CategoryList, &QListWidget::currentRowChanged, this, &TBRExpressionBuilder::showFunctions);
    connect(FunctionList, &QListWidget::currentRowChanged, this, &TBRExpressionBuilder::showFunction);
    connect(FunctionList, &QListWidget::itemDoubleClicked, this, &TBRExpressionBuilder::continueFunction);
    connect(ContinueButton, &QPushButton::clicked, this, &TBRExpressionBuilder::continueFunction);
    connect(FunctionCancel, &QPushButton::clicked, this, &TBRExpressionBuilder::backToMain);
    return page;
}

QWidget *TBRExpressionBuilder::buildParameterPage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = groupPage(QStringLiteral("Introduceți parametrii funcției"), &layout);
    ParameterPattern = wrappingLabel(layout);
    ParameterPattern->setFont(PatternLabel->font());
    ParameterExplanation = wrappingLabel(layout);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    auto *rows = new QWidget;
    m_argumentRows = new QVBoxLayout(rows);
    m_argumentRows->setSpacing(0);
    scroll->setWidget(rows);
    layout->addWidget(scroll);
    ParameterOk = new QPushButton(QStringLiteral("OK"));
    ParameterCancel = new QPushButton(QStringLiteral("Renunță"));
    layout->addLayout(buttonRow({ParameterOk, ParameterCancel}));
    connect(ParameterOk, &QPushButton::clicked, this, &TBRExpressionBuilder::insertFunction);
    connect(ParameterCancel, &QPushButton::clicked, this, &TBRExpressionBuilder::backToMain);
    return page;
}

QWidget *TBRExpressionBuilder::buildVariablePage()
{
    QVBoxLayout *layout = nullptr;
    QWidget *page = groupPage(QStringLiteral("Alegeți variabila"), &layout);
    VariableList = new QListWidget;
    layout->addWidget(VariableList);
    VariableValue = wrappingLabel(layout);
    VariableOk = new QPushButton(QStringLiteral("OK"));
    VariableCancel = new QPushButton(QStringLiteral("Renunță"));
    ModifyVariables = new QPushButton(QStringLiteral("&Modificare variabile"));
    auto *buttons = buttonRow({VariableOk, VariableCancel});
    buttons->insertWidget(0, ModifyVariables);
    layout->addLayout(buttons);
    connect(VariableList, &QListWidget::currentTextChanged, this, [this](const QString &name) {
        VariableValue->setText(QStringLiteral("Valoare : ") + m_logic.VariableExpression(name));
    });
    connect(VariableList, &QListWidget::itemDoubleClicked, this, &TBRExpressionBuilder::insertVariable);
    connect(VariableOk, &QPushButton::clicked, this, &TBRExpressionBuilder::insertVariable);
    connect(VariableCancel, &QPushButton::clicked, this, &TBRExpressionBuilder::backToMain);
    connect(ModifyVariables, &QPushButton::clicked, this, &TBRExpressionBuilder::modifyVariables);
    return page;
}

void TBRExpressionBuilder::showPage(QWidget *page, QPushButton *defaultButton)
{
    Pages->setCurrentWidget(page);
    defaultButton->setDefault(true);
}

void TBRExpressionBuilder::backToMain()
{
    showPage(MainPage, OkButton);
    ExpressionEdit->setFocus();
}

void TBRExpressionBuilder::keyPressEvent(QKeyEvent *e)
{
    // Escape leaves a page the way its Cancel does; on the main page it closes the builder.
    if (e->key() == Qt::Key_Escape && Pages->currentWidget() != MainPage) {
        backToMain();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TBRExpressionBuilder::insert(const QString &text)
{
    backToMain();
    ExpressionEdit->insertPlainText(text);
}

void TBRExpressionBuilder::validate()
{
    bool ok = false;
    const QString text = m_logic.Validate(ExpressionEdit->toPlainText(), &ok);
    (ok ? ShowMessage : ShowError)(text);
}

void TBRExpressionBuilder::showFields()
{
    FieldList->clear();
    FieldList->addItems(m_logic.FieldNames(DataSetList->currentRow()));
}

void TBRExpressionBuilder::insertField()
{
    if (DataSetList->currentItem() && FieldList->currentItem())
        insert(TBRExpressionBuilderLogic::FieldText(DataSetList->currentItem()->text(), FieldList->currentItem()->text()));
    else
        backToMain();
}

void TBRExpressionBuilder::showFunctions()
{
    FunctionList->clear();
    for (int i : TBRExpressionBuilderLogic::FunctionsOf(std::max(0, CategoryList->currentRow()))) {
        auto *item = new QListWidgetItem(FunctionLibrary().GetEntry(i).Name, FunctionList);
        item->setData(Qt::UserRole, i);
    }
    showFunction();
}

const TBRLibraryEntry *TBRExpressionBuilder::chosenFunction() const
{
    const QListWidgetItem *item = FunctionList->currentItem();
    return item ? &FunctionLibrary().GetEntry(item->data(Qt::UserRole).toInt()) : nullptr;
}

void TBRExpressionBuilder::showFunction()
{
    const TBRLibraryEntry *entry = chosenFunction();
    PatternLabel->setText(entry ? TBRExpressionBuilderLogic::CallPattern(*entry) : QString());
    ExplanationLabel->setText(entry ? TBRExpressionBuilderLogic::Explanation(*entry) : QString());
}

void TBRExpressionBuilder::continueFunction()
{
    const TBRLibraryEntry *entry = chosenFunction();
    if (!entry)
        return;
    const QStringList prompts = TBRExpressionBuilderLogic::ArgumentPrompts(*entry);
    if (prompts.isEmpty()) {
        insert(entry->Name);
        return;
    }
    ParameterPattern->setText(PatternLabel->text());
    ParameterExplanation->setText(ExplanationLabel->text());
    while (QLayoutItem *item = m_argumentRows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    ArgumentEdits.clear();
    int promptWidth = 0;
    for (const QString &p : prompts)
        promptWidth = std::max(promptWidth, fontMetrics().horizontalAdvance(p));
    for (qsizetype i = 0; i < prompts.size(); ++i) {
        auto *edit = new QLineEdit;
        const QString heading = TBRExpressionBuilderLogic::ArgumentHeading(int(i + 1), entry->Name);
        QHBoxLayout *line = withBuilder(edit, [this, heading](QString &text) {
            return Execute(heading, text, m_logic.DataSets(), m_logic.Environment(), this);
        }, nullptr);
        line->setContentsMargins(0, 0, 0, 0);
        auto *prompt = new QLabel(prompts[i]);
        prompt->setMinimumWidth(promptWidth);
        prompt->setBuddy(edit);
        line->insertWidget(0, prompt);
        auto *row = new QWidget;
        row->setFixedHeight(ArgumentRowHeight);
        row->setLayout(line);
        m_argumentRows->addWidget(row);
        ArgumentEdits << edit;
    }
    m_argumentRows->addStretch();
    showPage(ParameterPage, ParameterOk);
    ArgumentEdits.first()->setFocus();
}

void TBRExpressionBuilder::insertFunction()
{
    const TBRLibraryEntry *entry = chosenFunction();
    if (!entry) {
        backToMain();
        return;
    }
    QStringList arguments;
    for (const QLineEdit *edit : ArgumentEdits)
        arguments << edit->text();
    insert(TBRExpressionBuilderLogic::FunctionCall(entry->Name, arguments));
}

void TBRExpressionBuilder::showVariables()
{
    VariableList->clear();
    VariableList->addItems(m_logic.VariableNames());
    VariableValue->setText(QStringLiteral("Valoare : "));
}

void TBRExpressionBuilder::insertVariable()
{
    if (const QListWidgetItem *item = VariableList->currentItem())
        insert(item->text());
    else
        backToMain();
}

void TBRExpressionBuilder::modifyVariables()
{
    TBREnvironmentEditor::Execute(m_logic.Environment(), true, m_logic.DataSets(), this);
    showVariables();
}
