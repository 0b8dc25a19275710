#pragma once

#include "xls/workbook/XlsDateParser.h"

#include <QString>
#include <QVariant>

// What a text typed into a cell stands for: a number, a Boolean, a date
// (with the number format that shows it as typed) or the text itself.
class TXlsTextValue
{
public:
    QVariant Value;      // double, bool or QString
    QString DateFormat;  // set for dates only

    // The program writes numbers with "." before the decimals and "," between
    // thousands; other pairs are for callers that read another convention.
    static TXlsTextValue FromText(const QString &text, TXlsDateOrder order,
                                  QChar decimal = u'.', QChar thousand = u',');

    // The text without its thousand separators when they stand where
    // thousands are grouped; otherwise the text unchanged.
    static QString RemoveThousandSeparators(const QString &text, QChar decimal, QChar thousand);

    // The number the text holds, with the given decimal separator.
    static bool TryToNumber(const QString &text, QChar decimal, double &value);
};
