#pragma once

class TBaseRecordList;

// Frozen panes of a sheet's view: the WINDOW2 flags and the PANE record
//   0  u16  columns left of the split    2  u16  rows above the split
//   4  u16  first row of the lower pane  6  u16  first column of the right pane
//   8  u16  active pane (0 lower right, 1 upper right, 2 lower left, 3 upper left)
class TSheetPanes
{
public:
    // Rows and columns kept in view (0, 0 when nothing is frozen).
    static void Frozen(const TBaseRecordList &records, int &rows, int &cols);
    // Freezes rows and columns; 0 and 0 unfreeze. A sheet without WINDOW2
    // has no view to freeze.
    static void Freeze(TBaseRecordList &records, int rows, int cols);
};
