#pragma once

#include <QByteArrayView>
#include <QString>

class TFormulaNames;
class TFormulaReferences;

// Turns a stored token array back into formula text as a user types it, "="
// first. Bad tokens raise ETokenException, anything else malformed (short
// data, too deep, bad indexes) EExcelException; nothing reads past the data.

// The token byte count is the u16 just before startPos, as in every FORMULA,
// SHRFMLA and ARRAY record; array constants follow the tokens.
QString DecodeFormula(QByteArrayView data, qsizetype startPos, const TFormulaNames *names,
                      const TFormulaReferences *references);
// The same with the token byte count given (NAME records keep it elsewhere).
QString DecodeTokens(QByteArrayView data, qsizetype startPos, qsizetype tokenBytes,
                     const TFormulaNames *names, const TFormulaReferences *references);

// Walks the tokens as DecodeTokens does and raises what it would raise,
// without building the text.
void CheckTokens(QByteArrayView data, qsizetype startPos, qsizetype tokenBytes, const TFormulaNames *names,
                 const TFormulaReferences *references);

// Cell references as formula text: "$" before absolute parts, columns from
// "A" to "IV", rows from 1. col is the stored column field with its flags.
QString CellRefText(int row, int colField);
QString ColumnText(int col);
