#pragma once

#include <QString>
#include <QStringList>

// The decoder's stack of texts. Whitespace attributes park their text here
// until the next item, "(" or ")" takes it; pushing a text clears all three.
class TFormulaStack
{
public:
    void Push(const QString &text);
    QString Pop(); // raises "String Stack is empty"
    qsizetype Count() const { return FItems.size(); }

    QString FmSpaces;     // before the next item
    QString FmPreSpaces;  // before the next "("
    QString FmPostSpaces; // before the next ")"

private:
    QStringList FItems;
};
