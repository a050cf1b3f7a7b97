// Text cells' values: in place, or pooled entries of a length word and the characters.
#include "grid/model/CellText.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/runtime/Exception.h"

namespace {

// A pooled text: the length shifted left by one, bit 0 set for two-byte characters; then the
// characters.
struct TEntry {
    uint32_t Header;
    char Data[4];
};
constexpr size_t kHeaderBytes = offsetof(TEntry, Data);
// In place, with bit 0 set: either up to nine characters of 1 to 127 in seven bits each from bit
// 1 (the first one never 0), or up to seven of 1 to 255 in bytes 1 to 7 with bits 1 to 7 clear.
// Unused characters are 0, so a text with a zero character goes to the pool.
constexpr size_t kInPlaceAscii = 9;
constexpr size_t kInPlaceLatin1 = 7;

size_t EntryBytes(size_t Length, bool Wide) {
    return kHeaderBytes + Length * (Wide ? 2 : 1);
}

const TEntry* EntryOf(uint64_t Bits) {
    return reinterpret_cast<const TEntry*>(static_cast<uintptr_t>(Bits));
}

bool InPlace(uint64_t Bits) {
    return Bits & 1;
}

bool InPlaceAscii(uint64_t Bits) {
    return (Bits & 0xFE) != 0;
}

// The in-place text's characters into Out, which has room for nine; returns their count.
size_t InPlaceChars(uint64_t Bits, char16_t* Out) {
    size_t Count = 0;
    if (InPlaceAscii(Bits)) {
        for (; Count < kInPlaceAscii; ++Count) {
            const auto Ch = static_cast<char16_t>((Bits >> (1 + 7 * Count)) & 0x7F);
            if (Ch == 0) break;
            Out[Count] = Ch;
        }
    } else {
        for (; Count < kInPlaceLatin1; ++Count) {
            const auto Ch = static_cast<char16_t>((Bits >> (8 * (Count + 1))) & 0xFF);
            if (Ch == 0) break;
            Out[Count] = Ch;
        }
    }
    return Count;
}

// The in-place form of Value, or 0 when it does not fit one.
uint64_t InPlaceBits(std::u16string_view Value) {
    char16_t Highest = 0, Lowest = 0xFFFF;
    for (char16_t Ch : Value) {
        Highest = std::max(Highest, Ch);
        Lowest = std::min(Lowest, Ch);
    }
    if (Value.empty() || Lowest == 0) return 0;
    uint64_t Bits = 1;
    if (Highest < 0x80 && Value.size() <= kInPlaceAscii) {
        for (size_t i = 0; i < Value.size(); ++i)
            Bits |= static_cast<uint64_t>(Value[i]) << (1 + 7 * i);
        return Bits;
    }
    if (Highest <= 0xFF && Value.size() <= kInPlaceLatin1) {
        for (size_t i = 0; i < Value.size(); ++i)
            Bits |= static_cast<uint64_t>(Value[i]) << (8 * (i + 1));
        return Bits;
    }
    return 0;
}

bool FitsLatin1(std::u16string_view Value) {
    for (char16_t Ch : Value)
        if (Ch > 0xFF) return false;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCellText

size_t TCellText::Length() const {
    if (FBits == 0) return 0;
    if (InPlace(FBits)) {
        char16_t Chars[kInPlaceAscii];
        return InPlaceChars(FBits, Chars);
    }
    return EntryOf(FBits)->Header >> 1;
}

void TCellText::AppendTo(WideString& Out) const {
    if (FBits == 0) return;
    if (InPlace(FBits)) {
        char16_t Chars[kInPlaceAscii];
        Out.append(Chars, InPlaceChars(FBits, Chars));
        return;
    }
    const TEntry* Entry = EntryOf(FBits);
    const size_t Count = Entry->Header >> 1;
    if (Entry->Header & 1) {
        const size_t Start = Out.size();
        Out.resize(Start + Count);
        std::memcpy(Out.data() + Start, Entry->Data, Count * sizeof(char16_t));
        return;
    }
    const auto* Bytes = reinterpret_cast<const unsigned char*>(Entry->Data);
    const size_t Start = Out.size();
    Out.resize(Start + Count);
    char16_t* Target = Out.data() + Start;
    for (size_t i = 0; i < Count; ++i)
        Target[i] = Bytes[i];
}

WideString TCellText::ToString() const {
    WideString Out;
    Out.reserve(Length());
    AppendTo(Out);
    return Out;
}

// ---------------------------------------------------------------------------------------------
// TCellTextPool

TCellTextPool::TCellTextPool() = default;

TCellTextPool::~TCellTextPool() = default;

TSlabPool& TCellTextPool::PoolFor(size_t Bytes) {
    const size_t Index = (Bytes + kStep - 1) / kStep - 1;
    auto& Pool = FPools[Index];
    if (!Pool) Pool = std::make_unique<TSlabPool>((Index + 1) * kStep, kStep);
    return *Pool;
}

void TCellTextPool::Assign(TCellText& Slot, std::u16string_view Value) {
    // A longer length would wrap in the entry's header, and the entry would later be given back
    // to a pool that never held it.
    if (Value.size() > kMaxLength)
        throw EInvalidOperation("A cell holds at most " + std::to_string(kMaxLength) +
                                " characters; the text has " + std::to_string(Value.size()));
    TCellText Made;
    if (Value.empty()) {
        Made.FBits = 0;
    } else if (const uint64_t Bits = InPlaceBits(Value)) {
        Made.FBits = Bits;
    } else {
        const bool Wide = !FitsLatin1(Value);
        const size_t Bytes = EntryBytes(Value.size(), Wide);
        void* Memory = Bytes <= kPooledBytes ? PoolFor(Bytes).Allocate() : std::malloc(Bytes);
        if (!Memory) throw std::bad_alloc();
        auto* Entry = static_cast<TEntry*>(Memory);
        Entry->Header = static_cast<uint32_t>(Value.size() << 1) | (Wide ? 1 : 0);
        if (Wide) {
            std::memcpy(Entry->Data, Value.data(), Value.size() * sizeof(char16_t));
        } else {
            auto* Target = reinterpret_cast<unsigned char*>(Entry->Data);
            for (size_t i = 0; i < Value.size(); ++i)
                Target[i] = static_cast<unsigned char>(Value[i]);
        }
        Made.FBits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(Entry));
    }
    Release(Slot);
    Slot = Made;
}

void TCellTextPool::Release(TCellText& Slot) noexcept {
    const uint64_t Bits = Slot.FBits;
    Slot.FBits = 0;
    if (Bits == 0 || InPlace(Bits)) return;
    auto* Entry = const_cast<TEntry*>(EntryOf(Bits));
    const size_t Bytes = EntryBytes(Entry->Header >> 1, Entry->Header & 1);
    if (Bytes <= kPooledBytes)
        FPools[(Bytes + kStep - 1) / kStep - 1]->Free(Entry);
    else
        std::free(Entry);
}
