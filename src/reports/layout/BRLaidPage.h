#pragma once
#include "reports/model/BRBand.h"
#include <QImage>
#include <QRectF>
#include <QStringList>
#include <vector>

// One thing placed on a laid-out page, in tenths of a millimetre from the
// sheet's top left corner. Band items only mark where a band printed.
struct TBRLaidItem
{
    enum class Kind { Band, Fill, Frame, Text, Shape, Image };
    Kind kind = Kind::Text;
    QRectF Rect;
    QRectF Clip;            // text: the control's rectangle
    QString Text;
    QFont Font;
    Qt::Alignment Align = Qt::AlignLeft;
    bool RightToLeft = false; // text written right to left
    QColor Color = Qt::black;  // text and fills
    TBRFrame Frame;         // frames: the sides to draw
    TBRShapeType Shape = TBRShapeType::brsRectangle;
    TBRPen Pen;             // shapes
    TBRBrush Brush;
    double RoundFactor = 0;
    TBRBandType BandType = TBRBandType::rbDetail;
    QImage Picture;         // images: stretched over Rect
    int OutlineLevel = -1;  // text: an outline entry at that level
};

struct TBRLaidPage
{
    int Number = 0;
    double Width = 0, Length = 0;
    std::vector<TBRLaidItem> Items;
    QStringList Texts() const;
    // The band marks of one type, top to bottom as printed.
    std::vector<QRectF> BandRects(TBRBandType type) const;
    // The items of one kind, in the order they were placed.
    std::vector<const TBRLaidItem *> ItemsOf(TBRLaidItem::Kind kind) const;
};
