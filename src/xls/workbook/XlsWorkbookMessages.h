#pragma once

#include <QString>

// The engine's own texts for the workbook, file and facade, and the one place
// that raises them.
namespace XlsMsg {

inline const QString NoAdapter = QStringLiteral("There is no Adapter linked to the report");
inline const QString NoOpenFile = QStringLiteral("There is no open file");
inline const QString FileInvalid = QStringLiteral("Error reading Excel records. File invalid");
inline const QString InvalidInsertArgs = QStringLiteral("Ivalid arguments to call InsertAndCopyRows");
inline const QString NoVisibleSheets = QStringLiteral("There are not visible sheets on the file");
inline const QString SelectVisibleSheet =
    QStringLiteral("To save this file, you must select a visible sheet");
inline const QString MacrosNoDelete =
    QStringLiteral("Can't delete a sheet on a file containing macros");
inline const QString ClipboardNotAvailable = QStringLiteral("The clipboard is not available");
inline const QString LogicalError = QStringLiteral("XLS engine: Logical Error");

QString InvalidSheetNumber(int sheet, int low, int high);
QString CantFindFile(const QString &fileName);
QString CantWriteFile(const QString &fileName);
QString SheetNameExists(const QString &name);
QString InvalidSheetCount(int count);
QString InvalidRow(int row);
QString InvalidColumn(int col);
// Our own refusals of a workbook stream, in Romanian with the detail after.
QString OlderExcelVersion(const QString &stream, int bofVersion);
QString StreamSharesSectors(const QString &stream);
// A load error's message followed by where it stood: the sheet's name or
// "globals", the record id and its offset in the workbook stream.
QString AtLoadPlace(const QString &message, const QString &part, int recordId, qint64 offset);
// "The index "%d" of the property "%s" is not in the range %d-%d".
QString IndexOutOfRange(int index, const QString &property, int low, int high);

}  // namespace XlsMsg

// Raises the engine's exception with a text from above.
[[noreturn]] void XlsRaise(const QString &message);
