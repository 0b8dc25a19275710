#include "xls/formula/FormulaNames.h"

int TFormulaNames::FindName(const QString &text, int sheet) const
{
    for (int i = 0; i < NameCount(); ++i)
        if (NameSheet(i) == sheet && NameText(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
