#pragma once

#include <QString>

class TQuery;

// The steps the three lists share: the carried template filled from the
// selection and shown to the clerk. A selection without rows is told in a
// message instead of a workbook holding only its heading.
namespace ListWorkbook {

// The working month's code; 0 (and the message, under that title) when no
// working month is chosen.
int workingMonth(const QString &title);

// Fills the carried template (resource of type MODEL) from the open query
// and opens the result; false, after telling the clerk, when the query is empty.
bool show(const QString &title, const QString &resource, TQuery &rows);

} // namespace ListWorkbook
