#include "reports/model/BRBand.h"

double TBRBand::ChainHeight() const
{
    double h = 0;
    for (const TBRBand *b = this; b; b = b->Child.get())
        if (b->Enabled)
            h += b->Height;
    return h;
}

bool TBRBand::SetLinkBand(TBRBand *band)
{
    for (const TBRBand *b = band; b; b = b->LinkBand)
        if (b == this)
            return false;
    LinkBand = band;
    return true;
}

double TBRBand::LinkedHeight() const
{
    double h = 0;
    for (const TBRBand *b = this; b; b = b->LinkBand)
        h += b->Height;
    return h;
}
