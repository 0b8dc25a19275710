#include "TestApplication.h"
#include "CereriFields.h"
#include "reports/editors/BREnvironmentEditor.h"
#include "reports/editors/BRExpressionBuilder.h"
#include "reports/eval/BREnvironment.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class EditorForms : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ensureApplication<QApplication>();
    }
    static void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
};

} // namespace

TEST_F(EditorForms, BuilderInsertsFieldsFunctionsVariablesAndOperatorsAndValidates)
{
    CereriFields cereri;
    TBREvEnvironment env;
    env.AddFunction(QStringLiteral("Titlu"), QStringLiteral("'Lista'"));
    TBRExpressionBuilder builder(QString(), QString(), {&cereri}, &env);
    QStringList shown;
    builder.ShowMessage = [&](const QString &text) { shown << text; };
    QStringList errors;
    builder.ShowError = [&](const QString &text) { errors << text; };

    click(builder.FunctionButton);
    ASSERT_EQ(builder.Pages->currentWidget(), builder.FunctionPage);
    EXPECT_EQ(builder.FunctionList->count(), 21);
    builder.CategoryList->setCurrentRow(5);
    ASSERT_EQ(builder.FunctionList->count(), 3);
    builder.FunctionList->setCurrentRow(0);
    EXPECT_EQ(builder.PatternLabel->text(), "IF(<Exp>, <X>, <Y>)");
    EXPECT_EQ(builder.ExplanationLabel->text(), "Dă <X> sau <Y>, după valoarea logică a expresiei <Exp>");
    click(builder.ContinueButton);
    ASSERT_EQ(builder.ArgumentEdits.size(), 3);
    const char *arguments[] = {"1>0", "'da'", "'nu'"};
    for (int i = 0; i < 3; ++i)
        builder.ArgumentEdits[i]->setText(arguments[i]);
    click(builder.ParameterOk);
    EXPECT_EQ(builder.Pages->currentWidget(), builder.MainPage);
    EXPECT_EQ(builder.Expression(), "IF(1>0,'da','nu')");

    click(builder.OperatorButtons.at(0));
    click(builder.FieldButton);
    builder.DataSetList->setCurrentRow(0);
    builder.FieldList->setCurrentRow(0);
    click(builder.FieldOk);
    click(builder.OperatorButtons.at(0));
    click(builder.VariableButton);
    builder.VariableList->setCurrentRow(0);
    EXPECT_EQ(builder.VariableValue->text(), "Valoare : 'Lista'");
    click(builder.VariableOk);
    EXPECT_EQ(builder.Expression(), "IF(1>0,'da','nu') + Cereri.TITULAR + TITLU");
    click(builder.ValidateButton);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "Nu sunt erori. Rezultatul este: daPopLista");
    EXPECT_TRUE(errors.isEmpty());
    builder.ExpressionEdit->setPlainText("1/0");
    click(builder.ValidateButton);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(errors.size(), 1) << "an error is shown as one";

    click(builder.FunctionButton);
    QTest::keyClick(builder.FunctionList, Qt::Key_Escape);
    EXPECT_EQ(builder.Pages->currentWidget(), builder.MainPage);
    click(builder.ClearButton);
    EXPECT_EQ(builder.Expression(), "");
}

TEST_F(EditorForms, VariableGridKeepsAPreparedExpressionAndUpperCasesNames)
{
    TBREvEnvironment env;
    env.AddFunction(QStringLiteral("A"), QStringLiteral("1"));
    TBREnvironmentEditor editor(&env, true);
    QStringList shown;
    editor.ShowMessage = [&](const QString &text) { shown << text; };
    editor.BuildExpression = [](const QString &heading, QString &text) {
        text = heading + QStringLiteral("+1");
        return true;
    };
    ASSERT_EQ(editor.Grid->rowCount(), 1);

    editor.Grid->item(0, 0)->setText("unu");
    EXPECT_EQ(editor.Grid->item(0, 0)->text(), "UNU");
    env.Prepare();
    editor.Grid->item(0, 1)->setText("2");
    EXPECT_EQ(editor.Grid->item(0, 1)->text(), "1");
    EXPECT_EQ(env.Data(), QStringList{"1"});
    editor.Grid->setCurrentCell(0, 1);
    click(editor.DeleteButton);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(editor.Grid->rowCount(), 1);
    env.Unprepare();

    click(editor.EditButton);
    EXPECT_EQ(env.Data(), QStringList{"UNU+1"});
    EXPECT_EQ(editor.Grid->item(0, 1)->text(), "UNU+1");

    click(editor.AddButton);
    editor.NewName->setText("unu");
    click(editor.NewOk);
    EXPECT_EQ(shown.size(), 2) << "a name already there";
    editor.NewName->setText("doi");
    editor.NewExpression->setText("2");
    click(editor.NewOk);
    EXPECT_EQ(editor.Grid->rowCount(), 2);
    EXPECT_EQ(editor.Grid->item(1, 0)->text(), "DOI");
    editor.Grid->item(1, 0)->setText("unu");
    EXPECT_EQ(editor.Grid->item(1, 0)->text(), "DOI");
    ASSERT_EQ(shown.size(), 3) << "a rename onto a name already there is told";
    EXPECT_EQ(shown.back(), "Există deja o variabilă cu numele UNU");

    editor.GlobalChoice->setChecked(true);
    EXPECT_EQ(editor.Grid->rowCount(), GlobalEnvironment().Count());
    EXPECT_EQ(editor.Grid->item(2, 0)->text(), "APPNAME");
}
