#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

// A page as this engine records it: a portable display list in page pixels
// (at the resolution stored with it), kept in the page store and in saved
// reports. Font, pen and brush items set the state the drawing items after
// them use, as a metafile does.
struct TBRFontSpec
{
    enum Style : quint8 { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    QString family = QStringLiteral("Arial");
    float pointSize = 10;
    quint8 style = 0;
    quint32 color = 0xff000000; // ARGB
    bool operator==(const TBRFontSpec &) const = default;
};

struct TBRPenSpec
{
    quint32 color = 0xff000000;
    float width = 1;
    quint8 style = 1; // 0 none, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot
    bool operator==(const TBRPenSpec &) const = default;
};

struct TBRBrushSpec
{
    quint32 color = 0xffffffff;
    quint8 style = 1; // 0 none (clear), 1 solid
    bool operator==(const TBRBrushSpec &) const = default;
};

enum class TBRItemKind : quint8 {
    Font = 1, Pen = 2, Brush = 3,
    Text = 4,      // text in rect, with alignment flags
    Line = 5,      // from rect.topLeft to rect.bottomRight
    Rectangle = 6, Ellipse = 7, RoundRect = 8,
    FillRect = 9,  // rect filled with color, no outline
    Image = 10,    // encoded picture (PNG) stretched into rect
    Link = 11      // an area of the page that links to text
};

struct TBRPageItem
{
    // Text flags.
    enum Flags : quint16 { AlignLeft = 0, AlignRight = 1, AlignCenter = 2, ClipToRect = 4, RightToLeft = 8 };

    TBRItemKind kind = TBRItemKind::Text;
    QRectF rect;
    QString text;            // Text, Link
    QByteArray data;         // Image
    TBRFontSpec font;        // Font
    TBRPenSpec pen;          // Pen
    TBRBrushSpec brush;      // Brush
    quint16 flags = 0;       // Text
    quint32 color = 0;       // FillRect
    float rx = 0, ry = 0;    // RoundRect corner
};

class TBRPageBody
{
public:
    static constexpr quint16 Version = 1;

    float Width = 0, Height = 0;   // page pixels
    float DpiX = 96, DpiY = 96;    // pixels per inch the page was drawn at
    std::vector<TBRPageItem> Items;

    QByteArray encode() const;
    // Raises EBRError (Romanian, with the offset) on bytes that are not a page
    // of a version this program reads.
    static TBRPageBody decode(QByteArrayView bytes);

    // The texts of the page in drawing order (text search reads them).
    QStringList Texts() const;
    bool operator==(const TBRPageBody &other) const;
};
