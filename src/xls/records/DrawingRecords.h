#pragma once

#include "xls/records/BaseRecord.h"

// MSODRAWINGGROUP (0x00EB): the workbook's drawing group (pictures and
// their shared data), kept as read with its CONTINUE records.
class TDrawingGroupRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x00EB;
    using TBaseRecord::TBaseRecord;
};

// MSODRAWING (0x00EC): the drawing data of a sheet, kept as read.
class TDrawingRecord : public TBaseRecord
{
public:
    static constexpr quint16 Id = 0x00EC;
    using TBaseRecord::TBaseRecord;
};
