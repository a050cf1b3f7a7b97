#pragma once
// Shared drawing routines: color arithmetic, gradients, alpha bitmaps, painting a parent behind a
// control, the system-derived colors and the single-line text routines.
//
// Colors given to these routines may be system colors; they are resolved before any arithmetic
// and the results are plain RGB.

#include <cstdint>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Types.h"

class TControl;

namespace NxSharedDraw {

// Raised by a failed internal assertion, e.g. an integer blend weight outside 0..255.
class EAssertionFailed : public Exception {
    using Exception::Exception;
};

// The system-derived colors of GetColor.
enum TColorElement {
    ceMenuHighlight,
    ceTaskPaneHeadFromColor,
    ceTaskPaneHeadToColor,
    ceToolBtnBorder,
    ceToolBtnFromColor,
    ceToolBtnToColor,
    ceToolBtnHFromColor,
    ceToolBtnHToColor,
    ceToolBtnDFromColor,
    ceToolBtnDToColor,
    ceToolbarFromColor,
    ceToolbarToColor,
    ceWhidbeyTabBorder,
};

// ---- color arithmetic

// Per channel (first * weight + second * (255 - weight)) >> 8; weight 0..255, otherwise
// EAssertionFailed. Truncates: white at weight 255 gives #FEFEFE.
TColor BlendColor(TColor first, TColor second, int weight);
// Per channel round(second * ratio + (1 - ratio) * first), ties to even; the low byte is kept.
TColor BlendColor(TColor first, TColor second, double ratio);
uint8_t MixBytes(uint8_t foreground, uint8_t background, uint8_t weight);
// Adds amount to every channel, clamped to 0..255.
TColor Lighten(TColor color, int amount);

// The system-derived color of an element; its value depends on whether visual styles are active.
TColor GetColor(TColorElement element);

// ---- gradients: one line per row (vertical) or column (horizontal); only the pen color changes

// Top to bottom: row y gets the ratio blend at (y - top) / height; the end color itself is never
// reached.
void DrawVertGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor);
// Left to right, one vertical line per column.
void DrawHorzGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor);
// Left to right up to the middle column, then mirrored back to the start color.
void DrawHorzReflectGrad(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor);
// Vertical blend of two colors; rows above glassHeight fade further towards white.
void DrawVertGlass(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor, int glassHeight);
// As DrawVertGlass plus a horizontal white sheen that is lightest in the middle column.
void DrawVertShine(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor, int glassHeight);
// Lightens a band at the top towards white, weight 150 in the first row and 7 less per row.
void DrawVertFade(TCanvas* canvas, const TRect& rect);
// As DrawVertGlass with the white band over the upper half and its weight raised by 75.
void DrawVistaToolbar(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor);

// ---- clipping

// Replaces the canvas's clip region with the rectangle.
void SetClipRect(TCanvas* canvas, const TRect& rect);

// ---- bitmaps

// Draws a 32-bit bitmap blended onto what the canvas holds by its per-pixel alpha (integer
// blend); other bitmaps are drawn as they are.
void ApplyBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap);
// Flattens a 32-bit bitmap onto a solid color by its alpha and draws the result.
void DrawBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor color);
// As ApplyBitmap at the rectangle's top-left, limited to the rectangle's size.
void BitmapInRect(TCanvas* canvas, const TRect& rect, TBitmap* bitmap);
// Turns a bitmap gray in place (24/32 bits: channel mean; 4 bits: embossed two-tone).
void GrayscaleBitmap(TBitmap* bitmap);
void GrayscaleSimpleBitmap(TBitmap* bitmap);
void GrayscaleValues24(uint8_t*& cursor);
void GrayscaleValues32(uint8_t*& cursor);
// Write or read one pixel's channels at a row cursor and advance it by 3 or 4 bytes.
void PutColorValues24(uint8_t*& cursor, uint8_t red, uint8_t green, uint8_t blue);
void PutColorValues32(uint8_t*& cursor, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
void SetColorValues24(uint8_t*& cursor, uint8_t& red, uint8_t& green, uint8_t& blue);
void SetColorValues32(uint8_t*& cursor, uint8_t& red, uint8_t& green, uint8_t& blue, uint8_t& alpha);
// Bitmap resources of the program drawn at a point. DrawBitmapRes is transparent with its
// bottom-left pixel when asked; DrawBitmapFromRes always with the given color.
void DrawBitmapRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName, bool transparent);
void DrawBitmapFromRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName,
                       TColor transparentColor);
// Writes a pixel-by-pixel 32-bit copy of a bitmap, alpha included.
void Save32BitBitmap(TBitmap* bitmap, const std::string& fileName);

// Paints the control's parent into the canvas, so that the control shows what lies behind it.
void DrawTransparent(TControl* control, TCanvas* canvas);

// ---- single-line text (the brush is solid afterwards)

// Single line, vertically centred, end ellipsis; "&" is a prefix unless noPrefix.
void DrawText(TCanvas* canvas, const TRect& rect, TAlignment alignment, const WideString& text,
              bool noPrefix = true);
// Left aligned, no prefix; right-to-left reading only for bdRightToLeft.
void DrawTextRect(TCanvas* canvas, const TRect& rect, const WideString& text,
                  TBiDiMode biDiMode = bdLeftToRight);
// Left aligned, "&" always a prefix.
void DrawPrefixText(TCanvas* canvas, const TRect& rect, const WideString& text);
// Embossed: highlight one pixel right and down, then shadow in place. 8-bit text.
void DrawDisabledText(TCanvas* canvas, const TRect& rect, const AnsiString& text, TAlignment alignment,
                      bool noPrefix = true);

} // namespace NxSharedDraw
