#pragma once

#include "xls/records/BaseRecord.h"

// ARRAY (0x0221): an array formula, kept with the formula before it and
// written back unchanged.
//   0  u16  first row     2  u16  last row
//   4  u8   first column  5  u8   last column
//   6  u16  options
//   8  u32  reserved
//  12  u16  token bytes
//  14  ...  tokens
class TArrayRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x0221;
    TArrayRecord(quint16 id, QByteArray data);
    bool AllowsStringAfter() const override { return true; }
    std::unique_ptr<TBaseRecord> Clone() const override;
};
