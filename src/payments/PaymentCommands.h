#pragma once

#include "payments/CollectiveDisposition.h"
#include "payments/ListareF.h"

#include <QObject>

class TCereriF;
class TForm3;

// Puts the payment documents on the request list: the collective disposition
// first in "Dispozitii", the payment list in "Listari". Owned by the form;
// every command runs in the form's guard.
class PaymentCommands : public QObject
{
    Q_OBJECT
public:
    explicit PaymentCommands(TCereriF &form);
    static PaymentCommands *install(TCereriF &form);
    // "Raport Trezorerie" in the main window's "Liste / Formulare", after the report pre-check.
    static void installTreasury(TForm3 &window);

    // "Lis&teaza Stat de plata": the selection with its month panel, then the list.
    void BitBtn7Click();

    TListareF ListareF;
    CollectiveDisposition disposition;
};
