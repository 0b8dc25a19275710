#pragma once

#include "xls/records/BaseRecord.h"

// TABLE (0x0236): a what-if table, kept with the formula before it.
//   0  u16  first row
//   2  u16  last row
//   4  u8   first column
//   5  u8   last column
//   6  u16  options; 0x0008 two input cells
//   8  u16  first input cell row      10  u16  its column
//  12  u16  second input cell row     14  u16  its column
// An input cell whose row and column are both 0xFFFF has been deleted.
class TTableRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0236;
    TTableRecord(quint16 id, QByteArray data);
    bool AllowsStringAfter() const override { return true; }
    std::unique_ptr<TBaseRecord> Clone() const override;

    // Rows/columns inserted at rowPos/colPos (positionTest) or the table
    // copied by the counts (no position test). Range ends beyond the sheet
    // raise "Too many entries..." and leave the record unchanged; an input
    // cell pushed off the sheet is marked deleted instead.
    void Shift(int rowPos, int rowCount, int colPos, int colCount, bool positionTest);
};
