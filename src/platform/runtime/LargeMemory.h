#pragma once
// Large anonymous blocks on huge-page boundaries, advised to use huge pages: a block of hundreds
// of megabytes then costs a few hundred page faults instead of tens of thousands.

#include <cstddef>

constexpr size_t kHugePageBytes = size_t{2} << 20;

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

// Gives a block from MapLargeBlock or GrowLargeBlock back.
void UnmapLargeBlock(std::byte* Block, size_t Bytes) noexcept;
