#pragma once

class TBaseRecordList;

// The objects over the cells of a worksheet as rows and columns come and go:
// a comment goes with its cell, a hyperlink or a picture that sizes with the
// cells goes with the cells under it, and every anchor that moves with the
// cells follows them.
class TSheetObjects
{
public:
    // Before rows (or columns) are deleted, count from pos: takes out the
    // comments on them, the hyperlinks lying wholly on them and the pictures
    // lying wholly on them that size with the cells; the workbook's drawing
    // group, in the globals, counts the pictures that went.
    static void RemoveDeleted(TBaseRecordList &records, TBaseRecordList &globals, int rowPos, int rowCount,
                              int colPos, int colCount);
    // After rows or columns were inserted (positive counts) or deleted
    // (negative ones): the anchors follow.
    static void FollowCells(TBaseRecordList &records, int rowPos, int rowCount, int colPos, int colCount);
};
