// Slots carved from blocks that grow fourfold, large ones mapped on huge pages.
#include "platform/runtime/SlabPool.h"

#include "platform/runtime/LargeMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>

namespace {

constexpr size_t kFirstBlockSlots = 64;
constexpr size_t kLargestBlockSlots = 65536;

size_t RoundUp(size_t Value, size_t Step) {
    return (Value + Step - 1) / Step * Step;
}

} // namespace

TSlabPool::TSlabPool(size_t SlotSize, size_t Alignment)
    : FSlotSize(RoundUp(std::max(SlotSize, sizeof(TFreeSlot)), std::max(Alignment, alignof(TFreeSlot)))),
      FNextBlockSlots(kFirstBlockSlots) {}

void TSlabPool::TBlock::Release() noexcept {
    if (Mapped)
        UnmapLargeBlock(Data, Bytes);
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
    // Large blocks on huge pages: a million-row grid then takes a few hundred page faults.
    if (Block.Bytes >= kHugePageBytes) {
        Block.Bytes = RoundUp(Block.Bytes, kHugePageBytes);
        Block.Data = MapLargeBlock(Block.Bytes);
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
