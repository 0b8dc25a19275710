#pragma once

#include "payments/CollectiveDisposition.h"
#include "payments/ListareF.h"

#include <QObject>

class TCereriF;

// Puts the payment documents on the request list: the collective disposition
// first in "Dispozitii", the payment list in "Listari". Owned by the form;
// every command runs in the form's guard.
class PaymentCommands : public QObject
{
    Q_OBJECT
public:
    explicit PaymentCommands(TCereriF &form);
    static PaymentCommands *install(TCereriF &form);

    // "Lis&teaza Stat de plata": the selection with its month panel, then the list.
    void BitBtn7Click();

    TListareF ListareF;
    CollectiveDisposition disposition;
};
