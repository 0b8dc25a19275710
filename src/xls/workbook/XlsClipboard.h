#pragma once

#include "xls/workbook/XlsCellRange.h"

#include <memory>

class QMimeData;
class TWorkbook;

// Cells on the clipboard: always as tab-separated text, and, for a block
// within the sheet, as a compound document whose "Workbook" stream holds the
// workbook with the copied sheet active, plus the block's corners.
class TXlsClipboard
{
public:
    // Private formats; the document is what the "Biff8" format holds.
    static const char *const Biff8Mime;
    static const char *const RangeMime;

    // range 0-based on sheet (0-based).
    static std::unique_ptr<QMimeData> Copy(TWorkbook &workbook, int sheet, const TXlsCellRange &range);
    // Into sheet at (row, col), 0-based. Values and formats come from the
    // document when there is one (formulas as their last results), else
    // from the text. A block that would run off the sheet raises first.
    static void Paste(const QMimeData &data, TWorkbook &workbook, int sheet, int row, int col);

    // The same through the clipboard installed for the engine
    // (TXlsClipboardAccess); "The clipboard is not available" without one.
    static void CopyToClipboard(TWorkbook &workbook, int sheet, const TXlsCellRange &range);
    static void PasteFromClipboard(TWorkbook &workbook, int sheet, int row, int col);
};
