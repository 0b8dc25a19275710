#include "xls/workbook/SheetPanes.h"

#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"

namespace {

constexpr int FrozenFlags = TWindow2Record::OptionFrozen | TWindow2Record::OptionFrozenNoSplit;
constexpr quint16 SelectionId = 0x001D;

}  // namespace

void TSheetPanes::Frozen(const TBaseRecordList &records, int &rows, int &cols)
{
    rows = cols = 0;
    const int window = XlsDetail::FindRecord(records, TWindow2Record::Id);
    const int pane = XlsDetail::FindRecord(records, TPaneRecord::Id);
    if (window < 0 || pane < 0 || records.Items(window)->DataSize() < 2 || records.Items(pane)->DataSize() < 4)
        return;
    if ((ReadWord(records.Items(window)->Data(), 0) & TWindow2Record::OptionFrozen) == 0)
        return;
    cols = ReadWord(records.Items(pane)->Data(), 0);
    rows = ReadWord(records.Items(pane)->Data(), 2);
}

void TSheetPanes::Freeze(TBaseRecordList &records, int rows, int cols)
{
    const int window = XlsDetail::FindRecord(records, TWindow2Record::Id);
    if (window < 0 || records.Items(window)->DataSize() < 2)
        return;
    QByteArray options = records.Items(window)->Data();
    const quint16 old = ReadWord(options, 0);
    const bool freeze = rows > 0 || cols > 0;
    WriteWord(options, 0, static_cast<quint16>(freeze ? old | FrozenFlags : old & ~FrozenFlags));
    XlsDetail::ReplaceData(records, window, options);

    // The view's own selections belong to the old panes.
    for (int i = records.Count() - 1; i > window; --i)
        if (records.Items(i) && (records.Items(i)->RecordId() == TPaneRecord::Id
                                 || records.Items(i)->RecordId() == SelectionId))
            records.Delete(i);
    if (!freeze)
        return;
    QByteArray pane(10, '\0');
    WriteWord(pane, 0, static_cast<quint16>(cols));
    WriteWord(pane, 2, static_cast<quint16>(rows));
    WriteWord(pane, 4, static_cast<quint16>(rows));
    WriteWord(pane, 6, static_cast<quint16>(cols));
    WriteWord(pane, 8, rows > 0 && cols > 0 ? 0 : rows > 0 ? 2 : 1);
    // PANE follows WINDOW2 and the zoom.
    int place = window + 1;
    if (place < records.Count() && records.Items(place) && records.Items(place)->RecordId() == TSCLRecord::Id)
        ++place;
    records.Insert(place, CreateRecord(TPaneRecord::Id, pane));
}
