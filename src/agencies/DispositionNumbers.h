#pragma once

#include <QDate>
#include <QString>

// The disposition-number table: one row per request of every month, its key
// and its disposition written "number/dd.MM.yyyy", for the annexes to join.
class DispositionNumbers
{
public:
    // Creates and fills the table under a fresh temporary name and returns
    // its path; the caller deletes it. Throws on a failing query or write.
    static QString BuildAjvpsTable(const QString &cereriPath);

    // "number/dd.MM.yyyy"; the number alone when the date is empty, so an
    // empty date never shows as a day of 1899.
    static QString DispositionText(const QString &number, const QDate &date);

    static constexpr int Width = 27;
};
