#pragma once

#include "xls/records/CellRecords.h"

class ByteCursor;
class TRowRecord;

// Reads the records of a sheet's cell block straight into their objects:
// ROW, and the plain cells NUMBER, RK, LABELSST, BLANK, BOOLERR, with MULRK
// and MULBLANK split into their cells. A sheet is mostly such records, and
// read this way none of them becomes a record object of its own first, nor
// passes through the factory.
//
// Whatever the general reader would treat otherwise is left to it, the
// stream untouched: other ids, an id with a class registered for it, data
// the class would refuse (short, a run that does not add up or runs past
// the sheet's last column), a record followed by one that belongs to it
// (CONTINUE, TABLE, ARRAY, screen tip, STRING), and the last record of the
// stream. So the general reader still makes every error, and makes it as
// before.
class TPlainCellReader
{
public:
    // Asks the factory once which ids have a class registered: register
    // before making the reader.
    TPlainCellReader();

    // Reads the record at the stream's position and returns true, the
    // stream's mark at the record: a ROW record into row, cells into cells
    // (appended, in column order). Returns false, with the stream and both
    // as they were, for any other record.
    bool Read(ByteCursor &stream, TCellRecordVector &cells, std::unique_ptr<TRowRecord> &row) const;

    static constexpr int IdCount = 8;

private:
    // Whether a class is registered for the id of each entry of the table
    // the reader works from (PlainCellReader.cpp).
    bool FRegistered[IdCount] = {};
};
