// Hostile data archives: the reader must end with entries or an ArchiveError,
// never crash, over-read or allocate without bound.
#include "core/DataArchive.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ArchiveLimits limits;
    limits.maxFiles = 64;
    limits.maxFileSize = 16u << 20;
    limits.maxTotalSize = 32u << 20;
    try {
        const auto entries = DataArchive::decode(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), limits);
        for (const auto &e : entries)
            if (!DataArchive::isPlainName(e.name) || DataArchive::isOwnName(e.name))
                __builtin_trap();
    } catch (const ArchiveError &) {
    }
    return 0;
}
