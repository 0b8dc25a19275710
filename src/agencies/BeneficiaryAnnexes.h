#pragma once

struct AnnexRun;

// The annexes of the aid's beneficiaries: the lists by number of months with
// the bracket table (13 and 21), the working month's cumulated list (13) and
// the payments by bracket (22).
class BeneficiaryAnnexes
{
public:
    static void annex13And21(AnnexRun &run);
    static void annex13Cumulated(AnnexRun &run);
    static void annex22(AnnexRun &run);
};
