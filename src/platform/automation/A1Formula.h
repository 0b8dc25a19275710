#pragma once

#include <QString>

// Moves the A1-style references inside the text of a workbook-package formula
// (as stored, without the leading "="). String literals, function names and
// defined names are left alone; a reference pushed off the sheet becomes #REF!.
class A1Formula
{
public:
    static constexpr int kMaxRow = 1048576;
    static constexpr int kMaxCol = 16384;

    // Rows inserted: count rows at row `at` (1-based) of the sheet named
    // `sheet`. formulaSheet is the sheet the formula belongs to, or empty for a
    // workbook-level text (defined names), where only qualified references count.
    static QString insertRows(const QString &formula, const QString &formulaSheet, const QString &sheet,
                              int at, int count);

    // A formula copied by (rows, cols): the relative parts of every reference move.
    static QString offset(const QString &formula, int rows, int cols);

    // The same for one range text ("A1:B3", "C5"), as in sqref and ref attributes.
    static QString insertRowsInRange(const QString &range, int at, int count);

    static int columnNumber(QStringView letters); // "A" -> 1; 0 when not letters
    static QString columnLetters(int column);     // 1 -> "A"
    // The same as bytes at out (room for kMaxLetters), for callers that build a
    // reference without a string; the count written.
    static constexpr int kMaxLetters = 7; // any int
    static int columnLetters(int column, char *out);
};
