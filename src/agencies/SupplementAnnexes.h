#pragma once

#include <QString>

class TExpXLSOLE;
struct AnnexRun;

// The supplement annexes: the working month's lists (14 to 17), the counts
// and amounts by month and bracket per energy kind (23, 24) and the holders
// per supplier (25).
class SupplementAnnexes
{
public:
    struct List
    {
        int annex;
        const char *select;  // the columns after SELECT
        const char *amount;  // the supplement's amount field
    };
    // The list of annex 14..17 as the general report selects it.
    static const List &list(int annex);

    // Opens the list's query of the working month on the run's query.
    static void openList(AnnexRun &run, const List &list);
    // The general report's lists: every sheet of 15 and 16 filled.
    static void supplementLists(AnnexRun &run);
    static void annex23And24(AnnexRun &run);
    static void annex25(AnnexRun &run);
    // Removes every sheet after the first (the lists by supplier) and makes it active.
    static void firstSheetOnly(TExpXLSOLE &filler);
};
