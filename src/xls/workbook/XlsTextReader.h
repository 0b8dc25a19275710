#pragma once

#include <QByteArray>
#include <QChar>

class TXlsCellAccess;

// Reads delimited text (CP1250) into cells starting at a given 0-based cell.
// Numbers written with "." become numbers; everything else stays text; empty
// fields leave their cell alone.
class TXlsTextReader
{
public:
    static void Read(const QByteArray &bytes, TXlsCellAccess &cells, int row, int col,
                     QChar delimiter);
};
