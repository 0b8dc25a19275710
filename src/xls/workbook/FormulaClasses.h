#pragma once

// Makes the record factory build the formula classes (FORMULA, SHRFMLA,
// ARRAY, TABLE, NAME) before a workbook is read.
void RegisterFormulaClasses();
