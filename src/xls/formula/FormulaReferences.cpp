#include "xls/formula/FormulaReferences.h"

#include "xls/storage/ExcelException.h"

QString TFormulaReferences::GetSheetName(int sheet) const
{
    throw EExcelException(QStringLiteral("Sheet number \"%1\" has no name here").arg(sheet));
}

QString TFormulaReferences::GetExternName(int, int) const
{
    return QString();
}
