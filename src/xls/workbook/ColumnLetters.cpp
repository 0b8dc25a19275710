#include "xls/workbook/ColumnLetters.h"

QString ColumnLetters(int column)
{
    QString letters;
    // Bijective base 26: there is no zero digit, so each step takes one off first.
    for (qint64 n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + static_cast<char16_t>((n - 1) % 26)));
    return letters;
}
