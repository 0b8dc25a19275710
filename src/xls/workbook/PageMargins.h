#pragma once

#include "xls/workbook/ExcelFile.h"

class TBaseRecordList;

// The four margin records of a sheet (LEFTMARGIN 0x26 to BOTTOMMARGIN 0x29),
// each one IEEE double in inches. A missing record means the default margin.
class TPageMargins
{
public:
    static TXlsMargins Read(const TBaseRecordList &records);
    static void Write(TBaseRecordList &records, const TXlsMargins &margins);
};
