#pragma once

class TBaseRecordList;

// The page breaks between rows of a sheet: its HORIZONTALPAGEBREAKS record
// (TPageBreakRecord), each break by the first row of the new page.
class TPageBreaks
{
public:
    // A break after the row (0-based), across every column; a break already
    // there stays as it is.
    static void AddAfterRow(TBaseRecordList &records, int row);
};
