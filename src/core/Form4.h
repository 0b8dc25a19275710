#pragma once

#include "core/OfficeSettings.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class TNumericF;

// The administration form: the office's settings in memory. Other forms and
// the documents read its controls.
class TForm4 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    static constexpr int Brackets = 11;
    static constexpr int CountyCodeLength = 2;

    QLineEdit *Localit;      // UAT name
    QComboBox *ComboBox1;    // locality type: COMUNA, ORASUL, MUNICIPIUL
    QLineEdit *CodFiscal;
    QLineEdit *CodJud;       // county code
    QComboBox *JudetC;       // county, drop-down list in official order
    QComboBox *JudAbr;       // hidden: county abbreviations in the same order
    QLineEdit *Edit7;        // mayor
    QLineEdit *SecretarN;
    QLineEdit *IntocmitN;
    QLineEdit *ContabilN;
    QLineEdit *DirectorN;
    QCheckBox *CuOLE;        // "Utilizeaza Office 2010"
    TNumericF *IndL;         // default supplement amounts: solid fuel, gas, thermal, electricity
    TNumericF *IndG;
    TNumericF *IndT;
    TNumericF *IndE;
    TNumericF *IndE2;
    QLineEdit *Salvare;      // automatic-backup folder (machine-level)
    QLineEdit *Server;       // shared data folder (machine-level)

    // Bracket i (1..11): upper income per member (the 11th is the ceiling) and monthly aid.
    TNumericF *Lim(int i) const;
    TNumericF *Cu(int i) const;

    // The controls' values, for a command to hand down.
    OfficeSettings office() const;

    // Fills the controls from Tolvard.set and the machine-level store.
    void Load();
    // Writes the controls back.
    void Save();

    // The letter of the first bracket whose amount equals the given whole
    // amount ("a" for bracket 1 ...), "j" when none does.
    QString LiteraCuantum(int amount) const;
    // Before lists and reports: a working month and the UAT name, county and
    // fiscal code must be set; else the first missing item is shown.
    bool VerificaSetari() const;
    // Shows the county's own report entry only for its county.
    void JudetCChange();

private:
    void chooseBackupFolder();
    std::array<TNumericF *, Brackets> m_lim{};
    std::array<TNumericF *, Brackets> m_cu{};
};

// The one administration form.
TForm4 &Form4();
