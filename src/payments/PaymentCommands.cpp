#include "payments/PaymentCommands.h"

#include "core/Form3.h"
#include "core/Form4.h"
#include "payments/RTrez.h"
#include "payments/TipStatF.h"
#include "requests/CereriF.h"

#include <QAction>
#include <QMenu>

namespace {

// The collective disposition heads the dispositions menu.
void moveToFront(QAction *action)
{
    for (QObject *owner : action->associatedObjects()) {
        auto *menu = qobject_cast<QMenu *>(owner);
        if (!menu || menu->actions().value(0) == action)
            continue;
        QAction *first = menu->actions().value(0);
        menu->removeAction(action);
        menu->insertAction(first, action);
    }
}

} // namespace

PaymentCommands::PaymentCommands(TCereriF &form)
    : QObject(&form), disposition(DocumentContext{form.C1, form.Sx, nullptr, &form})
{
}

PaymentCommands *PaymentCommands::install(TCereriF &form)
{
    auto *commands = new PaymentCommands(form);
    moveToFront(form.addCommand(TCereriF::Menu::Dispozitii, QStringLiteral("Dispozitie Unica de Stabilire"),
                                [commands] { commands->disposition.ListeazaDispCum(); }));
    form.addCommand(TCereriF::Menu::Listari, QStringLiteral("Lis&teaza Stat de plata"),
                    [commands] { commands->BitBtn7Click(); });
    return commands;
}

void PaymentCommands::installTreasury(TForm3 &window)
{
    window.addCommand(TForm3::Menu::Liste, QStringLiteral("Raport Trezorerie"),
                      [&window] { window.runReport([] { RTrez().Execute(); }); });
}

void PaymentCommands::BitBtn7Click()
{
    if (TipStatF().Execute(true))
        ListareF.ListeazaStat(TipStatF(), Form4().office());
}
