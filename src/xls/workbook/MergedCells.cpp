#include "xls/workbook/MergedCells.h"

#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"

namespace {

// The most ranges one record holds, so that it stays within 8,224 bytes.
constexpr int RangesPerRecord = 1026;
// Records a new MERGEDCELLS follows: the sheet's view settings.
constexpr quint16 ViewRecords[] = {0x023E /*WINDOW2*/, 0x00A0 /*SCL*/, 0x0041 /*PANE*/,
                                   0x001D /*SELECTION*/};

int DefaultPlace(const TBaseRecordList &records)
{
    int place = -1;
    for (int i = 0; i < records.Count(); ++i)
        for (quint16 id : ViewRecords)
            if (records.Items(i) && records.Items(i)->RecordId() == id)
                place = i + 1;
    // Before the sheet's EOF when there is no view.
    return place >= 0 ? place : std::max(records.Count() - 1, 0);
}

QByteArray RecordData(const QList<TXlsCellRange> &ranges, int first, int count)
{
    QByteArray data(2 + 8 * count, '\0');
    WriteWord(data, 0, static_cast<quint16>(count));
    for (int i = 0; i < count; ++i)
        XlsDetail::WriteRange(data, 2 + 8 * i, ranges[first + i]);
    return data;
}

}  // namespace

QList<TXlsCellRange> TMergedCells::Read(const TBaseRecordList &records)
{
    QList<TXlsCellRange> ranges;
    for (int i = 0; i < records.Count(); ++i) {
        const TBaseRecord *record = records.Items(i);
        if (!record || record->RecordId() != TCellMergingRecord::Id)
            continue;
        ByteCursor cursor(record->Data(), QStringLiteral("MERGEDCELLS"));
        const qsizetype count = cursor.checkedCount(cursor.u16(), 8);
        for (qsizetype k = 0; k < count; ++k) {
            TXlsCellRange r;
            r.Top = cursor.u16();
            r.Bottom = cursor.u16();
            r.Left = cursor.u16();
            r.Right = cursor.u16();
            ranges.append(r);
        }
    }
    return ranges;
}

void TMergedCells::Write(TBaseRecordList &records, const QList<TXlsCellRange> &ranges)
{
    int place = XlsDetail::FindRecord(records, TCellMergingRecord::Id);
    for (int i = records.Count() - 1; i >= 0; --i)
        if (records.Items(i) && records.Items(i)->RecordId() == TCellMergingRecord::Id)
            records.Delete(i);
    if (place < 0)
        place = DefaultPlace(records);
    for (int first = 0; first < ranges.size(); first += RangesPerRecord) {
        const int count = std::min<int>(RangesPerRecord, ranges.size() - first);
        records.Insert(place++, CreateRecord(TCellMergingRecord::Id, RecordData(ranges, first, count)));
    }
}

bool TMergedCells::Overlap(const TXlsCellRange &a, const TXlsCellRange &b)
{
    return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

TXlsCellRange TMergedCells::BoundsOf(const QList<TXlsCellRange> &ranges, int row, int col)
{
    const TXlsCellRange cell{col, row, col, row};
    for (const TXlsCellRange &r : ranges)
        if (Overlap(r, cell))
            return r;
    return cell;
}

void TMergedCells::Merge(QList<TXlsCellRange> &ranges, const TXlsCellRange &range)
{
    ranges.removeIf([&](const TXlsCellRange &r) { return Overlap(r, range); });
    ranges.append(range);
}

void TMergedCells::UnMerge(QList<TXlsCellRange> &ranges, const TXlsCellRange &area)
{
    ranges.removeIf([&](const TXlsCellRange &r) {
        return r.Left >= area.Left && r.Right <= area.Right && r.Top >= area.Top
               && r.Bottom <= area.Bottom;
    });
}
