#pragma once
// Regions: sets of pixels built from rectangles, polygons and ellipses, used as clip regions of a
// canvas and as window shapes. A TRegion is a value: copying it copies the region, and there is
// nothing to delete.

#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "platform/runtime/Types.h"

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// Region combination modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// Region kinds returned by the combining and clipping operations.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

class TRegion {
public:
    TRegion(); // empty
    TRegion(const TRegion& other);
    TRegion(TRegion&& other) noexcept;
    TRegion& operator=(const TRegion& other);
    TRegion& operator=(TRegion&& other) noexcept;
    ~TRegion();

    // The pixels of the rectangle (right and bottom exclusive).
    static TRegion FromRect(const TRect& r);
    // The pixels whose centres lie inside the polygon, by the given fill mode (ALTERNATE, WINDING).
    static TRegion FromPolygon(std::span<const TPoint> points, int fillMode = ALTERNATE);
    // The ellipse inscribed in the rectangle.
    static TRegion FromEllipse(const TRect& r);
    // The rectangle with corners rounded by ellipses of the given width and height.
    static TRegion FromRoundRect(const TRect& r, int ellipseWidth, int ellipseHeight);

    bool IsEmpty() const;
    // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
    int Kind() const;
    // The smallest rectangle holding the region; empty for an empty region.
    TRect GetBox() const;
    bool Contains(int x, int y) const;
    bool Intersects(const TRect& r) const;
    void Offset(int dx, int dy);
    // The region as disjoint rectangles.
    std::vector<TRect> GetRects() const;

    TRegion Intersected(const TRegion& other) const;
    TRegion United(const TRegion& other) const;
    TRegion Subtracted(const TRegion& other) const;
    TRegion Xored(const TRegion& other) const;

    friend bool operator==(const TRegion& a, const TRegion& b);

    struct Impl;
    Impl& GetImpl() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
};

// The classic region calls.
TRegion CreateRectRgn(int left, int top, int right, int bottom);
TRegion CreateRectRgnIndirect(const TRect& r);
TRegion CreatePolygonRgn(const TPoint* points, int count, int fillMode);
TRegion CreatePolygonRgn(std::initializer_list<TPoint> points, int fillMode);
TRegion CreateEllipticRgn(int left, int top, int right, int bottom);
TRegion CreateEllipticRgnIndirect(const TRect& r);
TRegion CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
// dst := a <mode> b (b is ignored for RGN_COPY); returns the kind of the result.
int CombineRgn(TRegion& dst, const TRegion& a, const TRegion& b, int mode);
int OffsetRgn(TRegion& region, int dx, int dy);
int GetRgnBox(const TRegion& region, TRect& box);
bool PtInRegion(const TRegion& region, int x, int y);
bool RectInRegion(const TRegion& region, const TRect& r);
bool EqualRgn(const TRegion& a, const TRegion& b);
