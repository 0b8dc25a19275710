#include "core/CommandGuard.h"

#include "core/Contor.h"
#include "core/Erori.h"
#include "platform/io/KestrunError.h"
#include "platform/sql/TDataSet.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {

void recover(QWidget *form, const std::function<void()> &reset, const QString &message)
{
    Contor().Stop();
    if (form)
        form->setEnabled(true);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (reset) {
        try {
            reset();
        } catch (...) {
            // Resetting must not hide the error that brought us here.
        }
    }
    TErori::Mesaj(QStringLiteral("Eroare"), message, 1, TErori::OK);
}

} // namespace

void CommandGuard::release(TDataSet &dataSet)
{
    dataSet.Close();
    dataSet.SetFiltered(false);
    dataSet.SetFilter(QString());
}

bool CommandGuard::run(QWidget *form, const std::function<void()> &command, const std::function<void()> &reset)
{
    QPointer<QWidget> guarded(form);
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        recover(guarded, reset, KestrunError::textOf(e));
    } catch (...) {
        recover(guarded, reset, QStringLiteral("Eroare necunoscuta."));
    }
    return false;
}
