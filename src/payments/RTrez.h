#pragma once

#include "payments/TreasuryDbf.h"
#include "payments/TreasuryPackage.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QPushButton;
class OutputFolder;
class TRTFReplace;

// "Raport trezorerie": the treasury payment package of the working month in
// the sub-folder "Lemne_Trezorerie" of a folder the user picks: the treasury
// file, the annex 2 workbooks, the annex 3 documents and the totals text. The
// package is written into a temporary folder beside it and put in place only
// once every file is written.
class TRTrez : public QDialog
{
    Q_OBJECT
public:
    explicit TRTrez(QWidget *parent = nullptr);
    ~TRTrez() override;

    QDateEdit *DataVirarii; // "Data virarii"
    QCheckBox *Ajut;        // 073
    QLabel *Ajut2;
    QCheckBox *Suplim;      // 074
    QLabel *Suplim2;
    QPushButton *BitBtn4;   // "Creaza Raport"
    QPushButton *CancelBut; // "Renunt"
    TRTFReplace *RTF1;

    // Today's date: the default payment date and the treasury file's update date.
    std::function<QDate()> Today = [] { return QDate::currentDate(); };

    // Shows the dialog; once confirmed writes the package and opens its folder.
    void Execute();
    // "Creaza Raport": the office's settings, the codes, the selection, the
    // requests' check, the folder.
    void BitBtn1Click();

    // The package's files, in this order, into the given folder.
    QString WriteTreasuryDbf(const QString &folder);
    void WriteAnnex2();
    void WriteAnnex3();
    void WriteTotalsText();

    // The output folder of the last confirmed run and the treasury file in it.
    QString outputFolder() const { return m_folder; }
    QString dbfPath() const { return m_package.dbfPath; }

private:
    bool chooseFolder();
    void collectPayments();
    void publish();
    QList<TreasuryCode> tickedCodes() const;
    TreasuryDbf::Payer payer() const;

    QString m_folder;
    std::unique_ptr<OutputFolder> m_output;
    OfficeSettings m_office; // as the run started
    QList<TreasuryPayment> m_payments;
    TreasuryPackage m_package;
};

// The one treasury dialog.
TRTrez &RTrez();
