#pragma once

#include <QDate>
#include <QString>

// Pastes values into SQL and filter text. Every value that goes into a
// statement passes through here, so a name holding a quote cannot end the
// literal early.
class SqlQuote
{
public:
    // "text" with each embedded double quote doubled: the statement form.
    static QString literal(const QString &text);
    // 'text' with each embedded single quote doubled: the filter form.
    static QString filterLiteral(const QString &text);
    // A number with "." and no thousands separators (123.5, 80, -1).
    static QString number(double value);
    // "dd.MM.yyyy" in double quotes.
    static QString date(const QDate &date);
    // A table path in double quotes (a path may hold a quote too).
    static QString table(const QString &path);
};
