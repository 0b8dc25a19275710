#pragma once

class TBaseRecordList;
class TColInfoRecord;

// The COLINFO records of a sheet: width, format and options of column
// ranges, kept sorted by first column and never overlapping.
class TColumnInfo
{
public:
    // The record that covers the column (0-based), or null.
    static const TColInfoRecord *Find(const TBaseRecordList &records, int col);
    // A record that covers the column alone, splitting the one that covered
    // it or adding one with the sheet's default width.
    static TColInfoRecord &Single(TBaseRecordList &records, int col);
    // The width of a column without a record, in 1/256 of a character.
    static int DefaultWidth(const TBaseRecordList &records);
};
