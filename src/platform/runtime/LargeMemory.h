#pragma once
// Large anonymous blocks on huge-page boundaries, advised to use huge pages: a block of hundreds
// of megabytes then costs a few hundred page faults instead of tens of thousands. Lists of
// millions of items live on them through TLargeBlockAllocator.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

constexpr size_t kHugePageBytes = size_t{2} << 20;

// Bytes rounded up to whole huge pages: what a block of them takes.
constexpr size_t HugePagesFor(size_t Bytes) {
    return (Bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

// Maps a block of Bytes (a multiple of kHugePageBytes) on a huge-page boundary; nullptr when the
// system has no memory. Its pages are zero and touched only as they are written.
std::byte* MapLargeBlock(size_t Bytes);

// Moves a block of OldBytes from MapLargeBlock into a new block of NewBytes (multiples of
// kHugePageBytes, NewBytes larger) without copying its content: the pages themselves move. On
// success the old block is gone; nullptr when the system has no memory, the old block then intact.
std::byte* GrowLargeBlock(std::byte* Block, size_t OldBytes, size_t NewBytes);

// Makes every page of a block from MapLargeBlock resident and writable in one call, for a block
// about to be filled whole: the pages then cost no fault each. Only a request: where the system
// declines, the pages come on first touch as usual.
void PopulateLargeBlock(std::byte* Block, size_t Bytes) noexcept;

// PopulateLargeBlock over many page-aligned stretches of blocks from MapLargeBlock at once, split
// between two threads when they are large: on a virtual machine a fresh page costs the host's
// fault as well as the clearing, and two processors take those side by side. Returns when every
// stretch is done.
struct TLargeBlockRange {
    std::byte* Data;
    size_t Bytes;
};
void PopulateLargeBlocks(const std::vector<TLargeBlockRange>& Blocks) noexcept;

// Asks for huge pages under the whole huge pages inside a heap block of Bytes that is about to be
// written whole (a string of hundreds of megabytes), before its pages are touched. Only advice.
void AdviseHugePages(void* Data, size_t Bytes) noexcept;

// Gives a block from MapLargeBlock or GrowLargeBlock back.
void UnmapLargeBlock(std::byte* Block, size_t Bytes) noexcept;

// An allocator for lists that may grow to millions of items (a grid's rows and columns): room of
// a huge page or more is mapped on huge pages, so filling it costs a fault per two megabytes
// rather than per four kilobytes; smaller room comes from the heap. Only the size decides, so
// deallocate finds the same source allocate used.
template <typename T> class TLargeBlockAllocator {
public:
    using value_type = T;
    TLargeBlockAllocator() noexcept = default;
    template <typename U> TLargeBlockAllocator(const TLargeBlockAllocator<U>&) noexcept {}

    T* allocate(size_t Count) {
        if (Count > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
        const size_t Bytes = Count * sizeof(T);
        if (Bytes < kHugePageBytes) return std::allocator<T>().allocate(Count);
        std::byte* Block = MapLargeBlock(HugePagesFor(Bytes));
        if (!Block) throw std::bad_alloc();
        return reinterpret_cast<T*>(Block);
    }
    void deallocate(T* Items, size_t Count) noexcept {
        const size_t Bytes = Count * sizeof(T);
        if (Bytes < kHugePageBytes)
            std::allocator<T>().deallocate(Items, Count);
        else
            UnmapLargeBlock(reinterpret_cast<std::byte*>(Items), HugePagesFor(Bytes));
    }
    template <typename U> bool operator==(const TLargeBlockAllocator<U>&) const noexcept { return true; }
};

// A list on TLargeBlockAllocator.
template <typename T> using TLargeVector = std::vector<T, TLargeBlockAllocator<T>>;

// Adds the room of List past its items to Fresh, when that room lies on huge pages: for a caller
// about to fill it, to make resident with PopulateLargeBlocks.
template <typename T> void AddFreshRoom(TLargeVector<T>& List, std::vector<TLargeBlockRange>& Fresh) {
    if (List.capacity() * sizeof(T) < kHugePageBytes) return;
    constexpr uintptr_t kPage = 4096;
    const auto Used = reinterpret_cast<uintptr_t>(List.data() + List.size()) / kPage * kPage;
    const auto End = reinterpret_cast<uintptr_t>(List.data() + List.capacity());
    if (End > Used) Fresh.push_back({reinterpret_cast<std::byte*>(Used), End - Used});
}
