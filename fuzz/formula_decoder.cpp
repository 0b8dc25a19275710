// Token arrays as a FORMULA record holds them (u16 byte count, tokens, then
// array constants): the decoder and the reference walker must end in text or
// in the engine's exception, never read past the bytes or crash.
#include "formula_decoder.h"

#include "xls/formula/FormulaDecoder.h"
#include "xls/formula/TokenArray.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FuzzReferences refs;
    FuzzNames names;
    bool textFailed = false;
    try {
        DecodeFormula(bytes, 2, &names, &refs);
    } catch (const EExcelException &) {
        textFailed = true;
    }
    if (size < 2)
        return 0;
    // The encoder's check must accept exactly what the decoder accepts.
    bool checkFailed = false;
    try {
        CheckTokens(bytes, 2, data[0] | (data[1] << 8), &names, &refs);
    } catch (const EExcelException &) {
        checkFailed = true;
    }
    if (textFailed != checkFailed)
        __builtin_trap();
    const qsizetype count = qMin<qsizetype>(data[0] | (data[1] << 8), qsizetype(size) - 2);
    TSheetInfo info;
    info.InsSheet = 0;
    info.FormulaSheet = 0;
    info.GetSheet = [](int externSheet) { return externSheet; };
    info.SetSheet = [](int sheet) { return sheet; };
    for (int step = 0; step < 4; ++step) {
        QByteArray work = bytes;
        try {
            switch (step) {
            case 0: ShiftTokensForInsert(work, 2, 2 + count, info, 3, 2, 1, 1); break;
            case 1: ShiftTokensForInsert(work, 2, 2 + count, info, 3, -2, 1, -1); break;
            case 2: ShiftTokensForCopy(work, 2, 2 + count, 1, -1); break;
            default: ExpandSharedTokens(work, 2, 2 + count, 7, 3); break;
            }
        } catch (const EExcelException &) {
            if (work != bytes)
                __builtin_trap(); // a failed shift must leave the tokens as they were
        }
    }
    return 0;
}
