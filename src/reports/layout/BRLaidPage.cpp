#include "reports/layout/BRLaidPage.h"

QStringList TBRLaidPage::Texts() const
{
    QStringList out;
    for (const TBRLaidItem &i : Items)
        if (i.kind == TBRLaidItem::Kind::Text)
            out << i.Text;
    return out;
}

std::vector<QRectF> TBRLaidPage::BandRects(TBRBandType type) const
{
    std::vector<QRectF> out;
    for (const TBRLaidItem &i : Items)
        if (i.kind == TBRLaidItem::Kind::Band && i.BandType == type)
            out.push_back(i.Rect);
    return out;
}

std::vector<const TBRLaidItem *> TBRLaidPage::ItemsOf(TBRLaidItem::Kind kind) const
{
    std::vector<const TBRLaidItem *> out;
    for (const TBRLaidItem &i : Items)
        if (i.kind == kind)
            out.push_back(&i);
    return out;
}
