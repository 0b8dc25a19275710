#include "xls/records/RowRecordList.h"

#include "xls/records/OtherRecords.h"
#include "xls/records/SheetInfo.h"
#include "xls/records/SheetRecords.h"
#include "xls/records/XlsRecordMessages.h"
#include "xls/storage/ByteUtils.h"
#include "xls/storage/ExcelException.h"

using namespace XlsRecordMessages;

namespace {
constexpr int MaxRow = 65535;
}

void TRowRecordList::PlaceAt(int index, std::unique_ptr<TBaseRowColRecord> item)
{
    CheckEntryCount(index, MaxRow);
    while (Count() < index)
        TBaseRowColRecordList::Add(nullptr);
    if (index < Count())
        SetItem(index, std::move(item));
    else
        TBaseRowColRecordList::Add(std::move(item));
}

int TRowRecordList::AddRecord(std::unique_ptr<TRowRecord> row)
{
    const int index = row->Row();
    if (HasRow(index))
        throw EExcelException(ErrDuplicatedRow);
    PlaceAt(index, std::move(row));
    return index;
}

bool TRowRecordList::HasRow(int index) const
{
    return index >= 0 && index < Count() && Items(index) != nullptr;
}

TRowRecord *TRowRecordList::RowRecord(int index) const
{
    if (!HasRow(index))
        throw EExcelException(QString::fromLatin1(ErrMissingRow).arg(index));
    return static_cast<TRowRecord *>(Items(index));
}

void TRowRecordList::AddRow(int index)
{
    if (!HasRow(index))
        PlaceAt(index, TRowRecord::NewRow(index));
}

int TRowRecordList::RowHeight(int index) const
{
    return HasRow(index) ? RowRecord(index)->Height() : 0;
}

void TRowRecordList::SetRowHeight(int index, int height)
{
    AddRow(index);
    TRowRecord *row = RowRecord(index);
    row->SetHeight(height);
    row->SetOptions(row->Options() | TRowRecord::OptionCustomHeight);
}

void TRowRecordList::SetAutoRowHeight(int index, bool autoHeight)
{
    if (!HasRow(index))
        return;
    TRowRecord *row = RowRecord(index);
    const int options = row->Options();
    row->SetOptions(autoHeight ? (options & ~TRowRecord::OptionCustomHeight)
                               : (options | TRowRecord::OptionCustomHeight));
}

bool TRowRecordList::IsAutoRowHeight(int index) const
{
    return !HasRow(index) || !RowRecord(index)->HasCustomHeight();
}

qint64 TRowRecordList::TotalRangeSize(int, int top, int, int bottom) const
{
    qint64 size = 0;
    for (int r = qMax(top, 0); r <= bottom; ++r)
        size += RowRecord(r)->TotalSize();
    return size;
}

void TRowRecordList::SaveRangeToStream(QIODevice &stream, int left, int top, int right, int bottom) const
{
    const int last = qMin(bottom, Count() - 1);
    for (int r = qMax(top, 0); r <= last; ++r)
        if (HasRow(r))
            RowRecord(r)->SaveRangeToStream(stream, left, right);
}

void TRowRecordList::DeleteRows(int first, int count, const TSheetInfo &sheetInfo)
{
    if (count <= 0 || first < 0 || first >= Count())
        return;
    DeleteRange(first, count);
    for (int r = first; r < Count(); ++r)
        if (TBaseRowColRecord *row = Items(r))
            row->ShiftForInsert(first, -count, sheetInfo);
}

void TRowRecordList::InsertAndCopyRows(int firstRow, int lastRow, int destRow, int count,
                                       const TSheetInfo &sheetInfo)
{
    if (count <= 0 || firstRow < 0 || lastRow < firstRow || destRow < 0)
        return;
    const int inserted = (lastRow - firstRow + 1) * count;
    // Check the furthest row before moving any, so a refusal changes nothing.
    for (int r = Count() - 1; r >= destRow; --r)
        if (Items(r)) {
            if (sheetInfo.InsertsInOwnSheet())
                CheckEntryCount(r + inserted, MaxRow);
            break;
        }
    CheckEntryCount(destRow + inserted - 1, MaxRow);

    for (int r = destRow; r < Count(); ++r)
        if (TBaseRowColRecord *row = Items(r))
            row->ShiftForInsert(destRow, inserted, sheetInfo);

    // The copies are built from the sources as they stand, then inserted as
    // one block, so the sources never move under the copying.
    std::vector<std::unique_ptr<TBaseRecord>> block;
    block.reserve(static_cast<size_t>(inserted));
    int dest = destRow;
    for (int c = 0; c < count; ++c)
        for (int r = firstRow; r <= lastRow; ++r, ++dest) {
            std::unique_ptr<TBaseRecord> copy;
            if (HasRow(r)) {
                copy = Items(r)->Clone();
                copy->OffsetForCopy(dest - static_cast<TBaseRowColRecord *>(copy.get())->Row(), 0);
            }
            block.push_back(std::move(copy));
        }
    while (Count() < destRow)
        TBaseRowColRecordList::Add(nullptr);
    InsertRange(destRow, std::move(block));
}

void TRowRecordList::RecalcOutlineLevel(TGutsRecord &guts) const
{
    int level = 0;
    for (int r = 0; r < Count(); ++r)
        if (HasRow(r))
            level = qMax(level, RowRecord(r)->OutlineLevel());
    guts.SetRowLevel(level);
}
