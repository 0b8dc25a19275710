#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace XlsDetail {

// Storage for objects of one size, carved from blocks of many: no heap block
// (and no allocator header) per object, and taking or giving one back is a
// list push or pop. The blocks go back to the heap (all but one) when the
// last object does, so a closed workbook leaves next to nothing held. The engine runs on one
// thread, as the pool does.
class TFixedPool
{
public:
    explicit TFixedPool(std::size_t size) : FSize(std::max((size + 7) & ~std::size_t(7), sizeof(void *))) {}
    TFixedPool(const TFixedPool &) = delete;
    TFixedPool &operator=(const TFixedPool &) = delete;

    void *Take();
    void Give(void *object);

private:
    struct TFree
    {
        TFree *Next;
    };
    static constexpr std::size_t BlockObjects = 4096;

    std::size_t FSize;
    std::vector<std::unique_ptr<char[]>> FBlocks;
    std::size_t FUsedInLast = BlockObjects;
    TFree *FFree = nullptr;
    std::size_t FLive = 0;
};

// The pool of the plain cell records (RowColRecord.h).
TFixedPool &CellPool();

}  // namespace XlsDetail
