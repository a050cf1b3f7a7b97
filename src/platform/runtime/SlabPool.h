#pragma once
// Fixed-size slots carved from large blocks, for millions of small objects of a few kinds (a
// grid's cells): one heap block each makes malloc and free the cost of filling and clearing.

#include <cstddef>
#include <vector>

class TSlabPool {
public:
    // Slots of at least SlotSize bytes on Alignment boundaries (a power of two, at most that of
    // std::max_align_t).
    explicit TSlabPool(size_t SlotSize, size_t Alignment = alignof(std::max_align_t));
    // Releases the blocks; every object placed in them must be destroyed before.
    ~TSlabPool();
    TSlabPool(const TSlabPool&) = delete;
    TSlabPool& operator=(const TSlabPool&) = delete;

    // A slot of SlotSize bytes; reuses freed slots first. Raises std::bad_alloc.
    void* Allocate();
    // Gives a slot of this pool back. When the last live slot goes, the blocks go too, so a grid
    // emptied of its rows returns its memory.
    void Free(void* Slot) noexcept;

    size_t GetSlotSize() const { return FSlotSize; }
    size_t GetLiveCount() const { return FLiveCount; }
    size_t GetBlockCount() const { return FBlocks.size(); }

private:
    struct TFreeSlot {
        TFreeSlot* Next;
    };
    struct TBlock {
        std::byte* Data = nullptr;
        size_t Bytes = 0;
        bool Mapped = false;
        void Release() noexcept;
    };
    void AddBlock();
    void ReleaseBlocks() noexcept;

    size_t FSlotSize;
    std::vector<TBlock> FBlocks;
    TFreeSlot* FFreeList = nullptr;
    std::byte* FNext = nullptr;
    std::byte* FEnd = nullptr;
    size_t FLiveCount = 0;
    size_t FNextBlockSlots;
};

// Base of classes whose objects live in a TSlabPool: `new (Pool) T(...)` places one, and the
// pool's owner destroys it and frees the slot. A plain new or delete of such a class does not
// compile; the pool form of delete frees the slot when a constructor raises.
class TSlabPooled {
public:
    static void* operator new(size_t Size, TSlabPool& Pool);
    static void operator delete(void* Slot, TSlabPool& Pool) noexcept;
    static void* operator new(size_t Size) = delete;

protected:
    // Only a virtual destructor's deleting form refers to it, and nothing calls that form.
    static void operator delete(void* Slot) noexcept;
};
