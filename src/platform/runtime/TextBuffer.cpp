// The text buffer's storage (the heap while small, a huge-page block once large) and its UTF-8.
#include "platform/runtime/TextBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/runtime/LargeMemory.h"
#include "platform/runtime/TwoThreads.h"

namespace {

bool IsHigh(char16_t Unit) {
    return Unit >= 0xD800 && Unit < 0xDC00;
}

bool IsLow(char16_t Unit) {
    return Unit >= 0xDC00 && Unit < 0xE000;
}

// Eight units, and eight bytes, handled as one: most of a grid's text is ASCII.
using TEightUnits = uint16_t __attribute__((vector_size(16)));
using TEightBytes = uint8_t __attribute__((vector_size(8)));

bool AnyLane(TEightUnits Lanes) {
    uint64_t Halves[2];
    std::memcpy(Halves, &Lanes, sizeof Halves);
    return (Halves[0] | Halves[1]) != 0;
}

// What ends a plain field: a tab, a line break or a quote.
bool IsFieldStop(char16_t Unit) {
    return Unit == u'\t' || Unit == u'\n' || Unit == u'\r' || Unit == u'"';
}

bool AnyFieldStop(TEightUnits Units) {
    return AnyLane((Units == u'\t') | (Units == u'\n') | (Units == u'\r') | (Units == u'"'));
}

} // namespace

TTextBuffer::TTextBuffer(size_t ExpectedBytes) {
    if (ExpectedBytes > 0) Grow(ExpectedBytes);
}

TTextBuffer::~TTextBuffer() {
    Release();
}

TTextBuffer::TTextBuffer(TTextBuffer&& Other) noexcept
    : FData(std::exchange(Other.FData, nullptr)), FSize(std::exchange(Other.FSize, 0)),
      FCapacity(std::exchange(Other.FCapacity, 0)), FUnits(std::exchange(Other.FUnits, 0)),
      FMapped(std::exchange(Other.FMapped, false)),
      FLoneSurrogates(std::exchange(Other.FLoneSurrogates, false)) {}

TTextBuffer& TTextBuffer::operator=(TTextBuffer&& Other) noexcept {
    if (this != &Other) {
        Release();
        FData = std::exchange(Other.FData, nullptr);
        FSize = std::exchange(Other.FSize, 0);
        FCapacity = std::exchange(Other.FCapacity, 0);
        FUnits = std::exchange(Other.FUnits, 0);
        FMapped = std::exchange(Other.FMapped, false);
        FLoneSurrogates = std::exchange(Other.FLoneSurrogates, false);
    }
    return *this;
}

void TTextBuffer::Release() noexcept {
    if (FMapped)
        UnmapLargeBlock(reinterpret_cast<std::byte*>(FData), HugePagesFor(FCapacity));
    else
        std::free(FData);
    FData = nullptr;
    FSize = FCapacity = FUnits = 0;
    FMapped = false;
    FLoneSurrogates = false;
}

template <bool Plain> bool TTextBuffer::Encode(std::u16string_view Text) {
    if (Text.empty()) return true;
    // Three bytes a unit at most.
    if (Text.size() > (FCapacity - FSize) / 3) Grow(FSize + Text.size() * 3);
    auto* Out = reinterpret_cast<unsigned char*>(FData + FSize);
    const size_t n = Text.size();
    bool LoneSurrogates = false;
    for (size_t i = 0; i < n; ++i) {
        // Eight ASCII units at a time, as most of a grid's text is.
        while (i + 8 <= n) {
            TEightUnits Units;
            std::memcpy(&Units, Text.data() + i, sizeof Units);
            if constexpr (Plain)
                if (AnyFieldStop(Units)) return false;
            if (AnyLane(Units & 0xFF80)) break;
            const TEightBytes Bytes = __builtin_convertvector(Units, TEightBytes);
            std::memcpy(Out, &Bytes, sizeof Bytes);
            Out += 8;
            i += 8;
        }
        if (i == n) break;
        const char32_t Unit = Text[i];
        if (Unit < 0x80) {
            if constexpr (Plain)
                if (IsFieldStop(Text[i])) return false;
            *Out++ = static_cast<unsigned char>(Unit);
        } else if (Unit < 0x800) {
            *Out++ = static_cast<unsigned char>(0xC0 | (Unit >> 6));
            *Out++ = static_cast<unsigned char>(0x80 | (Unit & 0x3F));
        } else if (IsHigh(Text[i]) && i + 1 < n && IsLow(Text[i + 1])) {
            const char32_t Code = 0x10000 + ((Unit - 0xD800) << 10) + (Text[++i] - 0xDC00);
            *Out++ = static_cast<unsigned char>(0xF0 | (Code >> 18));
            *Out++ = static_cast<unsigned char>(0x80 | ((Code >> 12) & 0x3F));
            *Out++ = static_cast<unsigned char>(0x80 | ((Code >> 6) & 0x3F));
            *Out++ = static_cast<unsigned char>(0x80 | (Code & 0x3F));
        } else {
            if (IsHigh(Text[i]) || IsLow(Text[i])) LoneSurrogates = true;
            *Out++ = static_cast<unsigned char>(0xE0 | (Unit >> 12));
            *Out++ = static_cast<unsigned char>(0x80 | ((Unit >> 6) & 0x3F));
            *Out++ = static_cast<unsigned char>(0x80 | (Unit & 0x3F));
        }
    }
    // Only now is the text taken: a plain field stopped part-way leaves the buffer as it was.
    FSize = static_cast<size_t>(reinterpret_cast<char*>(Out) - FData);
    FUnits += n;
    FLoneSurrogates = FLoneSurrogates || LoneSurrogates;
    return true;
}

