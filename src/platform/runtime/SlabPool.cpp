#include "platform/runtime/SlabPool.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>

namespace {

constexpr size_t kFirstBlockSlots = 64;
constexpr size_t kLargestBlockSlots = 65536;
// Large blocks sit on huge-page boundaries and ask for huge pages: a million-row grid then takes
// a few hundred page faults instead of tens of thousands.
constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t Value, size_t Step) {
    return (Value + Step - 1) / Step * Step;
}

} // namespace

TSlabPool::TSlabPool(size_t SlotSize, size_t Alignment)
    : FSlotSize(RoundUp(std::max(SlotSize, sizeof(TFreeSlot)), std::max(Alignment, alignof(TFreeSlot)))),
      FNextBlockSlots(kFirstBlockSlots) {}

namespace {

// Maps Bytes (a multiple of kHugePage) on a huge-page boundary, trimming the slack of the larger
// mapping away; nullptr when the system has no memory.
std::byte* MapHugeAligned(size_t Bytes) {
    void* Mapped =
        mmap(nullptr, Bytes + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Mapped == MAP_FAILED) return nullptr;
    auto* Start = static_cast<std::byte*>(Mapped);
    auto* Aligned = reinterpret_cast<std::byte*>(RoundUp(reinterpret_cast<uintptr_t>(Start), kHugePage));
    const size_t Head = static_cast<size_t>(Aligned - Start);
    if (Head > 0) munmap(Start, Head);
    munmap(Aligned + Bytes, kHugePage - Head);
    // Only advice: without huge pages the block works the same.
    madvise(Aligned, Bytes, MADV_HUGEPAGE);
    return Aligned;
}

} // namespace

void TSlabPool::TBlock::Release() noexcept {
    if (Mapped)
        munmap(Data, Bytes);
    else
        std::free(Data);
}

void TSlabPool::ReleaseBlocks() noexcept {
    for (TBlock& Block : FBlocks)
        Block.Release();
    FBlocks.clear();
}

TSlabPool::~TSlabPool() {
    ReleaseBlocks();
}

void TSlabPool::AddBlock() {
    // The record first: if that raises, no memory is held yet.
    FBlocks.emplace_back();
    TBlock& Block = FBlocks.back();
    Block.Bytes = FSlotSize * FNextBlockSlots;
    if (Block.Bytes >= kHugePage) {
        Block.Bytes = RoundUp(Block.Bytes, kHugePage);
        Block.Data = MapHugeAligned(Block.Bytes);
        Block.Mapped = true;
    } else {
        // malloc aligns for max_align_t.
        Block.Data = static_cast<std::byte*>(std::malloc(Block.Bytes));
    }
    if (!Block.Data) {
        FBlocks.pop_back();
        throw std::bad_alloc();
    }
    std::byte* Data = Block.Data;
    FNext = Data;
    FEnd = Data + Block.Bytes / FSlotSize * FSlotSize;
    // Small grids stay small; big ones reach large blocks after a few steps.
    FNextBlockSlots = std::min(FNextBlockSlots * 4, kLargestBlockSlots);
}

void* TSlabPool::Allocate() {
    void* Slot;
    if (FFreeList) {
        Slot = FFreeList;
        FFreeList = FFreeList->Next;
    } else {
        if (FNext == FEnd) AddBlock();
        Slot = FNext;
        FNext += FSlotSize;
    }
    ++FLiveCount;
    return Slot;
}

void TSlabPool::Free(void* Slot) noexcept {
    if (!Slot) return;
    if (--FLiveCount == 0) {
        ReleaseBlocks();
        FFreeList = nullptr;
        FNext = FEnd = nullptr;
        FNextBlockSlots = kFirstBlockSlots;
        return;
    }
    auto* Free = static_cast<TFreeSlot*>(Slot);
    Free->Next = FFreeList;
    FFreeList = Free;
}

void* TSlabPooled::operator new(size_t Size, TSlabPool& Pool) {
    if (Size > Pool.GetSlotSize()) throw std::bad_alloc();
    return Pool.Allocate();
}

void TSlabPooled::operator delete(void* Slot, TSlabPool& Pool) noexcept {
    Pool.Free(Slot);
}

void TSlabPooled::operator delete(void*) noexcept {
    // An object deleted with delete would hand a pool slot to the heap.
    std::terminate();
}
