// Feeds arbitrary bytes to the dBase reader: opening and reading every field
// may raise DbfError and nothing else, and never reads outside the bytes; the
// check a table makes at open refuses a record exactly when reading it would.
#include "platform/db/Dbf.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

template <class Read>
bool refused(Read read)
{
    try {
        read();
        return false;
    } catch (const DbfError &) {
        return true;
    }
}

void readRecord(const Dbf &t, qint64 r)
{
    std::vector<DbfValue> values;
    if (refused([&] { t.check(r, values); }) != refused([&] { t.read(r, values); }))
        std::abort();
    t.isDeleted(r);
    for (int f = 0; f < t.fields().size(); ++f) {
        t.rawField(r, f);
        t.isNull(r, f);
        t.text(r, f);
        t.number(r, f);
        t.date(r, f);
        t.logical(r, f);
        try {
            t.value(r, f);
        } catch (const DbfError &) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const Dbf t = Dbf::fromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        t.fieldIndex(u"NRCRT");
        // The first and last records are enough to reach every field; a table
        // of many tiny records would otherwise make one input slow.
        const qint64 n = t.recordCount();
        for (qint64 r = 0; r < n && r < 64; ++r)
            readRecord(t, r);
        if (n > 64)
            readRecord(t, n - 1);
    } catch (const DbfError &) {
    }
    return 0;
}
