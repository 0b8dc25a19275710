#pragma once

#include <QList>

// Kinds of whitespace attribute (the high byte of a stacked entry).
constexpr quint8 wsBeforeItem = 0;
constexpr quint8 wsBeforeOpenParen = 2;
constexpr quint8 wsBeforeCloseParen = 4;

// The encoder's pending whitespace: (count, kind) pairs, each kept as a u16
// with the count in the low byte and the kind in the high byte.
class TWhiteSpaceStack
{
public:
    void Push(quint8 count, quint8 kind);
    void Pop(quint8 &count, quint8 &kind);  // raises "WhiteSpace Stack is empty"
    void Peek(quint8 &count, quint8 &kind) const; // likewise
    qsizetype Count() const { return FItems.size(); }
    void Clear() { FItems.clear(); }

private:
    QList<quint16> FItems;
};
