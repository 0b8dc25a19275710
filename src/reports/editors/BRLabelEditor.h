#pragma once

#include "reports/editors/BRPrintableEditor.h"

#include <functional>

class TBRTextSettingsForm;

// The editor of a label: its caption, colour, font and alignment, and the
// "Setări text" form.
class TBRLabelEditor : public TBRPrintableEditor
{
public:
    TBRLabelEditor(TBRPrintable &label, const TBRPrintableContext &context);

    QColor Color() const override;
    QFont Font() const override;
    QString ComponentClass() const override { return QStringLiteral("TBRLabel"); }
    QString Text() const override;
    QString TypeName() const override { return QStringLiteral("BRLABEL"); }
    QString Description() const override { return QStringLiteral("Control de text"); }
    Qt::Alignment Alignment() const override;
    void SetAlignment(Qt::Alignment alignment) override;
    void SetColor(const QColor &color) override;
    void SetFont(const QFont &font) override;
    void SetText(const QString &text) override;
    bool Edit(QWidget *parent) override;

    // Shows the form; true when it was confirmed. A test puts its own here.
    std::function<bool(TBRTextSettingsForm &)> RunForm;

protected:
    virtual bool ExpressionForm() const { return false; }
    virtual void PrepareForm(TBRTextSettingsForm &) {}
};
