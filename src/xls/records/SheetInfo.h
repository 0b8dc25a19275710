#pragma once

#include <functional>

class TNameRecordList;

// What a shift needs to know about sheets. Both sheets -1 and no functions
// (the default) is the value used for plain copies.
struct TSheetInfo
{
    int InsSheet = -1;      // sheet where rows/columns are inserted, or the sheet being copied
    int FormulaSheet = -1;  // sheet of the record or formula being changed
    std::function<int(int)> GetSheet;  // extern-sheet index -> sheet
    std::function<int(int)> SetSheet;  // sheet -> extern-sheet index (adds an entry when needed)
    TNameRecordList *Names = nullptr;  // the workbook's defined names, or none

    // Insertion shifting touches a record only inside the sheet being changed.
    bool InsertsInOwnSheet() const { return InsSheet >= 0 && InsSheet == FormulaSheet; }
};
