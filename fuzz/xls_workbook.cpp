// The workbook loader on arbitrary record streams: it raises or loads, and a
// loaded workbook saves (or refuses with the engine's message) and the saved
// stream loads again.
#include "xls/workbook/Workbook.h"

#include <cstdint>
#include <cstdlib>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray saved;
    try {
        TWorkbook book;
        book.LoadFromStream(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
        book.SetActiveSheet(0);
        if (book.IsWorkSheet(0))
            book.InsertAndCopyRowsAndCols(0, 0, 1, 2, 1, 0, 0, 0, 0, false);
        saved = book.SaveToBytes();
    } catch (const std::exception &) {
        return 0;
    }
    // What we wrote ourselves must read back.
    try {
        TWorkbook again;
        again.LoadFromStream(saved);
    } catch (const std::exception &) {
        std::abort();
    }
    return 0;
}
