// Compound-document reader fed arbitrary bytes: it must raise EExcelException
// or open; whatever opens must write back into a document that reads alike.
#include "xls/storage/ExcelException.h"
#include "xls/storage/Ole2Storage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::unique_ptr<TOle2Storage> doc;
    try {
        doc = TOle2Storage::OpenBytes(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const EExcelException &) {
        return 0;
    }
    doc->FindStream(u"Workbook");
    const QByteArray written = doc->ToBytes();
    const auto again = TOle2Storage::OpenBytes(written);
    if (again->ToBytes() != written)
        std::abort();
    return 0;
}
