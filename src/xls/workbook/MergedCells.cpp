#include "xls/workbook/MergedCells.h"

#include "xls/records/OtherRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/storage/ByteCursor.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"
#include "xls/workbook/WorkbookRecords_p.h"
#include "xls/workbook/XlsWorkbookMessages.h"

#include <algorithm>

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

// Rows or columns: the two sides of a range along one direction, and the
// last place on the sheet.
struct TAxis
{
    int TXlsCellRange::*First;
    int TXlsCellRange::*Last;
    int Max;
};

constexpr TAxis Rows{&TXlsCellRange::Top, &TXlsCellRange::Bottom, 65535};
constexpr TAxis Cols{&TXlsCellRange::Left, &TXlsCellRange::Right, 255};

void Insert(const TAxis &axis, QList<TXlsCellRange> &ranges, int first, int last, int dest,
            int count)
{
    const int height = last - first + 1;
    const int band = height * count;
    if (band <= 0)
        return;
    QList<TXlsCellRange> result;
    for (TXlsCellRange r : ranges) {
        if (r.*axis.First >= dest)
            r.*axis.First += band;
        if (r.*axis.Last >= dest)
            r.*axis.Last += band;
        if (r.*axis.Last > axis.Max)
            XlsRaise(XlsMsg::InvalidInsertArgs);
        result.append(r);
    }
    const qsizetype moved = result.size();
    for (const TXlsCellRange &r : ranges) {
        if (r.*axis.First < first || r.*axis.Last > last)
            continue;
        for (int k = 0; k < count; ++k) {
            TXlsCellRange copy = r;
            const int offset = dest + k * height - first;
            copy.*axis.First += offset;
            copy.*axis.Last += offset;
            // A range that grew across the inserted rows keeps them.
            if (std::none_of(result.begin(), result.begin() + moved,
                             [&](const TXlsCellRange &m) { return TMergedCells::Overlap(m, copy); }))
                result.append(copy);
        }
    }
    ranges = result;
}

void Delete(const TAxis &axis, QList<TXlsCellRange> &ranges, int at, int count)
{
    if (count <= 0)
        return;
    const int end = at + count - 1;
    QList<TXlsCellRange> result;
    for (TXlsCellRange r : ranges) {
        const bool wasOneCell = r.Left == r.Right && r.Top == r.Bottom;
        const int first = r.*axis.First;
        const int last = r.*axis.Last;
        r.*axis.First = first > end ? first - count : std::min(first, at);
        r.*axis.Last = last > end ? last - count : std::min(last, at - 1);
        const bool oneCell = r.Left == r.Right && r.Top == r.Bottom;
        if (r.*axis.Last >= r.*axis.First && (!oneCell || wasOneCell))
            result.append(r);
    }
    ranges = result;
}

}  // namespace

void TMergedCells::InsertRows(QList<TXlsCellRange> &ranges, int first, int last, int dest, int count)
{
    Insert(Rows, ranges, first, last, dest, count);
}

void TMergedCells::InsertCols(QList<TXlsCellRange> &ranges, int first, int last, int dest, int count)
{
    Insert(Cols, ranges, first, last, dest, count);
}

void TMergedCells::DeleteRows(QList<TXlsCellRange> &ranges, int at, int count)
{
    Delete(Rows, ranges, at, count);
}

void TMergedCells::DeleteCols(QList<TXlsCellRange> &ranges, int at, int count)
{
    Delete(Cols, ranges, at, count);
}

QList<TXlsCellRange> TMergedCells::Read(const TBaseRecordList &records)
{
    QList<TXlsCellRange> ranges;
    for (int i = 0; i < records.Count(); ++i) {
        const TBaseRecord *record = records.Items(i);
        if (!record || record->RecordId() != TCellMergingRecord::Id)
            continue;
        ByteCursor cursor(record->DataView(), QStringLiteral("MERGEDCELLS"));
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
