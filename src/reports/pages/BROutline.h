#pragma once

#include <QRect>
#include <QString>

#include <vector>

// The outline of a report: captions by level, each pointing at a place on a page.
struct TBROutlineEntry
{
    static constexpr int MaxCaption = 51;
    QString caption;
    int level = 0;
    QRect rect;   // on the page
    int page = 0;
    int id = 0;
};

class TBROutline
{
public:
    void Clear() { m_entries.clear(); }
    // The caption keeps at most 51 characters.
    void Add(TBROutlineEntry entry);
    const std::vector<TBROutlineEntry> &Entries() const { return m_entries; }
    // The rectangle and page of the entry with that identifier; an empty
    // rectangle and page 0 when none has it.
    std::pair<QRect, int> Find(int id) const;
    // For each entry, the index of the entry its tree node hangs under (-1 at
    // the top): the last entry seen one level higher.
    std::vector<int> Parents() const;

private:
    std::vector<TBROutlineEntry> m_entries;
};
