// Slots carved from blocks that grow fourfold up to one huge page, large ones mapped on huge
// pages; each block counts its live slots and goes back when none is left.
#include "platform/runtime/SlabPool.h"

#include "platform/runtime/LargeMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>

namespace {

constexpr size_t kFirstBlockSlots = 64;
// One huge page at most (or one slot, for larger ones): a block is the unit memory goes back in,
// so a few rows left scattered over a big store keep a few of these, not a few of something larger.
constexpr size_t kLargestBlockBytes = kHugePageBytes;

size_t RoundUp(size_t Value, size_t Step) {
    return (Value + Step - 1) / Step * Step;
}

// A full block: one huge page, or the huge pages one slot takes.
size_t FullBlockBytes(size_t SlotSize) {
    return HugePagesFor(std::max(kLargestBlockBytes, SlotSize));
}

uintptr_t AddressOf(const void* Pointer) {
    return reinterpret_cast<uintptr_t>(Pointer);
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
    for (auto& Block : FBlocks)
        Block->Release();
    FBlocks.clear();
    FAvailable.clear();
    FReserved.clear();
    FCarving = FLastFreed = nullptr;
    FNext = FEnd = nullptr;
    FBlockBytes = 0;
}

TSlabPool::~TSlabPool() {
    ReleaseBlocks();
}

void TSlabPool::InsertBlock(std::unique_ptr<TBlock> Block) {
    FBlockBytes += Block->Bytes;
    auto Place =
        std::upper_bound(FBlocks.begin(), FBlocks.end(), AddressOf(Block->Data),
                         [](uintptr_t Address, const auto& Item) { return Address < AddressOf(Item->Data); });
    FBlocks.insert(Place, std::move(Block));
}

void TSlabPool::StartCarving(TBlock* Block) {
    FNext = Block->Data;
    FEnd = Block->Data + Block->Bytes / FSlotSize * FSlotSize;
    FCarving = Block;
}

void TSlabPool::AddBlock() {
    if (!FReserved.empty()) {
        StartCarving(FReserved.back());
        FReserved.pop_back();
        return;
    }
    // The record and room in both lists first: if they raise, no memory is held yet, and Free
    // never needs to allocate.
    auto Block = std::make_unique<TBlock>();
    FBlocks.reserve(FBlocks.size() + 1);
    FAvailable.reserve(FBlocks.size() + 1);
    Block->Bytes = FSlotSize * FNextBlockSlots;
    // Large blocks on huge pages: a million-row grid then takes a few hundred page faults.
    if (Block->Bytes >= kHugePageBytes) {
        Block->Bytes = FullBlockBytes(FSlotSize);
        Block->Data = MapLargeBlock(Block->Bytes);
        Block->Mapped = true;
        // Slots are carved from the front until the block is full: its pages in one call rather
        // than a fault each.
        if (Block->Data) PopulateLargeBlock(Block->Data, Block->Bytes);
    } else {
        // malloc aligns for max_align_t.
        Block->Data = static_cast<std::byte*>(std::malloc(Block->Bytes));
    }
    if (!Block->Data) throw std::bad_alloc();
    StartCarving(Block.get());
    InsertBlock(std::move(Block));
    // Small grids stay small; big ones reach a huge page after a few steps, whatever the slot size.
    if (FSlotSize * FNextBlockSlots < kLargestBlockBytes) FNextBlockSlots *= 4;
}

void TSlabPool::Reserve(size_t Slots, std::vector<TLargeBlockRange>& Fresh) {
    const size_t Uncarved = static_cast<size_t>(FEnd - FNext) / FSlotSize;
    const size_t BlockBytes = FullBlockBytes(FSlotSize);
    const size_t PerBlock = BlockBytes / FSlotSize;
    size_t Room = Uncarved;
    for (const TBlock* Block : FReserved)
        Room += Block->Bytes / FSlotSize;
    if (Slots <= Room) return;
    const size_t Count = (Slots - Room + PerBlock - 1) / PerBlock;
    constexpr size_t kFewestBlocks = 4;
    if (Count < kFewestBlocks) return;
    // Every record and list entry first, then the mappings. Blocks made but not yet handed to the
    // lists go back when a later one fails.
    struct TMade {
        std::vector<std::unique_ptr<TBlock>> Blocks;
        ~TMade() {
            for (auto& Block : Blocks)
                if (Block) Block->Release();
        }
    } Made;
    Made.Blocks.reserve(Count);
    FBlocks.reserve(FBlocks.size() + Count);
    FAvailable.reserve(FBlocks.size() + Count);
    FReserved.reserve(FReserved.size() + Count);
    Fresh.reserve(Fresh.size() + Count);
    for (size_t i = 0; i < Count; ++i) {
        auto Block = std::make_unique<TBlock>();
        Block->Bytes = BlockBytes;
        Block->Mapped = true;
        Block->Data = MapLargeBlock(BlockBytes);
        if (!Block->Data) throw std::bad_alloc();
        Made.Blocks.push_back(std::move(Block));
    }
    // Under the blocks reserved before, carved in the order made. Room for all was reserved, so
    // nothing here raises.
    for (auto& Block : Made.Blocks) {
        Fresh.push_back({Block->Data, Block->Bytes});
        FReserved.insert(FReserved.begin(), Block.get());
        InsertBlock(std::move(Block));
    }
    FNextBlockSlots = std::max(FNextBlockSlots, PerBlock);
}

void* TSlabPool::Allocate() {
    void* Slot = nullptr;
    while (!FAvailable.empty()) {
        TBlock* Block = FAvailable.back();
        if (TFreeSlot* Free = Block->FreeList) {
            Block->FreeList = Free->Next;
            ++Block->Live;
            Slot = Free;
            break;
        }
        Block->Listed = false;
        FAvailable.pop_back();
    }
    if (!Slot) {
        if (FNext == FEnd) AddBlock();
        Slot = FNext;
        FNext += FSlotSize;
        ++FCarving->Live;
    }
    ++FLiveCount;
    return Slot;
}

TSlabPool::TBlock* TSlabPool::BlockOf(const void* Slot) noexcept {
    const uintptr_t Address = AddressOf(Slot);
    auto Holds = [Address](const TBlock* Block) {
        return Block && Address >= AddressOf(Block->Data) && Address < AddressOf(Block->Data) + Block->Bytes;
    };
    // Slots freed together mostly share a block.
    if (Holds(FLastFreed)) return FLastFreed;
    auto After =
        std::upper_bound(FBlocks.begin(), FBlocks.end(), Address,
                         [](uintptr_t Value, const auto& Item) { return Value < AddressOf(Item->Data); });
    return FLastFreed = std::prev(After)->get();
}

void TSlabPool::ReleaseBlock(TBlock* Block) noexcept {
    if (Block->Listed) FAvailable.erase(std::find(FAvailable.begin(), FAvailable.end(), Block));
    if (Block == FCarving) {
        FCarving = nullptr;
        FNext = FEnd = nullptr;
    }
    if (Block == FLastFreed) FLastFreed = nullptr;
    FBlockBytes -= Block->Bytes;
    Block->Release();
    FBlocks.erase(std::find_if(FBlocks.begin(), FBlocks.end(),
                               [Block](const auto& Item) { return Item.get() == Block; }));
}

void TSlabPool::Free(void* Slot) noexcept {
    if (!Slot) return;
    if (--FLiveCount == 0) {
        ReleaseBlocks();
        FNextBlockSlots = kFirstBlockSlots;
        return;
    }
    TBlock* Block = BlockOf(Slot);
    if (--Block->Live == 0) {
        ReleaseBlock(Block);
        return;
    }
    auto* Free = static_cast<TFreeSlot*>(Slot);
    Free->Next = Block->FreeList;
    Block->FreeList = Free;
    if (!Block->Listed) {
        // Room was reserved when the block was added.
        FAvailable.push_back(Block);
        Block->Listed = true;
    }
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
