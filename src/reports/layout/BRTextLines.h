#pragma once
#include <QFont>
#include <QStringList>

// Measures text in tenths of a millimetre (at 254 dots per inch) and cuts a
// text into the lines a control of a given width prints.
class TBRTextLines
{
public:
    // The resolution of the page store, whose drawing the widths follow.
    static constexpr double PageDpi = 96;
    static double Width(const QFont &font, const QString &text);
    // The height of "W": the line height.
    static double LineHeight(const QFont &font);
    // Line feeds are dropped, carriage returns (and new lines) cut the text;
    // with autoSize each piece is one line, otherwise it is wrapped to `width`
    // at blanks and hyphens. A word wider than the width fills a line with the
    // characters that fit and its rest is cut at its end. Without wordWrap the
    // words after the first cut are dropped. Text is measured at zoom percent.
    static QStringList Format(const QFont &font, const QString &text, double width, bool autoSize, bool wordWrap,
                              int zoom = 100);
};
