#include "reports/editors/BRTextSettingsForm.h"

#include "reports/editors/BREditorWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A whole number of at most four digits.
QLineEdit *sizeEdit(const QString &text)
{
    auto *edit = new QLineEdit(text);
    edit->setMaxLength(4);
    edit->setValidator(new QIntValidator(0, 9999, edit));
    return edit;
}

} // namespace

TBRTextSettingsForm::TBRTextSettingsForm(const TBRTextSettings &settings, bool expression, QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(expression ? QStringLiteral("Setări expresie") : QStringLiteral("Setări text"));
    auto *group = new QGroupBox(QStringLiteral("Proprietăți"));
    auto *form = new QFormLayout(group);
    TextEdit = new QLineEdit(settings.Text);
    if (expression) {
        form->addRow(QStringLiteral("Expresie"), BREditorWidgets::withBuilder(TextEdit, [this](QString &text) {
            return BuildExpression && BuildExpression(text);
        }, &BuilderButton));
        MaskBox = new QComboBox;
        MaskBox->setEditable(true);
        MaskBox->addItems({QString(), QStringLiteral("0"), QStringLiteral("0.00"), QStringLiteral("#,##0"),
                           QStringLiteral("#,##0.00")});
        MaskBox->setCurrentText(settings.Mask);
        form->addRow(QStringLiteral("Mască de format"), MaskBox);
    } else {
        form->addRow(QStringLiteral("Text"), TextEdit);
    }
    WidthEdit = sizeEdit(settings.Width);
    HeightEdit = sizeEdit(settings.Height);
    form->addRow(QStringLiteral("Lățime"), WidthEdit);
    form->addRow(QStringLiteral("Înălțime"), HeightEdit);
    AutoSizeBox = new QCheckBox(QStringLiteral("Dimensiune automată"));
    StretchBox = new QCheckBox(QStringLiteral("Extindere"));
    TransparentBox = new QCheckBox(QStringLiteral("Transparent"));
    AutoSizeBox->setChecked(settings.AutoSize);
    StretchBox->setChecked(settings.AutoStretch);
    TransparentBox->setChecked(settings.Transparent);
    for (QCheckBox *box : {AutoSizeBox, StretchBox, TransparentBox})
        form->addRow(box);
    OkButton = new QPushButton(QStringLiteral("OK"));
    CancelButton = new QPushButton(QStringLiteral("Renunță"));
    OkButton->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(BREditorWidgets::buttonRow({OkButton, CancelButton}));
    TextEdit->setCursorPosition(0);
    setMinimumWidth(400);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

TBRTextSettings TBRTextSettingsForm::Settings() const
{
    TBRTextSettings out = m_settings;
    out.Text = TextEdit->text();
    if (MaskBox)
        out.Mask = MaskBox->currentText();
    out.Width = WidthEdit->text();
    out.Height = HeightEdit->text();
    out.AutoSize = AutoSizeBox->isChecked();
    out.AutoStretch = StretchBox->isChecked();
    out.Transparent = TransparentBox->isChecked();
    return out;
}
