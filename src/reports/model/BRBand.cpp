#include "reports/model/BRBand.h"

double TBRBand::ChainHeight() const
{
    double h = 0;
    for (const TBRBand *b = this; b; b = b->Child.get())
        if (b->Enabled)
            h += b->Height;
    return h;
}
