#pragma once

#include "xls/workbook/XlsCellRange.h"

#include <QList>

class TBaseRecordList;

// The merged ranges of a sheet, held in its MERGEDCELLS records:
//   0  u16  count
//   2  ...  per range: first row u16, last row u16, first column u16, last column u16
// Ranges are 0-based here.
class TMergedCells
{
public:
    // Every range of every MERGEDCELLS record, in file order. A record whose
    // count does not fit its data is a bad file.
    static QList<TXlsCellRange> Read(const TBaseRecordList &records);
    // Replaces the sheet's MERGEDCELLS records by records holding ranges.
    static void Write(TBaseRecordList &records, const QList<TXlsCellRange> &ranges);

    // The range that holds the cell, or the cell alone.
    static TXlsCellRange BoundsOf(const QList<TXlsCellRange> &ranges, int row, int col);
    // Adds range; ranges it overlaps are taken apart first, since the
    // spreadsheet application refuses overlapping merges.
    static void Merge(QList<TXlsCellRange> &ranges, const TXlsCellRange &range);
    // Takes apart every range that lies inside area.
    static void UnMerge(QList<TXlsCellRange> &ranges, const TXlsCellRange &area);

    static bool Overlap(const TXlsCellRange &a, const TXlsCellRange &b);

    // Rows inserted at dest and filled with count copies of the rows
    // first..last (numbered as before the insert): ranges from dest on move
    // down, a range across dest grows, and each copy gets its own copy of the
    // ranges lying wholly in the copied rows. Raises, changing nothing, when a
    // range would be pushed off the sheet.
    static void InsertRows(QList<TXlsCellRange> &ranges, int first, int last, int dest, int count);
    static void InsertCols(QList<TXlsCellRange> &ranges, int first, int last, int dest, int count);
    // Rows at..at+count-1 deleted: ranges below move up, ranges across them
    // shrink, and a range left with one cell or none goes.
    static void DeleteRows(QList<TXlsCellRange> &ranges, int at, int count);
    static void DeleteCols(QList<TXlsCellRange> &ranges, int at, int count);
};
