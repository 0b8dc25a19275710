#pragma once

#include "xls/workbook/ExcelFile.h"

class TCellRecord;
class TExcelString;
class TSST;

// The rich-text runs of a string as the file stores them: first characters
// 0-based, font indexes as FONT records are counted in XF records (no font 4).
TXlsRichRuns RichTextRuns(const TExcelString &text);

// The runs of a text cell (LABELSST through the table, LABEL from its own
// string); none for a cell of another kind or no cell.
TXlsRichRuns CellRichTextRuns(const TCellRecord *cell, const TSST &sst);
