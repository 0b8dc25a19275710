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
    // The top count texts in the order they were pushed, joined by separator
    // between prefix and suffix, taken off the stack; raises "String Stack is
    // empty" when there are fewer.
    QString PopJoined(qsizetype count, QChar separator, const QString &prefix = QString(), QChar suffix = QChar());
    // Takes the top count texts off; raises "String Stack is empty" when there are fewer.
    void Drop(qsizetype count);

    QString FmSpaces;     // before the next item
    QString FmPreSpaces;  // before the next "("
    QString FmPostSpaces; // before the next ")"

private:
    QStringList FItems;
};
