#include "xls/formula/NameRecordList.h"

#include "xls/records/SheetInfo.h"

QString TNameRecordList::NameText(int index) const
{
    const TNameRecord *name = Items(index);
    return name ? name->Name() : QString();
}

int TNameRecordList::NameSheet(int index) const
{
    const TNameRecord *name = Items(index);
    return name ? name->NameSheetIndex() : -1;
}

void TNameRecordList::DeleteSheets(int first, int count)
{
    for (int i = Count() - 1; i >= 0; --i) {
        TNameRecord *name = Items(i);
        if (!name)
            continue;
        const int sheet = name->NameSheetIndex();
        if (sheet >= first && sheet < first + count)
            Delete(i);
        else
            name->MoveSheetIndex(first, -count);
    }
}

void TNameRecordList::InsertSheets(int copyFrom, int insertBefore, int count, const TSheetInfo &sheetInfo)
{
    if (copyFrom < -1 || insertBefore < 0 || count < 0)
        throw EExcelException(QStringLiteral("Invalid arguments to insert sheets"));
    const int original = Count();
    for (int i = 0; i < original; ++i) {
        TNameRecord *name = Items(i);
        if (!name)
            continue;
        const int sheet = name->NameSheetIndex();
        const bool belongs = copyFrom >= 0
            && (sheet == copyFrom || (sheet < 0 && name->RangeSheet(sheetInfo.GetSheet) == copyFrom));
        if (belongs) {
            for (int k = 0; k < count; ++k) {
                TSheetInfo info = sheetInfo;
                info.InsSheet = copyFrom;
                info.FormulaSheet = insertBefore + k;
                Add(name->CloneForSheet(info));
            }
        }
        name->MoveSheetIndex(insertBefore, count);
    }
}
