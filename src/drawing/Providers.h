#pragma once
// The provider classes: groups of class-level drawing and geometry operations. They hold no
// state and are never instantiated.

#include <span>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

class TWinControl;

namespace NxSharedCommon {

class TCalcProvider : public TObject {
public:
    TCalcProvider() = delete;
    // value / total * 100; a zero total is not guarded.
    static double GetRatio(double value, double total);
    // True when the rectangles overlap or share an edge coordinate.
    static bool IsRectInRect(const TRect& a, const TRect& b);
    // The top-left point of a width by height box placed in the rectangle; the margin does not
    // apply to centred placement.
    static TPoint PosInRect(int width, int height, int margin, const TRect& rect, TAlignment alignment,
                            TVerticalAlignment verticalAlignment);
    static TRect ResizeRect(const TRect& rect, int dl, int dt, int dr, int db);
};

class TGraphicsProvider : public TObject {
public:
    TGraphicsProvider() = delete;
    static TColor BlendColor(TColor first, TColor second, int weight);
    static TColor BlendColor(TColor first, TColor second, double ratio);
    // Top to bottom, one horizontal line per row.
    static void DrawGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor);
    // Left to right, one vertical line per column.
    static void DrawVertGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor);
    // A raised button face: highlight top and left, shadow (or window frame) bottom and right.
    static void DrawButton(TCanvas* canvas, const TRect& rect, bool darkEdge);
    // A one-pixel highlight frame when solid, the dotted focus rectangle otherwise.
    static void DrawFocused(TCanvas* canvas, const TRect& rect, bool solid);
    static void SetClipingRect(TCanvas* canvas, const TRect& rect);
    static void SetClipingPolygon(TCanvas* canvas, std::span<const TPoint> points);
    static void DrawTextRect(TCanvas* canvas, const TRect& rect, TAlignment alignment, const WideString& text,
                             TBiDiMode biDiMode = bdLeftToRight);
    // Wrapped (or single-line) text aligned in both directions; the brush is solid afterwards.
    static void DrawWrapedTextRect(TCanvas* canvas, const TRect& rect, TAlignment alignment,
                                   TVerticalAlignment verticalAlignment, bool wordWrap,
                                   const WideString& text, TBiDiMode biDiMode = bdLeftToRight);
    // Resource bitmaps; transparent with the bottom-left pixel's color when asked (always for
    // DrawImageFromRes).
    static void DrawBitmapFromRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName,
                                  bool transparent);
    static void DrawImageFromRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName);
    // A check box placed in the rectangle: the themed 13 by 13 part with visual styles, otherwise
    // an 11 by 11 box in the button shadow color with a check mark when checked.
    static void DrawCheckBox(TCanvas* canvas, const TRect& rect, TAlignment alignment,
                             TVerticalAlignment verticalAlignment, bool checked, bool hover = false,
                             bool pressed = false, int margin = 0, TWinControl* window = nullptr);
};

class TMaskProvider : public TObject {
public:
    TMaskProvider() = delete;
    static TColor MixColors(TColor first, TColor second, int weight);
    // (red * 77 + green * 151 + blue * 28) >> 8.
    static int GetColorLevel(TColor color);
    static void GetRGB(TColor color, uint8_t& red, uint8_t& green, uint8_t& blue);
    // Draws the image through a gray-level mask of the same size; raises Exception
    // "Image and Mask size differ" otherwise.
    static void DrawMaskedImage(TCanvas* canvas, int x, int y, TBitmap* image, TBitmap* mask);
};

class TDrawProvider : public TObject {
public:
    TDrawProvider() = delete;
    // Alpha blending rounded so that alpha 255 gives the source and 0 the background exactly.
    static void ApplyBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap);
    static void DrawBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor color);
    // Draws a gray version; a 32-bit bitmap is flattened onto the color by its alpha.
    static void GrayscaleBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor color);
};

class TDisplayProvider : public TObject {
public:
    TDisplayProvider() = delete;
    // The rectangle in the highlight color with "ab" in the named font at size 8.
    static void DrawFontPreview(TCanvas* canvas, const TRect& rect, const AnsiString& fontName);
};

} // namespace NxSharedCommon
