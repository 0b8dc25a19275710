#pragma once

#include "core/OfficeSettings.h"
#include "platform/sql/TQuery.h"

class TTipStatF;

// The payment list ("Stat de plata") of the working month from "Stat.xls" of
// the data folder: every granted or modified request on sheet 1, those with an
// aid total on sheet 2, those with a solid-fuel supplement on sheet 3.
class TListareF
{
public:
    TQuery LQ1;

    // Fills the three sheets with the requests the dialog chose, signed for
    // the office, and shows the workbook.
    void ListeazaStat(const TTipStatF &selection, const OfficeSettings &office);

private:
    static void replaceTags(const OfficeSettings &office, const QString &month);
    QStringList sheetQuery(int sheet, const TTipStatF &selection) const;
};
