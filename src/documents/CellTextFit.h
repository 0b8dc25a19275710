#pragma once

#include <QString>

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

} // namespace CellTextFit
