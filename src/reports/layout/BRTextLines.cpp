#include "reports/layout/BRTextLines.h"

#include <QFontMetricsF>
#include <QImage>

namespace {

QImage deviceAt(double dpi)
{
    QImage i(1, 1, QImage::Format_Mono);
    i.setDotsPerMeterX(qRound(dpi / 0.0254));
    i.setDotsPerMeterY(qRound(dpi / 0.0254));
    return i;
}

// Heights in native units, at 254 dots per inch.
const QImage &device()
{
    static const QImage image = deviceAt(254);
    return image;
}

// Widths as the page store draws text, at 96 dots per inch: its glyphs run
// wider than at 254, and a line measured narrower would be cut when drawn.
const QImage &pageDevice()
{
    static const QImage image = deviceAt(TBRTextLines::PageDpi);
    return image;
}

QStringList words(const QString &piece)
{
    QStringList out;
    QString word;
    for (const QChar c : piece) {
        word += c;
        if (c == u' ' || c == u'-') {
            out << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        out << word;
    return out;
}

struct Wrapper
{
    const QFont &font;
    double width;
    bool wordWrap;
    int zoom;
    QStringList &lines;
    QString line;
    bool cut = false;

    // Scaled on both sides, not divided: a text exactly as wide as its box fits whatever the rounding.
    bool fits(const QString &s) const { return TBRTextLines::Width(font, s) * zoom <= width * 100; }

    void add(QString word)
    {
        if (cut)
            return;
        if (!fits(line + word)) {
            if (line.isEmpty())
                while (!word.isEmpty() && fits(line + word.front())) {
                    line += word.front();
                    word.remove(0, 1);
                }
            lines << line;
            line.clear();
            if (!fits(word)) {
                while (!word.isEmpty() && !fits(word))
                    word.chop(1);
                lines << word;
                word.clear();
            }
            if (!wordWrap) {
                cut = true;
                return;
            }
        }
        line += word;
    }
};

} // namespace

double TBRTextLines::Width(const QFont &font, const QString &text)
{
    return QFontMetricsF(font, &pageDevice()).horizontalAdvance(text) * 254 / PageDpi;
}

double TBRTextLines::LineHeight(const QFont &font)
{
    return QFontMetricsF(font, &device()).height();
}

QStringList TBRTextLines::Format(const QFont &font, const QString &text, double width, bool autoSize, bool wordWrap,
                                 int zoom)
{
    QString t = text;
    t.remove(QChar(10));
    QStringList lines;
    for (const QString &piece : t.split(QChar(13))) {
        if (autoSize) {
            lines << piece;
            continue;
        }
        Wrapper w{font, width, wordWrap, zoom, lines, {}};
        for (const QString &word : words(piece))
            w.add(word);
        if (!w.cut)
            lines << w.line;
    }
    return lines;
}
