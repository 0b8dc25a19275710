#pragma once

#include "xls/records/BaseRecordList.h"

class TRowRecord;
class TGutsRecord;

// The ROW records of a sheet: the item at index r is the record of row r, or
// empty when the row has none.
class TRowRecordList : public TBaseRowColRecordList
{
public:
    // Places a row record read from the file at the index of its Row,
    // appending empty items up to it. "Duplicated ROW record" when taken.
    int AddRecord(std::unique_ptr<TRowRecord> row);
    // "Missing ROW Record for row %d" for an empty or missing index.
    TRowRecord *RowRecord(int index) const;
    bool HasRow(int index) const;
    // A default row record at an index that has none.
    void AddRow(int index);

    int RowHeight(int index) const;
    void SetRowHeight(int index, int height);
    void SetAutoRowHeight(int index, bool autoHeight);
    bool IsAutoRowHeight(int index) const;

    // Sum of the row records from top to bottom; every row there must exist.
    qint64 TotalRangeSize(int left, int top, int right, int bottom) const override;
    // Rows of top..bottom, each narrowed to the columns left..right.
    void SaveRangeToStream(QIODevice &stream, int left, int top, int right, int bottom) const override;

    // Deletes rows first..first+count-1 and moves the rows below up.
    void DeleteRows(int first, int count, const TSheetInfo &sheetInfo);
    // Inserts count copies of rows firstRow..lastRow at destRow.
    void InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count, const TSheetInfo &sheetInfo);
    // Gives the GUTS record the highest outline level of the rows.
    void RecalcOutlineLevel(TGutsRecord &guts) const;

private:
    void PlaceAt(int index, std::unique_ptr<TBaseRowColRecord> item);
};
