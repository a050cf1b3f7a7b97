#pragma once
// The drawing canvas: pixel-exact drawing the way the Windows GDI draws. Integer coordinates, no
// antialiasing, right and bottom edges exclusive, lines whose end point is not painted, one-pixel
// lines for pen widths 0 and 1.
//
// A canvas draws on a bitmap (TBitmap::GetCanvas) or, for the span of a paint event, on a
// window's surface (platform code attaches it through CanvasQt.h). A canvas that is attached to
// nothing ignores drawing and answers measurements with its font.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>

#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/Region.h"
#include "platform/runtime/Types.h"

class TBitmap;

// Text layout flags of DrawText.
constexpr uint32_t DT_TOP = 0x0;
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4; // single line only
constexpr uint32_t DT_BOTTOM = 0x8;  // single line only
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_EXPANDTABS = 0x40;
constexpr uint32_t DT_TABSTOP = 0x80;
constexpr uint32_t DT_NOCLIP = 0x100;
constexpr uint32_t DT_EXTERNALLEADING = 0x200;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;
constexpr uint32_t DT_INTERNAL = 0x1000;
constexpr uint32_t DT_EDITCONTROL = 0x2000;
constexpr uint32_t DT_PATH_ELLIPSIS = 0x4000;
constexpr uint32_t DT_END_ELLIPSIS = 0x8000;
constexpr uint32_t DT_MODIFYSTRING = 0x10000;
constexpr uint32_t DT_RTLREADING = 0x20000;
constexpr uint32_t DT_WORD_ELLIPSIS = 0x40000;
constexpr uint32_t DT_NOFULLWIDTHCHARBREAK = 0x80000;
constexpr uint32_t DT_HIDEPREFIX = 0x100000;
constexpr uint32_t DT_PREFIXONLY = 0x200000;

// GetPixels of a pixel that cannot be read.
constexpr TColor CLR_INVALID = 0xFFFFFFFF;

// Background modes for text.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Options of ExtTextOut / TextRect.
constexpr uint32_t ETO_OPAQUE = 0x2;
constexpr uint32_t ETO_CLIPPED = 0x4;
constexpr uint32_t ETO_RTLREADING = 0x80;

// Raster operations of CopyRect (CopyMode).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// Font metrics in pixels.
struct TTextMetric {
    int tmHeight = 0; // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

// Texts measured and shaped in a font are kept per font and text (a bounded, process-wide cache
// of the user-interface thread): a grid draws the same cell texts frame after frame. Pixels and
// sizes are the same with the cache on or off; off serves baselines and checks.
void SetTextLayoutCaching(bool Enabled);
bool GetTextLayoutCaching();
void ClearTextLayoutCache();

// Opaque fills and one-pixel lines that replace pixels are written straight into a 32-bit image
// rather than through a painter per call. The pixels are the same either way; off serves
// baselines and checks.
void SetDirectFills(bool Enabled);
bool GetDirectFills();

class TCanvas {
public:
    TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas();

    // Owned drawing objects; setting one copies the given object's attributes.
    TFont* GetFont() const;
    void SetFont(const TFont& v);
    void SetFont(const TFont* v);
    TPen* GetPen() const;
    void SetPen(const TPen& v);
    void SetPen(const TPen* v);
    TBrush* GetBrush() const;
    void SetBrush(const TBrush& v);
    void SetBrush(const TBrush* v);
    TCopyMode GetCopyMode() const;
    void SetCopyMode(TCopyMode v);

    // True while the canvas is attached to a surface it can draw on.
    bool HandleAllocated() const;

    // Lines and shapes. The pen draws outlines, the brush fills; the pen mode applies to both.
    TPoint GetPenPos() const;
    void SetPenPos(const TPoint& p);
    void MoveTo(int x, int y);
    // Draws from the current position to (x, y), leaving (x, y) unpainted; moves there.
    void LineTo(int x, int y);
    // Connected lines; the last point is not painted.
    void Polyline(std::span<const TPoint> points);
    void Polyline(std::initializer_list<TPoint> points) {
        Polyline(std::span(points.begin(), points.size()));
    }
    // Filled and outlined, closed; the fill follows the canvas's polygon fill mode.
    void Polygon(std::span<const TPoint> points);
    void Polygon(std::initializer_list<TPoint> points) { Polygon(std::span(points.begin(), points.size())); }
    // Outline on the edge pixels of (l, t, r, b) and fill inside. With a clear pen the fill covers
    // (l, t, r - 1, b - 1).
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Fills with the brush (nothing for a clear brush), ignoring the pen and its mode.
    void FillRect(const TRect& r);
    // A one-pixel frame with the brush color (nothing for a clear brush).
    void FrameRect(const TRect& r);
    // Inverts every pixel of the rectangle.
    void InvertRect(const TRect& r);
    // The dotted focus rectangle: every other pixel of the frame is combined by exclusive-or with
    // the text color or the background color, so drawing it twice removes it.
    void DrawFocusRect(const TRect& r);

