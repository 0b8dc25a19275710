#pragma once

#include "xls/records/CellRecords.h"

class ByteCursor;

// Reads the records of plain cells straight into cell records: NUMBER, RK,
// LABELSST, BLANK, BOOLERR, and MULRK and MULBLANK split into their cells.
// A sheet is mostly such records, and read this way none of them becomes a
// record object of its own first, nor passes through the factory.
//
// Whatever the general reader would treat otherwise is left to it, the
// stream untouched: other ids, an id with a class registered for it, data
// the cell's class would refuse (short, a run that does not add up, a column
// past the sheet's), and a record followed by one that belongs to it
// (CONTINUE, TABLE, ARRAY, screen tip, STRING). So the general reader still
// makes every error, and makes it as before.
class TPlainCellReader
{
public:
    // Asks the factory once which ids have a class registered: register
    // before making the reader.
    TPlainCellReader();

    // Reads the record at the stream's position into cells (appended, in
    // column order) and returns true, the stream's mark at the record;
    // returns false, with the stream and cells as they were, when the
    // record is not plain cells.
    bool Read(ByteCursor &stream, TCellRecordVector &cells) const;

    static constexpr int IdCount = 7;

private:
    // Whether a class is registered for the id of each entry of the table
    // the reader works from (PlainCellReader.cpp).
    bool FRegistered[IdCount] = {};
};
