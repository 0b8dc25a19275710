#pragma once

// A block of cells, 0-based and inclusive on all four sides.
struct TXlsCellRange
{
    int Left = 0;    // first column
    int Top = 0;     // first row
    int Right = 0;   // last column
    int Bottom = 0;  // last row

    static constexpr TXlsCellRange WholeSheet() { return {0, 0, 255, 65535}; }
    bool operator==(const TXlsCellRange &) const = default;
};
