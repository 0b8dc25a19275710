// Hostile replies of the backup server: the parser must end with a checked
// reply or a ReplyError, and a checked reply never points outside the file
// or at a name outside the temporary folder.
#include "remote/ReplyFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const ReplyFile reply = ReplyFile::parse(bytes, qint64(size));
        qint64 end = -1;
        for (const ReplyFile::Attachment &a : reply.attachments) {
            if (!ReplyFile::isSafeName(a.name) || a.size < 0 || a.offset < 0 || a.offset + a.size > qint64(size)
                || (end >= 0 && a.offset != end))
                __builtin_trap();
            end = a.offset + a.size;
        }
        if (end >= 0 && end != qint64(size))
            __builtin_trap();
        for (const QString &line : reply.lines)
            ReplyFile::split(line);
    } catch (const ReplyError &) {
    }
    return 0;
}
