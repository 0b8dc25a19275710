#pragma once

#include "xls/workbook/XlsCellRange.h"

#include <QByteArray>
#include <QChar>

class QIODevice;
class TXlsCellAccess;

// Writes cells as delimited text (CP1250, CR LF line ends, fields quoted when
// they hold the delimiter, a quote or a line break).
class TXlsTextWriter
{
public:
    // The used part of the sheet.
    static void Write(QIODevice &out, const TXlsCellAccess &cells, QChar delimiter);
    static void Write(QIODevice &out, const TXlsCellAccess &cells, const TXlsCellRange &range,
                      QChar delimiter);
    static QByteArray ToBytes(const TXlsCellAccess &cells, const TXlsCellRange &range,
                              QChar delimiter);
};
