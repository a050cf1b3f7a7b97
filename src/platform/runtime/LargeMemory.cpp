// Huge-page aligned anonymous mappings: mapping, growing by moving pages, unmapping.
#include "platform/runtime/LargeMemory.h"

#include <sys/mman.h>

#include <cstdint>

#include "platform/runtime/TwoThreads.h"

std::byte* MapLargeBlock(size_t Bytes) {
    // Map one huge page more and trim the slack on both sides to land on a boundary.
    void* Mapped =
        mmap(nullptr, Bytes + kHugePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Mapped == MAP_FAILED) return nullptr;
    auto* Start = static_cast<std::byte*>(Mapped);
    const auto Address = reinterpret_cast<uintptr_t>(Start);
    auto* Aligned =
        reinterpret_cast<std::byte*>((Address + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes);
    const size_t Head = static_cast<size_t>(Aligned - Start);
    if (Head > 0) munmap(Start, Head);
    munmap(Aligned + Bytes, kHugePageBytes - Head);
    // Only advice: without huge pages the block works the same.
    madvise(Aligned, Bytes, MADV_HUGEPAGE);
    return Aligned;
}

std::byte* GrowLargeBlock(std::byte* Block, size_t OldBytes, size_t NewBytes) {
    std::byte* Grown = MapLargeBlock(NewBytes);
    if (!Grown) return nullptr;
    // The old pages replace the new block's head; its tail stays fresh.
    if (mremap(Block, OldBytes, OldBytes, MREMAP_MAYMOVE | MREMAP_FIXED, Grown) == MAP_FAILED) {
        munmap(Grown, NewBytes);
        return nullptr;
    }
    madvise(Grown, NewBytes, MADV_HUGEPAGE);
    return Grown;
}

void PopulateLargeBlock(std::byte* Block, size_t Bytes) noexcept {
#ifndef MADV_POPULATE_WRITE
    constexpr int MADV_POPULATE_WRITE = 23;
#endif
    madvise(Block, Bytes, MADV_POPULATE_WRITE);
}

void PopulateLargeBlocks(const std::vector<TLargeBlockRange>& Blocks) noexcept {
    size_t Total = 0;
    for (const TLargeBlockRange& Block : Blocks)
        Total += Block.Bytes;
    // Half the bytes each: the blocks up to Split on a second thread, the rest here.
    size_t Split = 0;
    for (size_t Half = 0; Split < Blocks.size() && Half < Total / 2; ++Split)
        Half += Blocks[Split].Bytes;
    auto PopulateRange = [&Blocks](size_t First, size_t Last) {
        for (size_t i = First; i < Last; ++i)
            PopulateLargeBlock(Blocks[i].Data, Blocks[i].Bytes);
    };
    constexpr size_t kParallelBytes = size_t{64} << 20;
    if (Total < kParallelBytes) return PopulateRange(0, Blocks.size());
    OnTwoThreads([&] { PopulateRange(Split, Blocks.size()); }, [&] { PopulateRange(0, Split); });
}

void AdviseHugePages(void* Data, size_t Bytes) noexcept {
    const auto Start = reinterpret_cast<uintptr_t>(Data);
    const uintptr_t First = (Start + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
    const uintptr_t Last = (Start + Bytes) / kHugePageBytes * kHugePageBytes;
    if (Last > First) madvise(reinterpret_cast<void*>(First), Last - First, MADV_HUGEPAGE);
}

void UnmapLargeBlock(std::byte* Block, size_t Bytes) noexcept {
    if (Block) munmap(Block, Bytes);
}
