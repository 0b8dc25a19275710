#include "xls/workbook/ColumnInfo.h"

#include "xls/records/FormatRecords.h"
#include "xls/records/RecordFactory.h"
#include "xls/records/SheetRecords.h"
#include "xls/storage/ByteUtils.h"
#include "xls/workbook/WorkbookRecords_p.h"

namespace {

constexpr int DefaultXF = 15;

TColInfoRecord *At(const TBaseRecordList &records, int i)
{
    return dynamic_cast<TColInfoRecord *>(records.Items(i));
}

// Where a new COLINFO for col goes: before the first that starts after it,
// else after the last one, else after the default-width records, else before
// DIMENSIONS.
int PlaceFor(const TBaseRecordList &records, int col)
{
    int place = -1;
    for (int i = 0; i < records.Count(); ++i) {
        if (const TColInfoRecord *info = At(records, i)) {
            if (info->FirstColumn() > col)
                return i;
            place = i + 1;
        }
    }
    if (place >= 0)
        return place;
    for (quint16 id : {TStandardWidthRecord::Id, TDefColWidthRecord::Id})
        if (const int at = XlsDetail::FindRecord(records, id); at >= 0)
            return at + 1;
    const int dimensions = XlsDetail::FindRecord(records, TDimensionsRecord::Id);
    return dimensions >= 0 ? dimensions : std::max(records.Count() - 1, 0);
}

std::unique_ptr<TBaseRecord> NewColInfo(int first, int last, int width, int xf, int options)
{
    QByteArray data(12, '\0');
    WriteWord(data, 0, static_cast<quint16>(first));
    WriteWord(data, 2, static_cast<quint16>(last));
    WriteWord(data, 4, static_cast<quint16>(width));
    WriteWord(data, 6, static_cast<quint16>(xf));
    WriteWord(data, 8, static_cast<quint16>(options));
    return CreateRecord(TColInfoRecord::Id, data);
}

}  // namespace

const TColInfoRecord *TColumnInfo::Find(const TBaseRecordList &records, int col)
{
    for (int i = 0; i < records.Count(); ++i)
        if (const TColInfoRecord *info = At(records, i))
            if (info->FirstColumn() <= col && col <= info->LastColumn())
                return info;
    return nullptr;
}

int TColumnInfo::DefaultWidth(const TBaseRecordList &records)
{
    const int standard = XlsDetail::FindRecord(records, TStandardWidthRecord::Id);
    if (standard >= 0 && records.Items(standard)->DataSize() >= 2)
        return ReadWord(records.Items(standard)->Data(), 0);
    const int defaultWidth = XlsDetail::FindRecord(records, TDefColWidthRecord::Id);
    const int chars = defaultWidth >= 0 && records.Items(defaultWidth)->DataSize() >= 2
                          ? ReadWord(records.Items(defaultWidth)->Data(), 0)
                          : 8;
    return std::min(chars * 256, 0xFFFF);
}

TColInfoRecord &TColumnInfo::Single(TBaseRecordList &records, int col)
{
    for (int i = 0; i < records.Count(); ++i) {
        TColInfoRecord *info = At(records, i);
        if (!info || info->FirstColumn() > col || col > info->LastColumn())
            continue;
        const int first = info->FirstColumn(), last = info->LastColumn();
        if (first == last)
            return *info;
        // The parts before and after the column keep the record's settings.
        const int width = info->Width(), xf = info->XF(), options = info->Options();
        info->SetColumns(col, col);
        if (col < last)
            records.Insert(i + 1, NewColInfo(col + 1, last, width, xf, options));
        if (first < col) {
            records.Insert(i, NewColInfo(first, col - 1, width, xf, options));
            ++i;
        }
        return *At(records, i);
    }
    const int place = PlaceFor(records, col);
    records.Insert(place, NewColInfo(col, col, DefaultWidth(records), DefaultXF, 0));
    return *At(records, place);
}
