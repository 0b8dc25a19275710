#pragma once

#include "agencies/AgencyOffice.h"
#include "agencies/AnnexWorkbook.h"
#include "agencies/IncomeBrackets.h"

#include <QDir>
#include <QString>

class TQuery;

// What the annexes of one report run share: the office, the period, the
// disposition-number table, the folder the files go to, the query and the
// workbook being filled.
struct AnnexRun
{
    AgencyOffice office;
    ReportPeriod period;
    IncomeBrackets brackets;
    QString ajvps;
    QString folder;
    TQuery &query;
    AnnexWorkbook book;

    QString file(const QString &name) const { return QDir(folder).filePath(name); }
};
