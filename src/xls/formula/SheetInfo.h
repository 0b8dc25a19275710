#pragma once

#include <functional>

class TFormulaNames;

// What an insertion, deletion or copy tells the records it walks over.
struct TSheetInfo
{
    int InsSheet = -1;     // the sheet where rows or columns change, or the sheet being copied
    int FormulaSheet = -1; // the sheet of the formula or record being changed
    std::function<int(int)> GetSheet; // extern-sheet index -> sheet
    std::function<int(int)> SetSheet; // sheet -> extern-sheet index, added when missing
    const TFormulaNames *Names = nullptr;

    // Both sheets -1 and no functions: used for copies.
    static TSheetInfo None() { return {}; }
};
