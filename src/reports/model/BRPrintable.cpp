#include "reports/model/BRPrintable.h"

TBRPrintable TBRPrintable::label(const QString &caption, double left, double top, double width, double height)
{
    TBRPrintable p;
    p.Caption = caption;
    p.Left = left, p.Top = top, p.Width = width, p.Height = height;
    return p;
}

TBRPrintable TBRPrintable::expr(const QString &expression, double left, double top, double width, double height,
                                const QString &mask)
{
    TBRPrintable p = label(QString(), left, top, width, height);
    p.kind = Kind::Expr;
    p.Expression = expression;
    p.Mask = mask;
    return p;
}

TBRPrintable TBRPrintable::shape(TBRShapeType type, double left, double top, double width, double height)
{
    TBRPrintable p = label(QString(), left, top, width, height);
    p.kind = Kind::Shape;
    p.Shape = type;
    return p;
}

TBRPrintable TBRPrintable::image(const QImage &picture, double left, double top, double width, double height)
{
    TBRPrintable p = label(QString(), left, top, width, height);
    p.kind = Kind::Image;
    p.Picture = picture;
    return p;
}

Qt::Alignment TBRPrintable::PrintAlignment() const
{
    if (!RightToLeft() || Alignment & Qt::AlignHCenter)
        return Alignment;
    return Alignment & Qt::AlignRight ? Qt::AlignLeft : Qt::AlignRight;
}

QString TBRPrintable::DesignCaption() const
{
    if (kind != Kind::Expr)
        return Caption;
    return Expression.isEmpty() ? QStringLiteral("(none)") : Expression;
}
