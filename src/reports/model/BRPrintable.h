#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <functional>

// The sides of a frame drawn around a printable or a band.
struct TBRFrame
{
    QColor Color = Qt::black;
    bool DrawTop = false, DrawBottom = false, DrawLeft = false, DrawRight = false;
    int Width = 1; // pen width in points
    Qt::PenStyle Style = Qt::SolidLine;
    bool Any() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }
    void All(bool on) { DrawTop = DrawBottom = DrawLeft = DrawRight = on; }
};

// Right to left swaps a text's alignment and writes it right to left.
enum class TBRBiDiMode { bdLeftToRight, bdRightToLeft };

enum class TBRShapeType { brsRectangle, brsCircle, brsVertLine, brsHorLine, brsTopAndBottom, brsRightAndLeft, brsRoundRect };

// A shape's outline.
struct TBRPen
{
    QColor Color = Qt::black;
    double Width = 1; // in points
    Qt::PenStyle Style = Qt::SolidLine;
};

// A shape's filling: a page records it solid or clear (Qt::NoBrush).
struct TBRBrush
{
    QColor Color = Qt::white;
    Qt::BrushStyle Style = Qt::SolidPattern;
};

// Whose detail records an expression's aggregates count: the controller of
// the band the control stands in, the report's, or a sub-detail's (by its
// place in the report's SubDetails).
struct TBRMaster
{
    enum class Kind { Band, Report, SubDetail };
    Kind kind = Kind::Band;
    int SubDetail = -1;
    static TBRMaster report() { return {Kind::Report, -1}; }
    static TBRMaster subDetail(int index) { return {Kind::SubDetail, index}; }
};

// A control printed inside a band: a fixed caption (label), the value of an
// expression (expression), a shape or a picture. Positions and sizes are in tenths of a
// millimetre from the band's top left corner.
struct TBRPrintable
{
    enum class Kind { Label, Expr, Shape, Image };
    Kind kind = Kind::Label;
    QString Name; // how the report names it (its back image, for one)
    double Left = 0, Top = 0, Width = 100, Height = 50;
    bool Enabled = true;
    TBRFrame Frame;
    Qt::Alignment Alignment = Qt::AlignLeft;
    bool AlignToBand = false;
    QFont Font = QFont(QStringLiteral("Arial"), 10);
    QColor FontColor = Qt::black;
    QColor Color = Qt::white;
    bool Transparent = false;
    TBRBiDiMode BiDiMode = TBRBiDiMode::bdLeftToRight;
    // Text controls.
    QString Caption;
    bool AutoSize = true;
    bool AutoStretch = false;
    bool WordWrap = true;
    // From 0 up: the first line printed adds an outline entry at that level.
    int OutlineLevel = -1;
    // Called with the text about to print; may change it (the caption stays).
    std::function<void(QString &)> OnPrint;
    // Expression controls.
    QString Expression;
    QString Mask;
    bool ResetAfterPrint = false;
    TBRMaster Master;
    // Shapes.
    TBRShapeType Shape = TBRShapeType::brsRectangle;
    TBRPen Pen;
    TBRBrush Brush;
    double RoundFactor = 0.1;
    // Pictures: stretched over the control's rectangle.
    QImage Picture;

    static TBRPrintable label(const QString &caption, double left, double top, double width, double height);
    static TBRPrintable expr(const QString &expression, double left, double top, double width, double height,
                             const QString &mask = QString());
    static TBRPrintable shape(TBRShapeType type, double left, double top, double width, double height);
    static TBRPrintable image(const QImage &picture, double left, double top, double width, double height);
    bool IsText() const { return kind == Kind::Label || kind == Kind::Expr; }
    bool RightToLeft() const { return BiDiMode == TBRBiDiMode::bdRightToLeft; }
    // The alignment the text prints with: left and right trade places right to left.
    Qt::Alignment PrintAlignment() const;
    // The caption shown at design time: an expression control shows its expression or "(none)".
    QString DesignCaption() const;
};
