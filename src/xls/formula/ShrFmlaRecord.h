#pragma once

#include "xls/records/BaseRecord.h"

// SHRFMLA (0x04BC): a formula shared by a block of cells. Its relative
// references are offsets from each cell.
//   0  u16  first row     2  u16  last row
//   4  u8   first column  5  u8   last column
//   6  u16  reserved
//   8  u16  token bytes
//  10  ...  tokens, then array constants
class TShrFmlaRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x04BC;
    TShrFmlaRecord(quint16 id, QByteArray data);

    // The formula cell before it in the file: row + column * 65536.
    quint32 Key = 0;

    std::unique_ptr<TBaseRecord> Clone() const override;
    bool AllowsStringAfter() const override { return true; }
};
