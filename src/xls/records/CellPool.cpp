#include "xls/records/CellPool.h"

#include "xls/records/RowColRecord.h"

#include <new>

namespace XlsDetail {

// What Take does not do inline: the first block, a new block when the last
// one is used up, or every object under the address sanitizer.
void *TFixedPool::TakeFromNewBlock()
{
#ifdef XLS_POOL_CHECKED
    // Under the address sanitizer each object is a heap block of its own,
    // so a use after free is still caught.
    ++FLive;
    return ::operator new(FSize);
#else
    ++FLive;
    if (FFree) {
        TFree *object = FFree;
        FFree = object->Next;
        return object;
    }
    if (FUsedInLast == BlockObjects) {
        FBlocks.emplace_back(new char[BlockObjects * FSize]);
        FUsedInLast = 0;
    }
    return FBlocks.back().get() + FSize * FUsedInLast++;
#endif
}

// What Give does not do inline: the last object going back (which gives
// back the blocks), null, or every object under the address sanitizer.
void TFixedPool::GiveLast(void *object)
{
    if (!object)
        return;
#ifdef XLS_POOL_CHECKED
    --FLive;
    ::operator delete(object);
#else
    auto *free = static_cast<TFree *>(object);
    free->Next = FFree;
    FFree = free;
    if (--FLive == 0 && FBlocks.size() > 1) {
        // One block stays: a caller that makes and drops one cell at a time
        // must not have a block made and freed each time.
        FBlocks.resize(1);
        FFree = nullptr;
        FUsedInLast = 0;
    }
#endif
}

TFixedPool &CellPool()
{
    // Never destroyed: cells of static workbooks may go after it would have.
    static TFixedPool *pool = new TFixedPool(sizeof(TCellRecord));
    return *pool;
}

}  // namespace XlsDetail
