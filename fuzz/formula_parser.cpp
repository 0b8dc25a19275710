// Formula text as a user types it: the encoder must give tokens that decode
// again, or raise the engine's exception; never crash, hang or recurse deep.
#include "formula_decoder.h"

#include "xls/formula/ParseString.h"
#include "xls/formula/TokenArray.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    FuzzReferences refs;
    FuzzNames names;
    for (bool force3D : {false, true}) {
        TParseString p(text, force3D ? 1 : 0, &refs, &names, QStringLiteral("Sheet2"), force3D);
        try {
            p.Parse();
        } catch (const EExcelException &) {
            if (!p.Tokens().isEmpty())
                __builtin_trap(); // a failed parse leaves nothing behind
            continue;
        }
        QByteArray tokens = p.Tokens();
        try {
            ShiftTokensForInsert(tokens, 0, tokens.size(), TSheetInfo(), 0, 1, 0, 1);
        } catch (const EExcelException &) {
        }
    }
    return 0;
}
