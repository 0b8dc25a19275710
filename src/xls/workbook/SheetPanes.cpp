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
    const auto *window = XlsDetail::FindRecordOf<TWindow2Record>(records);
    const auto *pane = XlsDetail::FindRecordOf<TPaneRecord>(records);
    if (!window || !pane || (window->Options() & TWindow2Record::OptionFrozen) == 0)
        return;
    cols = pane->HorizontalSplit();
    rows = pane->VerticalSplit();
}

void TSheetPanes::Freeze(TBaseRecordList &records, int rows, int cols)
{
    PutPane(records, rows > 0 || cols > 0, cols, rows, rows, cols);
}

void TSheetPanes::Split(TBaseRecordList &records, int x, int y, int firstRow, int firstCol)
{
    PutPane(records, false, x, y, firstRow, firstCol);
}

void TSheetPanes::SplitAt(const TBaseRecordList &records, int &firstRow, int &firstCol)
{
    firstRow = firstCol = 0;
    const auto *window = XlsDetail::FindRecordOf<TWindow2Record>(records);
    const auto *pane = XlsDetail::FindRecordOf<TPaneRecord>(records);
    if (!window || !pane || (window->Options() & TWindow2Record::OptionFrozen) != 0)
        return;
    firstRow = pane->FirstVisibleRow();
    firstCol = pane->FirstVisibleColumn();
}

void TSheetPanes::PutPane(TBaseRecordList &records, bool frozen, int x, int y, int firstRow, int firstCol)
{
    const int window = XlsDetail::FindRecord(records, TWindow2Record::Id);
    auto *view = window >= 0 ? dynamic_cast<TWindow2Record *>(records.Items(window)) : nullptr;
    if (!view)
        return;
    view->SetOptions(frozen ? view->Options() | FrozenFlags : view->Options() & ~FrozenFlags);

    // The view's own selections belong to the old panes.
    for (int i = records.Count() - 1; i > window; --i)
        if (records.Items(i) && (records.Items(i)->RecordId() == TPaneRecord::Id
                                 || records.Items(i)->RecordId() == SelectionId))
            records.Delete(i);
    if (x <= 0 && y <= 0)
        return;
    QByteArray pane(10, '\0');
    WriteWord(pane, 0, static_cast<quint16>(x));
    WriteWord(pane, 2, static_cast<quint16>(y));
    WriteWord(pane, 4, static_cast<quint16>(firstRow));
    WriteWord(pane, 6, static_cast<quint16>(firstCol));
    WriteWord(pane, 8, y > 0 && x > 0 ? 0 : y > 0 ? 2 : 1);
    // PANE follows WINDOW2 and the zoom.
    int place = window + 1;
    if (place < records.Count() && records.Items(place) && records.Items(place)->RecordId() == TSCLRecord::Id)
        ++place;
    records.Insert(place, CreateRecord(TPaneRecord::Id, pane));
}
