#include "reports/layout/BRCompositeReport.h"

#include "reports/layout/BRLayout.h"

void TBRCompositeReport::Add(TBandReport &report)
{
    Reports.push_back(&report);
    report.Job = this;
}

std::vector<TBRLaidPage> TBRCompositeReport::Run()
{
    m_cancelled = false;
    std::vector<TBRLaidPage> pages;
    TBRJobState job;
    bool closed = true;
    for (size_t i = 0; i < Reports.size() && !m_cancelled; ++i) {
        TBandReport &report = *Reports[i];
        if (!TBRLayout::WantsToPrint(report))
            continue;
        const bool last = i + 1 == Reports.size();
        runMember(report, last, job, pages);
        closed = last;
        if (report.AfterPrint)
            report.AfterPrint();
    }
    // The last member declined: the page the one before left open is kept as it stands.
    if (!closed && !m_cancelled && job.PageNumber > 0) {
        pages.push_back(std::move(job.Current));
        if (OnPage)
            OnPage(pages.back());
    }
    return pages;
}

void TBRCompositeReport::runMember(TBandReport &report, bool last, TBRJobState &job, std::vector<TBRLaidPage> &pages)
{
    const int tag = report.Tag;
    if (last)
        report.Tag = LastMemberTag;
    TBRLayout layout(report);
    layout.OnPage = OnPage;
    m_running = &layout;
    try {
        for (TBRLaidPage &p : layout.Run(&job))
            pages.push_back(std::move(p));
    } catch (...) {
        m_running = nullptr;
        report.Tag = tag;
        throw;
    }
    m_running = nullptr;
    report.Tag = tag;
    m_cancelled = m_cancelled || layout.Cancelled();
}

void TBRCompositeReport::Cancel()
{
    m_cancelled = true;
    if (m_running)
        m_running->Cancel();
}
