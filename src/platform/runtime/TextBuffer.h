#pragma once
// A long text written once from the front, as a copy of a million cells is: it lives in one block
// that grows without copying once it is large (the pages move), and it moves to whoever takes it.

#include <cstddef>
#include <string_view>

class TTextBuffer {
public:
    // Room for ExpectedLength characters before any growth.
    explicit TTextBuffer(size_t ExpectedLength = 0);
    ~TTextBuffer();
    TTextBuffer(TTextBuffer&& Other) noexcept;
    TTextBuffer& operator=(TTextBuffer&& Other) noexcept;
    TTextBuffer(const TTextBuffer&) = delete;
    TTextBuffer& operator=(const TTextBuffer&) = delete;

    // Raise std::bad_alloc when the system has no memory; the text so far stays.
    void Append(std::u16string_view Text);
    void Append(char16_t Ch) {
        if (FSize == FCapacity) Grow(FSize + 1);
        FData[FSize++] = Ch;
    }

    const char16_t* Data() const { return FData; }
    size_t Size() const { return FSize; }
    bool Empty() const { return FSize == 0; }
    std::u16string_view View() const { return {FData, FSize}; }

private:
    void Grow(size_t MinCapacity);
    void Release() noexcept;

    char16_t* FData = nullptr;
    size_t FSize = 0;
    size_t FCapacity = 0;
    bool FMapped = false;
};
