#pragma once

#include "core/OfficeSettings.h"
#include "payments/TreasuryDbf.h"

#include <QDate>
#include <QList>
#include <QString>

// An aid code of the package with the captions that name it in the annexes.
struct TreasuryCode
{
    QString code;    // "073" or "074"
    QString caption; // "073 - Ajutorul ..." (the check box)
    QString basis;   // "- Legea nr.226/2021, ..." (the label beside it)
};

// What the companion files of the treasury file are made from: the folder
// they go to, the treasury file itself, the payment date, the ticked codes
// and the office that pays.
struct TreasuryPackage
{
    QString folder;
    QString dbfPath;
    QDate paymentDate;
    QList<TreasuryCode> codes;
    QList<TreasuryPayment> payments; // the treasury file's rows, in its order
    OfficeSettings office;
};
