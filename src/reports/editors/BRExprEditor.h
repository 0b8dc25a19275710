#pragma once

#include "reports/editors/BRLabelEditor.h"

// The editor of an expression control: its expression, and the "Setări
// expresie" form with the expression builder and the format mask.
class TBRExprEditor : public TBRLabelEditor
{
public:
    using TBRLabelEditor::TBRLabelEditor;

    QString ComponentClass() const override { return QStringLiteral("TBRExpr"); }
    QString Text() const override;
    QString TypeName() const override { return QStringLiteral("BREXPR"); }
    QString Description() const override { return QStringLiteral("Control de expresie"); }
    void SetText(const QString &text) override;

protected:
    bool ExpressionForm() const override { return true; }
    void PrepareForm(TBRTextSettingsForm &form) override;
};