    // Pixels. Reading outside the clip or the surface (or with no surface) gives CLR_INVALID.
    TColor GetPixels(int x, int y) const;
    void SetPixels(int x, int y, TColor color);

    // Copies a rectangle from another canvas (or this one; overlapping is allowed), stretching it
    // to the destination, with the copy mode.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);
    // Draws a bitmap at (x, y); a transparent bitmap leaves its transparent color undrawn.
    void Draw(int x, int y, const TBitmap& bitmap);
    void Draw(int x, int y, const TBitmap* bitmap);
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);
    void StretchDraw(const TRect& dest, const TBitmap* bitmap);

    // Text. TextOut draws a text cell with its top-left at (x, y), with the brush color behind it
    // unless the brush is clear, and moves the pen position to the end of the text.
    void TextOut(int x, int y, const WideString& text);
    void TextOut(int x, int y, const AnsiString& text);
    // As TextOut, clipped to r; unless the brush is clear, r is first filled with the brush.
    void TextRect(const TRect& r, int x, int y, const WideString& text);
    void TextRect(const TRect& r, int x, int y, const AnsiString& text);
    // ExtTextOut: ETO_OPAQUE fills r with the background color, ETO_CLIPPED clips to r.
    void ExtTextOut(int x, int y, uint32_t options, const TRect* r, const WideString& text);
    TSize TextExtent(const WideString& text) const;
    TSize TextExtent(const AnsiString& text) const;
    int TextWidth(const WideString& text) const;
    int TextWidth(const AnsiString& text) const;
    int TextHeight(const WideString& text) const;
    int TextHeight(const AnsiString& text) const;
    TTextMetric GetTextMetrics() const;

    // Lays text out in r with the DT_* flags and draws it (unless DT_CALCRECT, which only measures
    // and updates r). Returns the height of the text. Without DT_NOPREFIX, "&x" underlines x and
    // "&&" is one "&".
    int DrawText(const WideString& text, TRect& r, uint32_t format);
    int DrawText(const AnsiString& text, TRect& r, uint32_t format);
    // As DrawText; with DT_MODIFYSTRING and an ellipsis flag, text becomes what was drawn.
    int DrawTextModify(WideString& text, TRect& r, uint32_t format);

    // Device state in the manner of a device context. The brush and the font set the background
    // and text colors and the background mode anew when they change.
    TColor SetBkColor(TColor color); // return the previous value
    TColor GetBkColor() const;
    TColor SetTextColor(TColor color);
    TColor GetTextColor() const;
    int SetBkMode(int mode); // TRANSPARENT or OPAQUE
    int GetBkMode() const;
    int SetPolyFillMode(int mode); // ALTERNATE (default) or WINDING
    int GetPolyFillMode() const;
    // The logical point that appears at the surface's top-left; returns the previous origin.
    TPoint SetWindowOrg(int x, int y);
    TPoint GetWindowOrg() const;
    // Alignment of the dotted pattern of the focus rectangle and hatched brushes.
    TPoint SetBrushOrg(int x, int y);

    // Clipping. The clip region lies within the surface's own limit (the invalid region during a
    // paint event), which it can never extend. Regions are in device coordinates (as the surface
    // sees them, before the window origin applies); rectangles are logical.
    // Replaces the clip region with a copy of region (nullptr removes it). Returns the kind of
    // what can now be drawn.
    int SelectClipRgn(const TRegion* region);
    int SelectClipRgn(const TRegion& region) { return SelectClipRgn(&region); }
    // Fills region with the clip region; false when there is none.
    bool GetClipRgn(TRegion& region) const;
    int IntersectClipRect(const TRect& r);
    int ExcludeClipRect(const TRect& r);
    // The bounding box of what can be drawn, in logical coordinates.
    TRect GetClipRect() const;
    // True when some pixel of r can be drawn.
    bool RectVisible(const TRect& r) const;
    // Saves clip, origins, background and text colors and the modes (not the pen, brush and font
    // objects); returns the level (1, 2, ...).
    int SaveDC();
    // Restores a saved level (a negative number counts back from the latest). False when absent.
    bool RestoreDC(int level);

    // Sets the background color and mode from the brush and the text color from the font again.
    // (The canvas keeps OnChange of its own font, pen and brush for itself.)
    void Refresh();

    struct Impl;
    Impl& GetImpl() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
};
