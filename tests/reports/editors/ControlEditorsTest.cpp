#include "TestApplication.h"
#include "reports/editors/BRExprEditor.h"
#include "reports/editors/BRTextSettingsForm.h"
#include "reports/model/BRPrintable.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

TBRPrintableContext inUnits(TBRUnit unit)
{
    TBRPrintableContext context;
    context.Units.Units = unit;
    return context;
}

} // namespace

TEST(ControlEditors, WidthAndHeightGoBackInTheReportsUnit)
{
    ensureApplication<QApplication>();
    struct Case
    {
        const char *name;
        TBRUnit unit;
        double width, height;           // native, before
        const char *shownWidth, *shownHeight;
        const char *enteredWidth, *enteredHeight;
        double newWidth, newHeight;     // native, after
    } cases[] = {
        {"millimetres", TBRUnit::MM, 500, 45, "50", "5", "60", "5", 600, 45},
        // 1.97 inches shows as 2; left as shown, the width keeps its exact size
        {"inches, unchanged", TBRUnit::Inches, 500, 254, "2", "1", "2", "1", 500, 254},
        {"inches, changed", TBRUnit::Inches, 500, 254, "2", "1", "3", "2", 762, 508},
        {"emptied keeps the size", TBRUnit::Native, 500, 45, "500", "45", "", "45", 500, 45},
    };
    for (const Case &c : cases) {
        TBRPrintable label = TBRPrintable::label(QStringLiteral("Titlu"), 0, 0, c.width, c.height);
        TBRLabelEditor editor(label, inUnits(c.unit));
        editor.RunForm = [&](TBRTextSettingsForm &form) {
            EXPECT_EQ(form.WidthEdit->text(), c.shownWidth) << c.name;
            EXPECT_EQ(form.HeightEdit->text(), c.shownHeight) << c.name;
            form.WidthEdit->setText(c.enteredWidth);
            form.HeightEdit->setText(c.enteredHeight);
            return true;
        };
        EXPECT_TRUE(editor.Edit(nullptr)) << c.name;
        EXPECT_DOUBLE_EQ(label.Width, c.newWidth) << c.name;
        EXPECT_DOUBLE_EQ(label.Height, c.newHeight) << c.name;
    }
}

TEST(ControlEditors, ExpressionFormWritesTextMaskAndSwitchesOnlyOnOk)
{
    ensureApplication<QApplication>();
    TBRPrintable control = TBRPrintable::expr(QStringLiteral("SUMA"), 0, 0, 300, 50, QStringLiteral("0.00"));
    TBRExprEditor editor(control, inUnits(TBRUnit::MM));
    EXPECT_EQ(editor.TypeName(), "BREXPR");
    EXPECT_EQ(editor.Text(), "SUMA");
    bool confirm = false;
    editor.RunForm = [&](TBRTextSettingsForm &form) {
        EXPECT_EQ(form.windowTitle(), "Setări expresie");
        EXPECT_EQ(form.MaskBox->currentText(), "0.00");
        form.TextEdit->setText("SUMA*2");
        form.MaskBox->setCurrentText("#,##0.00");
        form.AutoSizeBox->setChecked(false);
        form.StretchBox->setChecked(true);
        form.TransparentBox->setChecked(true);
        return confirm;
    };
    EXPECT_FALSE(editor.Edit(nullptr));
    EXPECT_EQ(control.Expression, "SUMA") << "cancelled";
    EXPECT_FALSE(control.Transparent);

    confirm = true;
    EXPECT_TRUE(editor.Edit(nullptr));
    EXPECT_EQ(control.Expression, "SUMA*2");
    EXPECT_EQ(control.Mask, "#,##0.00");
    EXPECT_EQ(control.Caption, "");
    EXPECT_FALSE(control.AutoSize);
    EXPECT_TRUE(control.AutoStretch);
    EXPECT_TRUE(control.Transparent);
}