template bool TTextBuffer::Encode<false>(std::u16string_view Text);
template bool TTextBuffer::Encode<true>(std::u16string_view Text);

void TTextBuffer::Append(const TTextBuffer& Other) {
    if (Other.Empty()) return;
    if (Other.FSize > FCapacity - FSize) Grow(FSize + Other.FSize);
    std::memcpy(FData + FSize, Other.FData, Other.FSize);
    FSize += Other.FSize;
    FUnits += Other.FUnits;
    FLoneSurrogates = FLoneSurrogates || Other.FLoneSurrogates;
}

char16_t* TTextBuffer::DecodeTo(char16_t* Out) const {
    // Only Append wrote the bytes, so every sequence is whole and of the forms it writes.
    const auto* In = reinterpret_cast<const unsigned char*>(FData);
    const auto* End = In + FSize;
    while (In < End) {
        while (End - In >= 8) {
            TEightBytes Bytes;
            std::memcpy(&Bytes, In, sizeof Bytes);
            uint64_t High;
            std::memcpy(&High, &Bytes, sizeof High);
            if (High & 0x8080808080808080u) break;
            const TEightUnits Units = __builtin_convertvector(Bytes, TEightUnits);
            std::memcpy(Out, &Units, sizeof Units);
            Out += 8;
            In += 8;
        }
        if (In == End) break;
        const unsigned char Lead = *In;
        if (Lead < 0x80) {
            *Out++ = Lead;
            In += 1;
        } else if (Lead < 0xE0) {
            *Out++ = static_cast<char16_t>(((Lead & 0x1F) << 6) | (In[1] & 0x3F));
            In += 2;
        } else if (Lead < 0xF0) {
            *Out++ = static_cast<char16_t>(((Lead & 0x0F) << 12) | ((In[1] & 0x3F) << 6) | (In[2] & 0x3F));
            In += 3;
        } else {
            const char32_t Code =
                ((Lead & 0x07) << 18) | ((In[1] & 0x3F) << 12) | ((In[2] & 0x3F) << 6) | (In[3] & 0x3F);
            *Out++ = static_cast<char16_t>(0xD800 + ((Code - 0x10000) >> 10));
            *Out++ = static_cast<char16_t>(0xDC00 + ((Code - 0x10000) & 0x3FF));
            In += 4;
        }
    }
    return Out;
}

void TTextBuffer::Grow(size_t MinCapacity) {
    const size_t Wanted = std::max(MinCapacity, FCapacity * 2);
    if (Wanted < kHugePageBytes) {
        const size_t Bytes = std::max<size_t>(Wanted, 32);
        void* Data = std::realloc(FData, Bytes);
        if (!Data) throw std::bad_alloc();
        FData = static_cast<char*>(Data);
        FCapacity = Bytes;
        return;
    }
    const size_t Bytes = HugePagesFor(Wanted);
    std::byte* Block;
    if (FMapped) {
        Block = GrowLargeBlock(reinterpret_cast<std::byte*>(FData), HugePagesFor(FCapacity), Bytes);
        if (!Block) throw std::bad_alloc();
    } else {
        // From the heap into the first block: the one copy, of under a huge page.
        Block = MapLargeBlock(Bytes);
        if (!Block) throw std::bad_alloc();
        if (FSize > 0) std::memcpy(Block, FData, FSize);
        std::free(FData);
        FMapped = true;
    }
    FData = reinterpret_cast<char*>(Block);
    FCapacity = Bytes;
}

size_t UnitsOf(const std::vector<TTextBuffer>& Parts) {
    size_t Units = 0;
    for (const TTextBuffer& Part : Parts)
        Units += Part.Units();
    return Units;
}

void DecodeParts(const std::vector<TTextBuffer>& Parts, char16_t* Out) {
    if (Parts.size() == 2) {
        char16_t* Second = Out + Parts[0].Units();
        OnTwoThreads([&] { Parts[0].DecodeTo(Out); }, [&] { Parts[1].DecodeTo(Second); });
    } else {
        for (const TTextBuffer& Part : Parts)
            Out = Part.DecodeTo(Out);
    }
}
