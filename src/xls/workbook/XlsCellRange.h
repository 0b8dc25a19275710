#pragma once

// A block of cells, 0-based and inclusive on all four sides.
struct TXlsCellRange
{
    int Left = 0;    // first column
    int Top = 0;     // first row
    int Right = 0;   // last column
    int Bottom = 0;  // last row

    bool operator==(const TXlsCellRange &) const = default;
};
