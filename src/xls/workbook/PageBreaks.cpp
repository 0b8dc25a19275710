#include "xls/workbook/PageBreaks.h"

#include "xls/records/LinkRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/PageSetup.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <map>

namespace {

// What the spreadsheet application keeps at most.
constexpr int MaxBreaks = 1026;
constexpr int EntrySize = 6;

}  // namespace

void TPageBreaks::AddAfterRow(TBaseRecordList &records, int row)
{
    const int at = XlsDetail::FindRecord(records, THPageBreakRecord::Id);
    // Breaks by the new page's first row, with their column spans.
    std::map<int, QByteArray> breaks;
    if (at >= 0) {
        const QByteArrayView data = records.Items(at)->DataView();
        const int count = ReadWord(data, 0);
        for (int i = 0; i < count; ++i)
            breaks.emplace(ReadWord(data, 2 + i * EntrySize), data.sliced(2 + i * EntrySize, EntrySize).toByteArray());
    }
    QByteArray entry(EntrySize, '\0');
    WriteWord(entry, 0, quint16(row + 1));
    WriteWord(entry, 4, 255);
    if (!breaks.emplace(row + 1, entry).second)
        return;
    if (int(breaks.size()) > MaxBreaks)
        XlsRaise(QStringLiteral("Too many page breaks (%1)").arg(breaks.size()));
    QByteArray data(2, '\0');
    WriteWord(data, 0, quint16(breaks.size()));
    for (const auto &[first, bytes] : breaks)
        data += bytes;
    if (at >= 0)
        XlsDetail::ReplaceData(records, at, data);
    else
        records.Insert(TPageSetup::PlaceFor(records, THPageBreakRecord::Id), CreateRecord(THPageBreakRecord::Id, data));
}
