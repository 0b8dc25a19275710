#pragma once

#include "reports/editors/BRExpressionBuilderLogic.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;

// Composes an expression from dataset fields, library functions (with a
// page for their arguments, each of which may be built in a nested builder)
// and variables, and checks it by evaluating it once. One page is shown at a
// time; a page's OK or Cancel (or Escape) brings the main page back.
class TBRExpressionBuilder : public QDialog
{
    Q_OBJECT
public:
    // A heading replaces "Introduceți expresia:". With a calling dialog the
    // builder opens at that dialog's top left corner.
    TBRExpressionBuilder(const QString &heading, const QString &expression, const QList<TBRDataSet *> &dataSets,
                         TBREvEnvironment *environment, QWidget *caller = nullptr);

    // True and the new text (without line breaks) when the user pressed OK.
    static bool Execute(const QString &heading, QString &expression, const QList<TBRDataSet *> &dataSets,
                        TBREvEnvironment *environment, QWidget *caller = nullptr);
    QString Expression() const;

    // Show the check's result, a value or an error; a test puts its own here.
    std::function<void(const QString &)> ShowMessage, ShowError;

    QStackedWidget *Pages;
    QWidget *MainPage, *FieldPage, *FunctionPage, *ParameterPage, *VariablePage;
    QLabel *Heading;
    QPlainTextEdit *ExpressionEdit;
    QPushButton *FieldButton, *FunctionButton, *VariableButton, *ValidateButton, *ClearButton, *OkButton, *CancelButton;
    QList<QPushButton *> OperatorButtons;
    QListWidget *DataSetList, *FieldList;
    QPushButton *FieldOk, *FieldCancel;
    QListWidget *CategoryList, *FunctionList;
    QLabel *PatternLabel, *ExplanationLabel;
    QPushButton *ContinueButton, *FunctionCancel;
    QLabel *ParameterPattern, *ParameterExplanation;
    QList<QLineEdit *> ArgumentEdits;
    QPushButton *ParameterOk, *ParameterCancel;
    QListWidget *VariableList;
    QLabel *VariableValue;
    QPushButton *VariableOk, *VariableCancel, *ModifyVariables;

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    QWidget *buildMainPage();
    QWidget *buildFieldPage();
    QWidget *buildFunctionPage();
    QWidget *buildParameterPage();
    QWidget *buildVariablePage();
    void showPage(QWidget *page, QPushButton *defaultButton);
    void backToMain();
    void insert(const QString &text);
    void validate();
    void showFields();
    void showFunctions();
    void showFunction();
    void continueFunction();
    void insertFunction();
    void showVariables();
    void insertField();
    void insertVariable();
    void modifyVariables();
    const struct TBRLibraryEntry *chosenFunction() const;

    TBRExpressionBuilderLogic m_logic;
    QVBoxLayout *m_argumentRows = nullptr;
};
