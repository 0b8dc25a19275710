#pragma once

#include "xls/records/SheetInfo.h"

#include <QByteArray>

// Rewrites the references inside a stored token array in place when rows or
// columns are inserted or deleted, a formula is copied, a sheet is copied or a
// shared formula is expanded into a cell. A reference pushed out of the sheet
// or into deleted rows becomes the matching #REF! token. A token the walker
// cannot handle raises ETokenException and leaves the tokens as they were.
// The tokens are data[first, end).

// Rows or columns inserted (negative counts delete) in info.InsSheet.
void ShiftTokensForInsert(QByteArray &data, qsizetype first, qsizetype end, const TSheetInfo &info,
                          int rowPos, int rowCount, int colPos, int colCount);
// Formula copied to a cell rowOffset/colOffset away: relative parts move.
void ShiftTokensForCopy(QByteArray &data, qsizetype first, qsizetype end, int rowOffset, int colOffset);
// Sheet info.InsSheet copied: references to it follow to the new sheet.
void ShiftTokensForSheetCopy(QByteArray &data, qsizetype first, qsizetype end, const TSheetInfo &info);
// Shared tokens copied into the cell (row, col): relative-offset references
// become absolute ones to the cells they mean from there.
void ExpandSharedTokens(QByteArray &data, qsizetype first, qsizetype end, int row, int col);

// Turns the reference token at pos into its #REF! form; error forms stay;
// any other token raises ETokenException.
void ConvertToRefError(QByteArray &data, qsizetype pos);

// The size of the token at pos (its id byte included) as the walker sees it;
// raises ETokenException for a token it cannot walk and EExcelException when
// the token runs past end.
qsizetype TokenSize(QByteArrayView data, qsizetype pos, qsizetype end);
