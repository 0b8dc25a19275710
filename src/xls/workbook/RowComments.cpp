#include "xls/workbook/RowComments.h"

bool TRowComments::Find(int row, int &index) const
{
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int at = FItems[static_cast<size_t>(middle)]->Row;
        if (at == row) {
            index = middle;
            return true;
        }
        if (at < row)
            low = middle + 1;
        else
            high = middle - 1;
    }
    index = low;
    return false;
}

void TRowComments::Add(int row, int commentIndex)
{
    int index = 0;
    if (!Find(row, index))
        FItems.insert(FItems.begin() + index, std::make_unique<TCommentRowPos>(row));
    FItems[static_cast<size_t>(index)]->Comments.append(commentIndex);
}

const TCommentRowPos &TRowComments::operator[](int row) const
{
    int index = 0;
    return Find(row, index) ? *FItems[static_cast<size_t>(index)] : FEmpty;
}
