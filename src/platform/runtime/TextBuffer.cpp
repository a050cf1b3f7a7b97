// The text buffer's storage: the heap while small, a huge-page block once large.
#include "platform/runtime/TextBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/runtime/LargeMemory.h"

namespace {

size_t BlockBytes(size_t Characters) {
    const size_t Bytes = Characters * sizeof(char16_t);
    return (Bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

} // namespace

TTextBuffer::TTextBuffer(size_t ExpectedLength) {
    if (ExpectedLength > 0) Grow(ExpectedLength);
}

TTextBuffer::~TTextBuffer() {
    Release();
}

TTextBuffer::TTextBuffer(TTextBuffer&& Other) noexcept
    : FData(std::exchange(Other.FData, nullptr)), FSize(std::exchange(Other.FSize, 0)),
      FCapacity(std::exchange(Other.FCapacity, 0)), FMapped(std::exchange(Other.FMapped, false)) {}

TTextBuffer& TTextBuffer::operator=(TTextBuffer&& Other) noexcept {
    if (this != &Other) {
        Release();
        FData = std::exchange(Other.FData, nullptr);
        FSize = std::exchange(Other.FSize, 0);
        FCapacity = std::exchange(Other.FCapacity, 0);
        FMapped = std::exchange(Other.FMapped, false);
    }
    return *this;
}

void TTextBuffer::Release() noexcept {
    if (FMapped)
        UnmapLargeBlock(reinterpret_cast<std::byte*>(FData), BlockBytes(FCapacity));
    else
        std::free(FData);
    FData = nullptr;
    FSize = FCapacity = 0;
    FMapped = false;
}

void TTextBuffer::Append(std::u16string_view Text) {
    if (Text.empty()) return;
    if (Text.size() > FCapacity - FSize) Grow(FSize + Text.size());
    std::memcpy(FData + FSize, Text.data(), Text.size() * sizeof(char16_t));
    FSize += Text.size();
}

void TTextBuffer::Grow(size_t MinCapacity) {
    const size_t Wanted = std::max(MinCapacity, FCapacity * 2);
    if (Wanted * sizeof(char16_t) < kHugePageBytes) {
        void* Data = std::realloc(FData, std::max<size_t>(Wanted, 16) * sizeof(char16_t));
        if (!Data) throw std::bad_alloc();
        FData = static_cast<char16_t*>(Data);
        FCapacity = std::max<size_t>(Wanted, 16);
        return;
    }
    const size_t Bytes = BlockBytes(Wanted);
    std::byte* Block;
    if (FMapped) {
        Block = GrowLargeBlock(reinterpret_cast<std::byte*>(FData), BlockBytes(FCapacity), Bytes);
        if (!Block) throw std::bad_alloc();
    } else {
        // From the heap into the first block: the one copy, of under a huge page.
        Block = MapLargeBlock(Bytes);
        if (!Block) throw std::bad_alloc();
        if (FSize > 0) std::memcpy(Block, FData, FSize * sizeof(char16_t));
        std::free(FData);
        FMapped = true;
    }
    FData = reinterpret_cast<char16_t*>(Block);
    FCapacity = Bytes / sizeof(char16_t);
}
