#pragma once

#include "platform/shell/ChooserDialog.h"

#include "xls/workbook/XLSAdapter.h"
#include "xls/workbook/XlsImport.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// "Adunare Anexe": the clerk lists annex workbooks of one number, the first
// being the base, and adds them into one workbook that opens when ready.
class TPlusAnexe : public QDialog
{
    Q_OBJECT
public:
    explicit TPlusAnexe(QWidget *parent = nullptr);

    // The open dialog's filter: "Anexa Excel (*.xls)", taking .xls in any letter case.
    static inline const QString OpenFilter = ChooserDialog::filter(QStringLiteral("Anexa Excel"), {QStringLiteral("xls")});

    QLabel *AnexaL;
    QLabel *Label2;
    QWidget *Panel1;
    QLabel *Label1;
    QPlainTextEdit *Memo1;  // one path a line; the first is the base
    QPushButton *AddAnxB;
    QPushButton *EmptyB;
    QPushButton *AdunaB;
    TXLSAdapter XLSS;       // never overwrites a file
    TXlsImport XCellS;      // reads the workbooks added

    // Clears the list and shows the form for that annex number.
    void Execute(int annex);
    void ClearList();
    void AddAnxBClick();
    void AdunaBClick();

    // The files listed, in order.
    const QStringList &Files() const { return m_files; }

private:
    void refuse(const QString &text);

    int m_annex = 0;
    QStringList m_files;
};

TPlusAnexe &PlusAnexe();
