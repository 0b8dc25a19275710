#pragma once

#include <QByteArray>

// The empty workbook new files start from: one empty worksheet, "Sheet1".
namespace EmptyWorkbook {
// The whole compound document.
QByteArray Document();
// Its "Workbook" stream.
QByteArray WorkbookStream();
}  // namespace EmptyWorkbook
