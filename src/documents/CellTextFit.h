#pragma once

#include <QString>

#include <algorithm>
#include <vector>

// How much room a cell's text takes when printed, estimated without a
// printer: each character by the width it has in the common sans-serif
// faces, a little wider so that a substituted face still fits.
namespace CellTextFit {

// Points per unit of a column width (1/256 of a character).
constexpr double PointsPerWidthUnit = 5.6 / 256.0;

// The lines the text needs in a column of that inner width, wrapped at
// blanks as a spreadsheet wraps it; a word longer than a line takes more.
int lines(const QString &text, double widthPt, double sizePt, bool bold);

// The row height in twips that shows that many lines of that size.
int rowHeightTwips(int lines, double sizePt);

// The inner width in points of a column that many units wide.
double innerWidthPt(int widthUnits);

// The tallest row spreadsheet programs accept (409.6 pt); a longer text is cut there.
constexpr int MaxRowTwips = 8192;

// How a filled cell shows its text, as a back-end reads it.
struct CellLook
{
    double widthPt = 0; // inner width of its column
    double sizePt = 0;
    bool bold = false;
    bool wraps = false;
};

// The row height in twips the cells of those columns need, 0 when none needs
// a second line. look(col) gives a cell's text and its look, or false to
// leave the cell out; wrap(col) is called for each cell whose text needs
// more than one line and that does not wrap yet.
template <class Look, class Wrap>
int neededTwips(const std::vector<int> &cols, Look look, Wrap wrap)
{
    int needed = 0;
    for (int col : cols) {
        QString text;
        CellLook cell;
        if (!look(col, text, cell) || text.isEmpty())
            continue;
        const int count = lines(text, cell.widthPt, cell.sizePt, cell.bold);
        if (!cell.wraps && count <= 1)
            continue;
        if (!cell.wraps)
            wrap(col);
        needed = std::max(needed, rowHeightTwips(count, cell.sizePt));
    }
    return std::min(needed, MaxRowTwips);
}

} // namespace CellTextFit
