#include "reports/editors/BRLabelEditor.h"

#include "reports/editors/BRTextSettingsForm.h"
#include "reports/model/BRPrintable.h"

TBRLabelEditor::TBRLabelEditor(TBRPrintable &label, const TBRPrintableContext &context)
    : TBRPrintableEditor(label, context),
      RunForm([](TBRTextSettingsForm &form) { return form.exec() == QDialog::Accepted; })
{
}

QColor TBRLabelEditor::Color() const
{
    return Printable().Color;
}

QFont TBRLabelEditor::Font() const
{
    return Printable().Font;
}

QString TBRLabelEditor::Text() const
{
    return Printable().Caption;
}

Qt::Alignment TBRLabelEditor::Alignment() const
{
    return Printable().Alignment;
}

void TBRLabelEditor::SetAlignment(Qt::Alignment alignment)
{
    Printable().Alignment = alignment;
}

void TBRLabelEditor::SetColor(const QColor &color)
{
    Printable().Color = color;
}

void TBRLabelEditor::SetFont(const QFont &font)
{
    Printable().Font = font;
}

void TBRLabelEditor::SetText(const QString &text)
{
    Printable().Caption = text;
}

bool TBRLabelEditor::Edit(QWidget *parent)
{
    TBRTextSettingsForm form(TBRTextSettings(Printable(), Context().Units), ExpressionForm(), parent);
    PrepareForm(form);
    if (!RunForm(form))
        return false;
    form.Settings().WriteTo(Printable());
    return true;
}
