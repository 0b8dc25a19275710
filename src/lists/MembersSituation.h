#pragma once

#include <QPair>
#include <QString>

class TQuery;
class TTable;

// "Situatia membrilor": each applicant of the month's granted requests beside
// each member of the household, names split into surname and given names. A
// request without members still has its line.
class MembersSituation
{
public:
    static inline const QString Title = QStringLiteral("Situatia membrilor");

    static void Situatiamembrilor1Click();
    // Creates the members table at that path and fills it from the month's
    // granted requests; the caller removes the file.
    static void buildTable(TQuery &query, TTable &table, const QString &path, int month);
    // (surname, given names): the word before the first blank and the rest, or
    // an empty surname and the whole name when it is one word. Blanks before,
    // after and between the words do not count: "  POP   ION" gives ("POP", "ION").
    static QPair<QString, QString> SplitName(const QString &full);
    // Opens the table's rows in the list's order.
    static void select(TQuery &query, const QString &path);
};
