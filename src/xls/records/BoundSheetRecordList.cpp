#include "xls/records/BoundSheetRecordList.h"

QString TBoundSheetRecordList::SheetName(int sheet) const
{
    return Items(sheet)->SheetName();
}

int TBoundSheetRecordList::SheetVisible(int sheet) const
{
    const int bits = Items(sheet)->Options() & 0x03;
    return bits == Hidden || bits == VeryHidden ? bits : Visible;
}

void TBoundSheetRecordList::SetSheetVisible(int sheet, int visibility)
{
    TBoundSheetRecord *record = Items(sheet);
    int options = record->Options() & ~0x03;
    if (visibility == Hidden || visibility == VeryHidden)
        options |= visibility;
    record->SetOptions(options);
}

void TBoundSheetRecordList::Rename(int sheet, const QString &name)
{
    TBoundSheetRecord *record = Items(sheet);
    const qint64 before = record->TotalSize();
    record->SetSheetName(name);
    AdjustTotalSize(record->TotalSize() - before);
}
