#pragma once
// Text cells' values in eight bytes each: short texts in place (up to nine ASCII characters or
// seven Latin-1 ones), longer ones in their store's text pool, one byte a character when Latin-1
// holds them and two otherwise. A million rows of names then cost their characters, not one heap
// block and a string object each.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/runtime/SlabPool.h"
#include "platform/runtime/Types.h"

class TCellTextPool;

// A text held for a cell; empty when made. Only its pool stores and releases texts.
class TCellText {
public:
    bool IsEmpty() const { return FBits == 0; }
    size_t Length() const;
    WideString ToString() const;
    // Appends the text to Out.
    void AppendTo(WideString& Out) const;
    // Asks the processor to fetch a pooled text's memory ahead of a read.
    void Prefetch() const {
        if (FBits != 0 && !(FBits & 1))
            __builtin_prefetch(reinterpret_cast<const void*>(static_cast<uintptr_t>(FBits)));
    }

private:
    friend class TCellTextPool;
    // Bit 0 set: in place (the forms in CellText.cpp). Otherwise 0 or the address of a pooled
    // entry (eight-byte aligned, so bit 0 is free).
    uint64_t FBits = 0;
};

class TCellTextPool {
public:
    TCellTextPool();
    ~TCellTextPool();
    TCellTextPool(const TCellTextPool&) = delete;
    TCellTextPool& operator=(const TCellTextPool&) = delete;

    // The longest text a cell holds: its length is kept in 31 bits.
    static constexpr size_t kMaxLength = 0x7FFFFFFF;

    // Stores Value in Slot, releasing what Slot held. Raises std::bad_alloc, or EInvalidOperation
    // for a text longer than kMaxLength (before reading it), with Slot unchanged.
    void Assign(TCellText& Slot, std::u16string_view Value);
    // Empties Slot, giving its memory back.
    void Release(TCellText& Slot) noexcept;

private:
    // Entries of up to kPooledBytes come from pools of eight-byte steps; longer ones from the heap.
    static constexpr size_t kStep = 8;
    static constexpr size_t kPooledBytes = 128;
    TSlabPool& PoolFor(size_t Bytes);
    std::array<std::unique_ptr<TSlabPool>, kPooledBytes / kStep> FPools;
};
