#pragma once
// Common drawing helpers: clipping, polylines, alpha bitmaps, focus marks, point and rectangle
// helpers, text in a rectangle, vertical text, HTML colors and a small markup renderer.
// The provider classes of this module are in Providers.h.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/runtime/Types.h"

namespace NxSharedCommon {

// True when texts go to the platform as wide strings; false converts them to 8-bit text first.
// Set once at start-up from the platform identifier.
extern bool IsUnicodeSupported;

// ---- clipping and polylines

// Replaces the canvas's clip region with the rectangle.
void SetClipRect(TCanvas* canvas, const TRect& rect);
// Replaces the canvas's clip region with the polygon over all points (winding fill).
void SetClipPoly(TCanvas* canvas, std::span<const TPoint> points);
// Mirrors the points about the rectangle's middle row, in place.
void FlipPointsVert(std::span<TPoint> points, const TRect& rect);
// Draws a copy of the points as a polyline, flipped first when asked; the caller's points stay.
void DrawPolyline(TCanvas* canvas, std::span<const TPoint> points, bool flip, const TRect& rect);

// ---- bitmaps and focus

// Draws a 32-bit bitmap blended by its alpha onto the canvas; other bitmaps as they are.
void ApplyBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap);
// The dotted focus rectangle, drawn by inverting: a second call removes it.
void DrawFocusRect(TCanvas* canvas, const TRect& rect);

// ---- geometry

// True when a lies further than distance from b on either axis.
bool PointOffset(const TPoint& a, const TPoint& b, int distance);
TRect NormalizeRect(const TRect& rect);

// ---- text

// Single line, vertically centred, no prefix, end ellipsis, aligned as asked; right-to-left
// reading for every mode but bdLeftToRight. The brush is solid afterwards.
void DrawTextRect(TCanvas* canvas, const TRect& rect, TAlignment alignment, const WideString& text,
                  TBiDiMode biDiMode = bdLeftToRight);
// 8-bit text rotated by 90 degrees (running upwards), on one line at the rectangle's bottom.
// The brush is left clear.
void DrawVerticalText(TCanvas* canvas, const TRect& rect, const AnsiString& text);

// ---- HTML colors

struct TWebColorName {
    std::string_view Name;  // lower case
    std::string_view Value; // "#RRGGBB"
};
constexpr int WebColorCount = 141;
extern const std::array<TWebColorName, WebColorCount> WebColorNames;

// The "#RRGGBB" text of a color name (any case), or the name itself when it is not known.
AnsiString GetHTMLColorName(const AnsiString& name);
// A color name or "#RRGGBB" text as a color; clNone for anything malformed.
TColor GetColorFromHTML(const AnsiString& text);
// "#RRGGBB" in upper case; system colors are resolved first.
AnsiString HTMLColorToString(TColor color);

// ---- markup

enum THtmlTag { htNone, htA, htB, htBr, htFont, htI, htU };
enum TTagParameter { tpNone, tpColor, tpName, tpHref, tpSize };

// Space kept free around the laid-out text: Left on every line start, Top above the first line.
struct TIndent {
    int Left = 0;
    int Top = 0;
};

struct THtmlLink {
    TRect Rect; // one rectangle per laid-out piece of the link's text
    WideString Href;
};

struct THtmlInfo {
    int Width = 0;  // the widest line, indent included
    int Height = 0; // all lines, indent included
    int LineCount = 0;
    std::vector<THtmlLink> Links;
    // The link under the point handed to ProcessHTML, empty when there is none.
    bool LinkAtPoint = false;
    WideString HrefAtPoint;
};

// Lays out, and when paint is set draws, text in a small markup: <a href=...> (blue, underlined,
// recorded for hit testing), <b>, <br>, <font color= name= size=>, <i>, <u>; attribute values
// may be quoted. Lines wrap at word boundaries within the rectangle's width.
THtmlInfo ProcessHTML(TCanvas* canvas, const TRect& rect, const WideString& text, TPoint point,
                      TIndent indent, bool paint);

} // namespace NxSharedCommon
