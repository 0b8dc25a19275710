#pragma once

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XLS_POOL_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define XLS_POOL_CHECKED 1
#endif

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

    // Inline: a workbook takes and gives a cell at a time, hundreds of
    // thousands of them; only a new block or the last cell going calls out.
    void *Take()
    {
#ifndef XLS_POOL_CHECKED
        if (FFree) {
            ++FLive;
            TFree *object = FFree;
            FFree = object->Next;
            return object;
        }
        if (FUsedInLast < BlockObjects) {
            ++FLive;
            return FBlocks.back().get() + FSize * FUsedInLast++;
        }
#endif
        return TakeFromNewBlock();
    }
    void Give(void *object)
    {
#ifndef XLS_POOL_CHECKED
        if (object && FLive > 1) {
            --FLive;
            auto *free = static_cast<TFree *>(object);
            free->Next = FFree;
            FFree = free;
            return;
        }
#endif
        GiveLast(object);
    }

private:
    void *TakeFromNewBlock();
    void GiveLast(void *object);

    struct TFree
    {
        TFree *Next;
    };
    static constexpr std::size_t BlockObjects = 4096;

    std::size_t FSize;
    std::vector<std::unique_ptr<char[]>> FBlocks;
    // Unused under the address sanitizer, where every object is a heap block.
    [[maybe_unused]] std::size_t FUsedInLast = BlockObjects;
    [[maybe_unused]] TFree *FFree = nullptr;
    std::size_t FLive = 0;
};

// The pool of the plain cell records (RowColRecord.h).
TFixedPool &CellPool();

}  // namespace XlsDetail
