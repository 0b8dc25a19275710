// Record layer fed an arbitrary workbook stream: reading must raise
// EExcelException or give records whose sizes add up to what they write, and
// what they write must read back and write the same bytes again.
#include "xls/records/BaseRecordList.h"
#include "xls/records/CellRecords.h"
#include "xls/records/ExcelString.h"
#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ExcelException.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

// The formula records live in the library above; this stand-in lets formulas
// take the STRING record that follows them, as they do there.
class TFormulaStandIn : public TCellRecord
{
public:
    using TCellRecord::TCellRecord;
    bool AllowsStringAfter() const override { return true; }
};

void ReadRecords(QByteArrayView bytes, TBaseRecordList &list)
{
    ByteCursor cursor(bytes);
    quint32 header = 0;
    while (ReadRecordHeader(cursor, header) && header != 0)
        list.Add(ReadBiffRecord(cursor, header));
}

QByteArray Written(const TBaseRecordList &list)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    list.SaveToStream(buffer);
    return out;
}

// The strings of an SST record, as the shared-string table reads them.
void ReadSharedStrings(const TSSTRecord &sst)
{
    const TBaseRecord *record = &sst;
    int pos = 8;
    try {
        for (quint32 i = 0; i < sst.UniqueCount(); ++i)
            TExcelString(2, record, pos);
    } catch (const EExcelException &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool registered = [] {
        RegisterRecordClass(0x0006, ConstructRecord<TFormulaStandIn>);
        return true;
    }();
    (void)registered;
    TBaseRecordList list;
    try {
        ReadRecords(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), list);
    } catch (const EExcelException &) {
        return 0;
    }
    for (int i = 0; i < list.Count(); ++i) {
        if (auto *cell = dynamic_cast<TCellRecord *>(list[i]))
            cell->GetValue();
        if (auto *sst = dynamic_cast<TSSTRecord *>(list[i]))
            ReadSharedStrings(*sst);
    }
    const QByteArray written = Written(list);
    if (written.size() != list.TotalSize())
        std::abort();
    TBaseRecordList again;
    ReadRecords(written, again);
    if (Written(again) != written)
        std::abort();
    return 0;
}
