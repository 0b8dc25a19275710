#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

class TTipStatF;

// One payment of the treasury file.
struct TreasuryPayment
{
    QString code;     // "073" aid, "074" solid-fuel supplement
    QString name;     // TITULAR
    QString cnp;
    int members = 0;  // NR_MEMBRI
    double amount = 0;
    bool byBankOrder = false; // "OP" is the payment mode of the month's first request with the CNP
};

// The treasury payment file: a copy of the MODELTRZ table with one row per
// payment, the 073 rows first, each group in the order of the names.
class TreasuryDbf
{
public:
    // Who pays and when: the administration's county and fiscal codes.
    struct Payer
    {
        QString codJud;
        QString codFiscal;
        QDate paymentDate;
    };

    // The payments of the codes ("073", "074", in that order) among the working
    // month's granted and modified requests that the selection dialog keeps,
    // each code's in the order of the names, with their payment mode; one
    // scan of the month's requests serves both codes and the modes. A chosen
    // locality keeps the requests of that locality and those whose address
    // begins with its name.
    static QList<TreasuryPayment> select(const QStringList &codes, const TTipStatF &selection);

    // Refuses (DocumentError) codes or payments the file cannot hold as they
    // are, naming the request, before anything is written.
    static void check(const Payer &payer, const QList<TreasuryPayment> &payments);

    // "<county code, 2 digits><fiscal code>_dd-MM-yyyy.dbf".
    static QString fileName(const Payer &payer);

    // The file's bytes: the model with the rows appended through the table
    // engine, the record count and the update date (today) set. Without rows
    // it is the model unchanged.
    static QByteArray bytes(const QByteArray &model, const Payer &payer, const QList<TreasuryPayment> &payments,
                            const QDate &today);
};
