#include "xls/formula/FormulaStack.h"

#include "xls/storage/ExcelException.h"

void TFormulaStack::Push(const QString &text)
{
    FItems.append(text);
    FmSpaces.clear();
    FmPreSpaces.clear();
    FmPostSpaces.clear();
}

static void raiseEmpty()
{
    throw EExcelException(QStringLiteral("String Stack is empty"));
}

void TFormulaStack::Drop(qsizetype count)
{
    if (count > FItems.size())
        raiseEmpty();
    FItems.resize(FItems.size() - count);
}

QString TFormulaStack::PopJoined(qsizetype count, QChar separator, const QString &prefix, QChar suffix)
{
    if (count > FItems.size())
        raiseEmpty();
    const qsizetype first = FItems.size() - count;
    qsizetype length = prefix.size() + count + 1;
    for (qsizetype i = first; i < FItems.size(); ++i)
        length += FItems.at(i).size();
    // One allocation and one copy of each text: function calls nest deeply.
    QString joined;
    joined.reserve(length);
    joined += prefix;
    for (qsizetype i = first; i < FItems.size(); ++i) {
        if (i > first)
            joined += separator;
        joined += FItems.at(i);
    }
    if (!suffix.isNull())
        joined += suffix;
    FItems.resize(first);
    return joined;
}

QString TFormulaStack::Pop()
{
    if (FItems.isEmpty())
        raiseEmpty();
    return FItems.takeLast();
}
