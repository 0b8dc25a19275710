// Settings files come from other programs and other workstations: parsing,
// looking up, changing and writing back must hold for any bytes.
#include "platform/profile/ProfileError.h"
#include "platform/profile/ProfileText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ProfileText t = ProfileText::parse(bytes);
    const QStringList sections = t.sections();
    for (const QString &s : sections)
        for (const QString &k : t.keys(s))
            (void)t.value(s, k);
    try {
        t.setValue(sections.isEmpty() ? QStringLiteral("S") : sections.first(), QStringLiteral("K"),
                   QStringLiteral("v"));
    } catch (const ProfileError &) {
        // A section name read from the file may be one that cannot be written back.
    }
    // What is written reads back to the same text.
    const QByteArray once = t.toBytes();
    if (ProfileText::parse(once).toBytes() != once)
        __builtin_trap();
    return 0;
}
