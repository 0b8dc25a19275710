#pragma once

#include "xls/workbook/ExcelFile.h"

#include <QByteArray>

// The link part of a HLINK record, from offset 8 (after the cell range):
//   8  16   the standard-link class id
//  24  u32  version, 2
//  28  u32  flags: 0x01 a target, 0x02 absolute, 0x14 a description,
//           0x08 a text mark, 0x80 a frame, 0x100 a UNC path
//  32  ...  description (u32 characters with the closing 0, UTF-16), frame
//           (same), target (a URL or file moniker, or a UNC path), text mark
class THLinkData
{
public:
    // Raises EExcelException for data that runs short or a moniker it does
    // not know.
    static THyperLink Read(const QByteArray &recordData);
    // The whole record data for the range (0-based) and the link.
    static QByteArray Build(const TXlsCellRange &range, const THyperLink &link);
};
