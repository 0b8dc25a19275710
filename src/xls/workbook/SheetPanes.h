#pragma once

class TBaseRecordList;

// Frozen panes and splits of a sheet's view: the WINDOW2 flags and the PANE record
//   0  u16  columns left of the split (frozen), or its place in twips
//   2  u16  rows above the split (frozen), or its place in twips
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
    // The view split without freezing: x and y the split's place in twips,
    // firstRow and firstCol (0-based) the first cell of the lower right
    // pane. 0 and 0 remove the split.
    static void Split(TBaseRecordList &records, int x, int y, int firstRow, int firstCol);
    // The first cell of the lower right pane (0-based) of a split that is
    // not frozen; 0, 0 without one.
    static void SplitAt(const TBaseRecordList &records, int &firstRow, int &firstCol);

private:
    // Sets the frozen flags and puts the PANE in place of the old one (and of
    // the view's selections); none when the pane's x and y are both 0.
    static void PutPane(TBaseRecordList &records, bool frozen, int x, int y, int firstRow, int firstCol);
};
