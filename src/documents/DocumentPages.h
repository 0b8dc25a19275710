#pragma once

#include <QString>

#include <functional>

class TDataSet;
class TRTFReplace;

// The road every multi-page document of the request list takes: one filled
// copy of the template body per row, a page break between rows.
namespace DocumentPages {

// Starts RTF1's document from its template, as a new document "<name>.rtf"
// in the clerk's document folder. On a missing template or an output that
// cannot be created it shows the error under the title and returns false;
// nothing is left written.
bool begin(TRTFReplace &rtf, const QString &title, const QString &name);

// From the current row to the end: addKeys, one page, and a page break
// before every row but the first.
void writeRows(TRTFReplace &rtf, TDataSet &rows, const std::function<void()> &addKeys);

// The error message of the documents: error kind, the single button OK.
void error(const QString &title, const QString &text);

} // namespace DocumentPages
