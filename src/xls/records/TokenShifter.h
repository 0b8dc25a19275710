#pragma once

#include <QByteArray>

struct TSheetInfo;

// Records of this library that carry formula tokens (CF, chart AI) shift them
// through this interface; the formula library installs the one implementation.
// Without it the tokens stay as they are.
class TTokenShifter
{
public:
    virtual ~TTokenShifter() = default;
    // Rows/columns inserted (negative counts delete) in the token range
    // [tokenStart, tokenEnd) of data.
    virtual void ShiftForInsert(QByteArray &data, int tokenStart, int tokenEnd, int rowPos, int rowCount,
                                int colPos, int colCount, const TSheetInfo &sheetInfo) const = 0;
    // The owner was copied by the offsets: relative references move with it.
    virtual void OffsetForCopy(QByteArray &data, int tokenStart, int tokenEnd, int rowOffset,
                               int colOffset) const = 0;
};

// The installed shifter, or null. The formula library sets it once at start.
const TTokenShifter *TokenShifter();
void SetTokenShifter(const TTokenShifter *shifter);
