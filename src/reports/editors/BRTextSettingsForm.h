#pragma once

#include "reports/editors/BRTextSettings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// The "Setări text" form of a label, or the "Setări expresie" form of an
// expression control, with a builder for the expression and a format mask.
class TBRTextSettingsForm : public QDialog
{
    Q_OBJECT
public:
    TBRTextSettingsForm(const TBRTextSettings &settings, bool expression, QWidget *parent = nullptr);
    // The settings with what the form holds now.
    TBRTextSettings Settings() const;

    // Builds the expression (text in and out); true on OK. Set by the expression editor.
    std::function<bool(QString &)> BuildExpression;

    QLineEdit *TextEdit, *WidthEdit, *HeightEdit;
    QToolButton *BuilderButton = nullptr;
    QComboBox *MaskBox = nullptr;
    QCheckBox *AutoSizeBox, *StretchBox, *TransparentBox;
    QPushButton *OkButton, *CancelButton;

private:
    TBRTextSettings m_settings;
};
