#pragma once

// Makes the record factory build the formula record classes (FORMULA,
// SHRFMLA, ARRAY, TABLE, NAME) and lets the records of the lower library
// that carry tokens (CF, chart AI) shift them. Call once before loading a
// workbook; calling again does nothing.
void RegisterFormulaRecords();
