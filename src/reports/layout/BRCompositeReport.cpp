#include "reports/layout/BRCompositeReport.h"

#include "reports/layout/BRLayout.h"

namespace {

// The tag by which a report knows it closes a composite job.
constexpr int kLastMember = 999;

} // namespace

std::vector<TBRLaidPage> TBRCompositeReport::Run()
{
    m_cancelled = false;
    std::vector<TBRLaidPage> pages;
    TBRJobState job;
    for (size_t i = 0; i < Reports.size() && !m_cancelled; ++i) {
        TBandReport &report = *Reports[i];
        const int tag = report.Tag;
        if (i + 1 == Reports.size())
            report.Tag = kLastMember;
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
    return pages;
}

void TBRCompositeReport::Cancel()
{
    m_cancelled = true;
    if (m_running)
        m_running->Cancel();
}
