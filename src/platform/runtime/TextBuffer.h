#pragma once
// A long text written once from the front, as a copy of a million cells is: it lives in one block
// that grows without copying once it is large (the pages move), and it moves to whoever takes it.
// The text is kept as UTF-8, half the memory of two-byte units for the mostly Latin texts of a
// grid, and what a paste in another program receives.

#include <cstddef>
#include <string_view>
#include <vector>

class TTextBuffer {
public:
    // Room for ExpectedBytes bytes before any growth.
    explicit TTextBuffer(size_t ExpectedBytes = 0);
    ~TTextBuffer();
    TTextBuffer(TTextBuffer&& Other) noexcept;
    TTextBuffer& operator=(TTextBuffer&& Other) noexcept;
    TTextBuffer(const TTextBuffer&) = delete;
    TTextBuffer& operator=(const TTextBuffer&) = delete;

    // Appends Text. Every unit comes back from DecodeTo exactly: a surrogate without its partner
    // in the same call (a malformed text, or a pair appended unit by unit) is kept as a three-byte
    // form of its own, which leaves the bytes short of valid UTF-8 (see IsValidUtf8). Raise
    // std::bad_alloc when the system has no memory; the text so far stays.
    void Append(std::u16string_view Text) { Encode<false>(Text); }
    // Appends Text as Append does when it holds no tab, line break or quote: a field of
    // tab-separated text that needs no quoting. Otherwise appends nothing and returns false, so
    // that the caller frames it; one pass over the text either way.
    bool AppendPlainField(std::u16string_view Text) { return Encode<true>(Text); }
    // Appends what Other holds.
    void Append(const TTextBuffer& Other);
    void Append(char16_t Ch) {
        if (Ch < 0x80 && FSize < FCapacity) {
            FData[FSize++] = static_cast<char>(Ch);
            ++FUnits;
        } else {
            Append(std::u16string_view(&Ch, 1));
        }
    }

    // The text's bytes.
    std::string_view Bytes() const { return {FData, FSize}; }
    size_t Size() const { return FSize; }
    bool Empty() const { return FSize == 0; }
    // False when a lone surrogate was kept (see Append): the bytes are then no valid UTF-8.
    bool IsValidUtf8() const { return !FLoneSurrogates; }
    // The text's length in two-byte units, and the units themselves written from Out on; returns
    // the end of what was written.
    size_t Units() const { return FUnits; }
    char16_t* DecodeTo(char16_t* Out) const;

private:
    template <bool Plain> bool Encode(std::u16string_view Text);
    void Grow(size_t MinCapacity);
    void Release() noexcept;

    char* FData = nullptr;
    size_t FSize = 0;
    size_t FCapacity = 0;
    size_t FUnits = 0;
    bool FMapped = false;
    bool FLoneSurrogates = false;
};

// A text kept in parts, one after the other (as the threads of a copy wrote them): its length in
// two-byte units, and its units written from Out on (UnitsOf of them), two parts side by side on
// two threads.
size_t UnitsOf(const std::vector<TTextBuffer>& Parts);
void DecodeParts(const std::vector<TTextBuffer>& Parts, char16_t* Out);
