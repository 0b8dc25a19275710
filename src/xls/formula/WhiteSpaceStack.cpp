#include "xls/formula/WhiteSpaceStack.h"

#include "xls/storage/ExcelException.h"

static void raiseEmpty()
{
    throw EExcelException(QStringLiteral("WhiteSpace Stack is empty"));
}

void TWhiteSpaceStack::Push(quint8 count, quint8 kind)
{
    FItems.append(quint16(count | (kind << 8)));
}

void TWhiteSpaceStack::Pop(quint8 &count, quint8 &kind)
{
    Peek(count, kind);
    FItems.removeLast();
}

void TWhiteSpaceStack::Peek(quint8 &count, quint8 &kind) const
{
    if (FItems.isEmpty())
        raiseEmpty();
    count = quint8(FItems.last() & 0xFF);
    kind = quint8(FItems.last() >> 8);
}
