#pragma once
#include "reports/layout/BRLaidPage.h"
#include <functional>
#include <vector>

class TBRLayout;
struct TBRJobState;
struct TBandReport;

// Several reports laid out one after another as one job on one printer: the
// page numbers run on, and each report starts where the one before stopped,
// on the same page when it fits there.
class TBRCompositeReport
{
public:
    // The tag by which a report knows it closes a composite job.
    static constexpr int LastMemberTag = 999;

    std::vector<TBandReport *> Reports;
    std::function<void(const TBRLaidPage &)> OnPage;

    // Adds a member that from now on prints through the job.
    void Add(TBandReport &report);
    // Each member is asked by its BeforePrint, laid out, then told AfterPrint;
    // a cancelled member ends the job.
    std::vector<TBRLaidPage> Run();
    void Cancel();
    bool Cancelled() const { return m_cancelled; }

private:
    void runMember(TBandReport &report, bool last, TBRJobState &job, std::vector<TBRLaidPage> &pages);

    TBRLayout *m_running = nullptr;
    bool m_cancelled = false;
};
