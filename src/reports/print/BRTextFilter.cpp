#include "reports/print/BRTextFilter.h"

#include "platform/io/DurableFile.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// The character column a text starts at, from where it is aligned on the sheet.
int startColumn(const TBRTextFilter::Run &r)
{
    const double cw = TBRTextFilter::CharWidth;
    const int len = int(r.text.size());
    if (r.align & Qt::AlignRight)
        return int(std::lround(r.rect.right() / cw)) - len;
    if (r.align & Qt::AlignHCenter)
        return int(std::lround(r.rect.center().x() / cw)) - len / 2;
    return int(std::lround(r.rect.left() / cw));
}

} // namespace

void TBRTextFilter::TextOut(const QRectF &rect, const QString &text, const QFont &, Qt::Alignment align)
{
    if (m_pages.empty())
        m_pages.emplace_back();
    if (!text.trimmed().isEmpty())
        m_pages.back().push_back({rect, text, align});
}

QStringList TBRTextFilter::PageLines(std::vector<Run> runs)
{
    std::stable_sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.rect.top() < b.rect.top(); });
    // Texts whose tops lie within half a line of a row's first text share its line.
    std::vector<std::vector<Run>> rows;
    for (const Run &r : runs) {
        if (rows.empty() || r.rect.top() - rows.back().front().rect.top() >= rows.back().front().rect.height() / 2)
            rows.emplace_back();
        rows.back().push_back(r);
    }
    int margin = INT_MAX;
    for (const Run &r : runs)
        margin = std::min(margin, std::max(0, startColumn(r)));
    QStringList lines;
    for (std::vector<Run> &row : rows) {
        std::stable_sort(row.begin(), row.end(), [](const Run &a, const Run &b) { return a.rect.left() < b.rect.left(); });
        QString line;
        for (const Run &r : row) {
            // A text never runs into the one before it.
            const int at = std::max(startColumn(r) - margin, line.isEmpty() ? 0 : int(line.size()) + 1);
            line = line.leftJustified(at, QLatin1Char(' ')) + r.text;
        }
        lines << line;
    }
    return lines;
}

void TBRTextFilter::Finish()
{
    QStringList pages;
    for (const std::vector<Run> &page : m_pages)
        pages << PageLines(page).join(QLatin1Char('\n')) + QLatin1Char('\n');
    DurableFile::save(m_path, pages.join(QLatin1Char('\f')).toUtf8());
}
