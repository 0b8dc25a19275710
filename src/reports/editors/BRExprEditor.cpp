#include "reports/editors/BRExprEditor.h"

#include "reports/editors/BRExpressionBuilder.h"
#include "reports/editors/BRTextSettingsForm.h"
#include "reports/model/BRPrintable.h"

QString TBRExprEditor::Text() const
{
    return Printable().Expression;
}

void TBRExprEditor::SetText(const QString &text)
{
    Printable().Expression = text;
}

void TBRExprEditor::PrepareForm(TBRTextSettingsForm &form)
{
    form.BuildExpression = [this, &form](QString &text) {
        return TBRExpressionBuilder::Execute(QString(), text, Context().DataSets, Context().Environment, &form);
    };
}
