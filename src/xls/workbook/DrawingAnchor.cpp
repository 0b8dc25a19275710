#include "xls/workbook/DrawingAnchor.h"

#include <algorithm>

namespace {

constexpr int LastRow = 65535, LastCol = 255;

// One side of the box: its first and last cell, each with its offset.
struct TSpan
{
    int &First, &FirstOffset, &Last, &LastOffset;
};

void Follow(TSpan s, bool sizes, int pos, int count, int lastCell)
{
    if (count > 0) {
        const bool firstMoves = s.First >= pos;
        // A box ending at the top of row pos ends above the rows put there.
        const bool lastMoves = firstMoves || s.Last > pos || (s.Last == pos && s.LastOffset > 0);
        if (firstMoves)
            s.First = std::min(s.First + count, lastCell);
        if (lastMoves && (sizes || firstMoves))
            s.Last = std::min(s.Last + count, lastCell);
        return;
    }
    const int deleted = -count;
    // A corner on a deleted row goes to the top of the row that comes up in its place.
    const auto map = [&](int &cell, int &offset) {
        if (cell >= pos + deleted) {
            cell -= deleted;
        } else if (cell >= pos) {
            cell = pos;
            offset = 0;
        }
    };
    if (sizes) {
        map(s.First, s.FirstOffset);
        map(s.Last, s.LastOffset);
        return;
    }
    int first = s.First, offset = s.FirstOffset;
    map(first, offset);
    s.Last += first - s.First;
    s.First = first;
}

bool Within(int first, int last, int lastOffset, int pos, int count)
{
    return count > 0 && first >= pos && first < pos + count
           && (last < pos + count || (last == pos + count && lastOffset == 0));
}

}  // namespace

void TDrawingAnchor::FollowRows(int pos, int count)
{
    if (Moves() && count != 0)
        Follow({Row1, Dy1, Row2, Dy2}, Sizes(), pos, count, LastRow);
}

void TDrawingAnchor::FollowCols(int pos, int count)
{
    if (Moves() && count != 0)
        Follow({Col1, Dx1, Col2, Dx2}, Sizes(), pos, count, LastCol);
}

bool TDrawingAnchor::OnRows(int pos, int count) const
{
    return Within(Row1, Row2, Dy2, pos, count);
}

bool TDrawingAnchor::OnCols(int pos, int count) const
{
    return Within(Col1, Col2, Dx2, pos, count);
}
