#include "xls/records/TokenRecords.h"

#include "xls/records/TokenShifter.h"
#include "xls/storage/ByteUtils.h"

template <typename Apply>
void TTokenHolderRecord::ForEachTokenRange(Apply apply)
{
    const TTokenShifter *shifter = TokenShifter();
    if (!shifter)
        return;
    TTokenRange ranges[2];
    const int count = TokenRanges(ranges);
    for (int i = 0; i < count; ++i)
        if (ranges[i].End > ranges[i].Start)
            apply(*shifter, ranges[i]);
}

void TTokenHolderRecord::ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount,
                                        int colPos)
{
    ForEachTokenRange([&](const TTokenShifter &shifter, const TTokenRange &r) {
        shifter.ShiftForInsert(MutableData(), r.Start, r.End, rowPos, rowCount, colPos, colCount, sheetInfo);
    });
}

void TTokenHolderRecord::OffsetForCopy(int rowOffset, int colOffset)
{
    ForEachTokenRange([&](const TTokenShifter &shifter, const TTokenRange &r) {
        shifter.OffsetForCopy(MutableData(), r.Start, r.End, rowOffset, colOffset);
    });
}

TCFRecord::TCFRecord(quint16 id, QByteArray data) : TTokenHolderRecord(id, std::move(data))
{
    RequireDataSize(6);
    if (6 + ReadWord(DataView(), 2) + ReadWord(DataView(), 4) > DataSize())
        RaiseInvalidRecord(id);
}

int TCFRecord::TokenRanges(TTokenRange ranges[2]) const
{
    // The two formulas end the record.
    const int second = ReadWord(DataView(), 4);
    const int first = ReadWord(DataView(), 2);
    const int end = DataSize();
    ranges[0] = {end - second - first, end - second};
    ranges[1] = {end - second, end};
    return 2;
}

TChartAIRecord::TChartAIRecord(quint16 id, QByteArray data) : TTokenHolderRecord(id, std::move(data))
{
    RequireDataSize(8);
    if (8 + ReadWord(DataView(), 6) > DataSize())
        RaiseInvalidRecord(id);
}

int TChartAIRecord::TokenRanges(TTokenRange ranges[2]) const
{
    ranges[0] = {8, 8 + ReadWord(DataView(), 6)};
    return 1;
}
