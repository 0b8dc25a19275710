#include "documents/CellTextFit.h"

#include <QStringTokenizer>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Width in ems of a character of a sans-serif face, by the letter it is
// (its base letter where it has a diacritic).
double baseEm(char16_t c)
{
    if (c == u' ' || c == u'.' || c == u',' || c == u':' || c == u';' || c == u'\'' || c == u'!' || c == u'|'
        || c == u'i' || c == u'j' || c == u'l' || c == u'I')
        return 0.28;
    if (c == u'f' || c == u't' || c == u'r' || c == u'-' || c == u'/' || c == u'(' || c == u')')
        return 0.34;
    if (c == u'c' || c == u'k' || c == u's' || c == u'v' || c == u'x' || c == u'y' || c == u'z')
        return 0.5;
    if (c == u'm' || c == u'w')
        return 0.84;
    if (c == u'M' || c == u'W')
        return 0.9;
    if (c >= u'A' && c <= u'Z')
        return 0.68;
    return 0.56;
}

// A letter with a diacritic is as wide as its base letter; ASCII, which has
// none, is looked up in a table made once.
double charEm(QChar ch)
{
    static const std::array<double, 0x80> ascii = [] {
        std::array<double, 0x80> t{};
        for (char16_t c = 0; c < 0x80; ++c)
            t[c] = baseEm(c);
        return t;
    }();
    if (ch.unicode() < 0x80)
        return ascii[ch.unicode()];
    const QString base = ch.decomposition();
    return baseEm(base.isEmpty() ? ch.unicode() : base.at(0).unicode());
}

// A face other than the template's may stand in for it: room for it.
constexpr double Margin = 1.05;

double widthPt(QStringView text, double sizePt, bool bold)
{
    double ems = 0;
    for (const QChar ch : text)
        ems += charEm(ch);
    return ems * sizePt * Margin * (bold ? 1.08 : 1.0);
}

} // namespace

namespace CellTextFit {

int lines(const QString &text, double width, double sizePt, bool bold)
{
    if (width <= 0)
        return 1;
    // Most texts fit on one line whole: measured once, without looking for
    // words. The words and the blanks between them take no more than the
    // whole text; the hair of room left covers the rounding of their sums.
    if (!text.contains(u'\n') && widthPt(text, sizePt, bold) * (1 + 1e-9) <= width)
        return 1;
    const double blank = widthPt(u" ", sizePt, bold);
    int count = 0;
    // Views into the text: a row's cells are measured without copying them.
    for (const QStringView paragraph : QStringView(text).tokenize(u'\n')) {
        ++count;
        double used = 0;
        for (const QStringView word : paragraph.tokenize(u' ', Qt::SkipEmptyParts)) {
            const double w = widthPt(word, sizePt, bold);
            if (used > 0 && used + blank + w <= width) {
                used += blank + w;
                continue;
            }
            if (used > 0)
                ++count;
            // A word wider than the column runs over as many lines as it fills.
            const int extra = int(std::ceil(w / width)) - 1;
            count += std::max(extra, 0);
            used = w - extra * width;
        }
    }
    return std::max(count, 1);
}

int rowHeightTwips(int lines, double sizePt)
{
    // A line is about 1.3 times the type size; two points of padding.
    return int(std::ceil((lines * sizePt * 1.3 + 2.0) * 20.0));
}

double innerWidthPt(int widthUnits)
{
    // The cell keeps a few points clear on either side.
    return widthUnits * PointsPerWidthUnit - 3.0;
}

} // namespace CellTextFit
