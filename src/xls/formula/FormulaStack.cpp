#include "xls/formula/FormulaStack.h"

#include "xls/storage/ExcelException.h"

void TFormulaStack::Push(const QString &text)
{
    FItems.append(text);
    FmSpaces.clear();
    FmPreSpaces.clear();
    FmPostSpaces.clear();
}

QString TFormulaStack::Pop()
{
    if (FItems.isEmpty())
        throw EExcelException(QStringLiteral("String Stack is empty"));
    return FItems.takeLast();
}
