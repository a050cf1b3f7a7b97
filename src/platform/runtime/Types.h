#pragma once
// Basic value types of the platform vocabulary: strings, points, rectangles and small enum sets.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>

// A wide string holds UTF-16 units, one unit per character as the component set counts them.
using WideString = std::u16string;
using WideChar = char16_t;
// An 8-bit string in the system's 8-bit code page (see CodePage.h).
using AnsiString = std::string;

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int32_t x, int32_t y) : X(x), Y(y) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// Right and bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int32_t l, int32_t t, int32_t r, int32_t b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr int32_t Width() const { return Right - Left; }
    constexpr int32_t Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int32_t l, int32_t t, int32_t r, int32_t b) {
    return {l, t, r, b};
}
constexpr TPoint Point(int32_t x, int32_t y) {
    return {x, y};
}
constexpr bool PtInRect(const TRect& r, const TPoint& p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
// The intersection; false (and an empty rectangle) when they do not overlap.
inline bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
    dst = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
           std::min(a.Bottom, b.Bottom)};
    if (dst.IsEmpty()) {
        dst = {};
        return false;
    }
    return true;
}
inline void OffsetRect(TRect& r, int32_t dx, int32_t dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}
inline void InflateRect(TRect& r, int32_t dx, int32_t dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

// A set of enumeration members (up to 64), like `TGridOptions` or `TFontStyles`.
template <typename E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items)
            Include(e);
    }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr TSet& Include(E e) {
        FBits |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        FBits &= ~Bit(e);
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint64_t Bits() const { return FBits; }
    static constexpr TSet FromBits(uint64_t bits) {
        TSet s;
        s.FBits = bits;
        return s;
    }
    constexpr TSet operator+(const TSet& o) const { return FromBits(FBits | o.FBits); }
    constexpr TSet operator-(const TSet& o) const { return FromBits(FBits & ~o.FBits); }
    constexpr TSet operator*(const TSet& o) const { return FromBits(FBits & o.FBits); }
    constexpr TSet& operator+=(const TSet& o) { return *this = *this + o; }
    constexpr TSet& operator-=(const TSet& o) { return *this = *this - o; }
    constexpr TSet& operator*=(const TSet& o) { return *this = *this * o; }
    // Subset test: every member of this set is in o.
    constexpr bool operator<=(const TSet& o) const { return (FBits & ~o.FBits) == 0; }
    friend constexpr bool operator==(const TSet&, const TSet&) = default;

private:
    static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
    uint64_t FBits = 0;
};

// A screen cursor number: negative numbers are the stock cursors, positive ones are registered
// with the screen (1000 "REVERSEDARROW", 3000 to 3006, 4003 to 4005).
using TCursor = int16_t;

// Result codes of the few system-style calls (GUIDs, visual styles).
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_HANDLE = static_cast<HRESULT>(0x80070006u);

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
