#pragma once

#include "xls/records/BaseRecord.h"

// A record that ends in one or more formula token arrays. Shifting goes
// through the installed token shifter (TokenShifter.h); the ranges are
// [start, end) offsets into the data.
class TTokenHolderRecord : public TBaseRecord
{
public:
    using TBaseRecord::TBaseRecord;
    void ShiftForInsert(int rowPos, int rowCount, const TSheetInfo &sheetInfo, int colCount = 0,
                        int colPos = 0) override;
    void OffsetForCopy(int rowOffset, int colOffset) override;

protected:
    struct TTokenRange
    {
        int Start = 0;
        int End = 0;
    };
    // Up to two token ranges; empty ranges are skipped.
    virtual int TokenRanges(TTokenRange ranges[2]) const = 0;

private:
    // Calls apply(shifter, range) for each non-empty token range, when a
    // shifter is installed.
    template <typename Apply>
    void ForEachTokenRange(Apply apply);
};

// CONDFMT (0x01B0): the ranges a block of conditional formats applies to;
// stored as read.
class TCondFmtRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x01B0;
    using TBaseRecord::TBaseRecord;
};

// CF (0x01B1): one conditional format.
//   0  u8   type    1  u8   operator
//   2  u16  size of the first formula   4  u16  size of the second formula
//   6  ...  options and format blocks, then the two formulas at the end
class TCFRecord : public TTokenHolderRecord
{
public:
    static constexpr quint16 Id = 0x01B1;
    TCFRecord(quint16 id, QByteArray data);

protected:
    int TokenRanges(TTokenRange ranges[2]) const override;
};

// AI (0x1051): a chart series link.
//   0  u8   link index   1  u8   reference type   2  u16  options
//   4  u16  number format index    6  u16  token size    8  ...  tokens
class TChartAIRecord : public TTokenHolderRecord
{
public:
    static constexpr quint16 Id = 0x1051;
    TChartAIRecord(quint16 id, QByteArray data);

protected:
    int TokenRanges(TTokenRange ranges[2]) const override;
};
