#include "core/Dialogs.h"

#include "controls/HintBalloon.h"
#include "core/Erori.h"
#include "platform/shell/ChooserDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>

namespace {

class QtDialogs : public DialogsInterface
{
public:
    int showMessage(const MessageSpec &spec) override
    {
        if (spec.beep)
            QApplication::beep();
        TErori dialog(spec, QApplication::activeWindow());
        const int result = dialog.exec();
        // Closing the window counts as Renunt.
        return result == QDialog::Rejected ? int(TErori::ResultRenunt) : result;
    }

    void showBalloon(QWidget *control, const QString &title, const QString &text, int timeoutMs) override
    {
        if (!m_balloon)
            m_balloon = new THintBalloon;
        m_balloon->showBeside(control, title, text, timeoutMs);
    }

    QString chooseFile(const QString &caption, const QString &filter, bool forSaving,
                       const QString &suggestedName) override
    {
        const auto dialog =
            ChooserDialog::file(QApplication::activeWindow(), caption, filter, forSaving, suggestedName);
        return ChooserDialog::run(*dialog, ChooserDialog::kind(filter));
    }

private:
    QPointer<THintBalloon> m_balloon;
};

DialogsInterface *g_override = nullptr;

} // namespace

DialogsInterface &Dialogs::instance()
{
    static QtDialogs real;
    return g_override ? *g_override : real;
}

void Dialogs::setInstance(DialogsInterface *dialogs)
{
    g_override = dialogs;
}
