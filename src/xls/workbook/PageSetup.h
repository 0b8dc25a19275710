#pragma once

#include "xls/workbook/ExcelFile.h"

class TBaseRecordList;

// The print settings of a worksheet: SETUP, the fit-to-page bit of WSBOOL,
// HEADER, FOOTER and PRINTGRIDLINES. Missing records read as the defaults.
class TPageSetup
{
public:
    static TXlsPageSetup Read(const TBaseRecordList &records);
    // Raises for a value the format cannot hold, before changing anything.
    static void Write(TBaseRecordList &records, const TXlsPageSetup &setup);

    // Where a page-setting record goes among the others, so they stay in the
    // order the format lays down.
    static int PlaceFor(const TBaseRecordList &records, quint16 id);
};
