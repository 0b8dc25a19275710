#pragma once

// Where a drawing object stands, as the shape's client anchor holds it:
//   0  u16  flags: 0 moves and sizes with the cells, 2 moves only, 3 neither
//   2  u16  first column    4  u16  offset in it (1/1024 of its width)
//   6  u16  first row       8  u16  offset in it (1/256 of its height)
//  10  u16  last column    12  u16  offset    14  u16  last row    16  u16  offset
struct TDrawingAnchor
{
    int Flags = 2;
    int Col1 = 0, Dx1 = 0, Row1 = 0, Dy1 = 0, Col2 = 0, Dx2 = 0, Row2 = 0, Dy2 = 0;
    bool operator==(const TDrawingAnchor &) const = default;

    // The flags that are not 3 move the object; only 0 also sizes it.
    bool Moves() const { return (Flags & 3) != 3; }
    bool Sizes() const { return (Flags & 3) == 0; }

    // Follows count rows (or columns) inserted at pos, or -count deleted
    // from pos. An object that sizes with the cells stretches over rows
    // inserted inside it and shrinks by rows deleted under it; one that only
    // moves keeps its size and goes where its first corner goes.
    void FollowRows(int pos, int count);
    void FollowCols(int pos, int count);
    // The box lies wholly on the count rows (or columns) from pos.
    bool OnRows(int pos, int count) const;
    bool OnCols(int pos, int count) const;
};
