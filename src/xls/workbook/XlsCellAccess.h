#pragma once

#include <QVariant>

#include <vector>

// Values for some cells of one row, by column in ascending order: a filled
// template row is written this way, the row found once for all its cells.
// Xf, when not -1, stands for the format of the cell there: the value goes in
// as onto a cell of that format (the cell may be missing).
struct TColumnValue
{
    int Col = 0;
    QVariant Value;
    int Xf = -1;
};
using TRowValues = std::vector<TColumnValue>;

// What the delimited-text writer and reader need of a sheet: cell values by
// 0-based row and column. Values are empty, double, QString or bool.
class TXlsCellAccess
{
public:
    virtual ~TXlsCellAccess() = default;
    virtual QVariant CellValue(int row, int col) const = 0;
    virtual void SetCellValue(int row, int col, const QVariant &value) = 0;
    // Number of rows held (last used row + 1) and the highest used column + 1.
    virtual int RowCount() const = 0;
    virtual int ColCount() const = 0;
};
