#pragma once

#include <QString>
#include <QStringView>

// Names and field texts of the county's annex files: the base name of an
// annex workbook and its text file, and a value as it may stand in a
// comma-separated line.
class AnnexNames
{
public:
    // "ANEXA_" + annex + "_" + UAT key + "_" + month in capitals + "_" + year,
    // then "_" + the cleaned suffix key when a suffix is given. No extension.
    static QString AnnexFileName(const QString &annex, const QString &suffix, const QString &uatName,
                                 const QString &monthName, const QString &year);
    // The text with its letters' diacritics dropped, in capitals, with every
    // character other than a digit, A to Z and "_" removed: "Sat Nou-Mare"
    // gives "SATNOUMARE", "Ştefan cel Mare" "STEFANCELMARE".
    static QString Key(QStringView text);
    // The value with its letters' diacritics dropped, in capitals, every
    // character other than ".", a digit and A to Z made a blank, then
    // cleaned: never a comma, quote or semicolon.
    static QString CsvText(QStringView value);

    // The income per member as a whole number: its integer part after adding
    // 0.99, taken on the exact cents (1386.01 gives 1387, 1386.00 gives 1386).
    static qint64 WholeIncome(double venitm);
    // The amount's share of the first bracket's 320 lei, "0.00": 288 gives "90.00".
    static QString LevelText(double cuantum);
};
