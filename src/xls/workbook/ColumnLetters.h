#pragma once

#include <QString>

// 1-based column number to its letters: 1 -> "A", 26 -> "Z", 27 -> "AA", 256 -> "IV".
// Columns below 1 have no letters and give an empty text.
QString ColumnLetters(int column);
