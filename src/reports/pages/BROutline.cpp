#include "reports/pages/BROutline.h"

#include <map>

void TBROutline::Add(TBROutlineEntry entry)
{
    entry.caption.truncate(TBROutlineEntry::MaxCaption);
    m_entries.push_back(std::move(entry));
}

std::pair<QRect, int> TBROutline::Find(int id) const
{
    for (const TBROutlineEntry &e : m_entries)
        if (e.id == id)
            return {e.rect, e.page};
    return {QRect(), 0};
}

std::vector<int> TBROutline::Parents() const
{
    std::vector<int> parents;
    std::map<int, int> lastAtLevel;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const int level = m_entries[i].level;
        const auto above = lastAtLevel.find(level - 1);
        parents.push_back(above == lastAtLevel.end() ? -1 : above->second);
        lastAtLevel[level] = int(i);
        // A shallower entry ends the deeper branches under the one before.
        lastAtLevel.erase(lastAtLevel.upper_bound(level), lastAtLevel.end());
    }
    return parents;
}
