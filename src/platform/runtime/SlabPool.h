#pragma once
// Fixed-size slots carved from large blocks, for millions of small objects of a few kinds (a
// grid's cells): one heap block each makes malloc and free the cost of filling and clearing.

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/runtime/LargeMemory.h"

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
    // Makes room for Slots more slots beyond the uncarved rest of the newest block, for a caller
    // about to allocate that many (a grid adding a million rows): when that is several huge
    // pages, the blocks are mapped now and added to Fresh, for the caller to make resident with
    // PopulateLargeBlocks together with whatever else it is about to fill; later allocations
    // carve them in turn. Freed slots are still reused first, so some of the room may wait for
    // later allocations. Smaller requests do nothing. Raises std::bad_alloc with the pool and
    // Fresh as they were.
    void Reserve(size_t Slots, std::vector<TLargeBlockRange>& Fresh);
    // Gives a slot of this pool back. A block whose last live slot goes is returned at once, so
    // memory follows the slots held: a grid that deletes most of its rows gives back the blocks
    // those rows filled, and one emptied of its rows gives back everything.
    void Free(void* Slot) noexcept;

    size_t GetSlotSize() const { return FSlotSize; }
    size_t GetLiveCount() const { return FLiveCount; }
    size_t GetBlockCount() const { return FBlocks.size(); }
    // Bytes of the blocks held.
    size_t GetBlockBytes() const { return FBlockBytes; }

private:
    struct TFreeSlot {
        TFreeSlot* Next;
    };
    struct TBlock {
        std::byte* Data = nullptr;
        size_t Bytes = 0;
        size_t Live = 0;
        TFreeSlot* FreeList = nullptr;
        bool Mapped = false;
        // On the stack of blocks with freed slots.
        bool Listed = false;
        void Release() noexcept;
    };
    void AddBlock();
    // Inserts a new block's record into FBlocks, in address order.
    void InsertBlock(std::unique_ptr<TBlock> Block);
    void StartCarving(TBlock* Block);
    TBlock* BlockOf(const void* Slot) noexcept;
    void ReleaseBlock(TBlock* Block) noexcept;
    void ReleaseBlocks() noexcept;

    size_t FSlotSize;
    // Ordered by address, to find a slot's block.
    std::vector<std::unique_ptr<TBlock>> FBlocks;
    // Blocks with freed slots, the one freed into last on top.
    std::vector<TBlock*> FAvailable;
    // The newest block, whose slots from FNext to FEnd were never handed out.
    TBlock* FCarving = nullptr;
    // Reserved blocks not carved yet, the next to carve last.
    std::vector<TBlock*> FReserved;
    TBlock* FLastFreed = nullptr;
    std::byte* FNext = nullptr;
    std::byte* FEnd = nullptr;
    size_t FLiveCount = 0;
    size_t FBlockBytes = 0;
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
