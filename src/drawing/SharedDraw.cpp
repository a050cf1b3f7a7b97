// Color blending, gradients and glass fills, alpha bitmaps, single-line and embossed text.
#include "drawing/SharedDraw.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <memory>
#include <string>

#include "drawing/SharedCommon.h"
#include "drawing/ThemesSupport.h"
#include "platform/runtime/CodePage.h"
#include "platform/windows/Controls.h"

namespace NxSharedDraw {

namespace {

// Rounds to nearest with ties to even, whatever rounding mode the caller left behind.
long double RoundHalfEven(long double v) {
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double r = std::nearbyintl(v);
    std::fesetround(saved);
    return r;
}

uint8_t LowByte(long double v) {
    // Values far outside the channel range still wrap like the low byte of an integer.
    const long double r = RoundHalfEven(v);
    if (!std::isfinite(r)) return 0;
    const long double wrapped = std::fmod(r, 256.0L);
    return static_cast<uint8_t>(static_cast<int>(wrapped < 0 ? wrapped + 256.0L : wrapped));
}

uint8_t IntegerMix(uint8_t a, uint8_t b, int weight) {
    return static_cast<uint8_t>((a * weight + b * (255 - weight)) >> 8);
}

[[noreturn]] void AssertionFailure(int line) {
    throw EAssertionFailed("Assertion failure (SharedDraw.cpp, line " + std::to_string(line) + ")");
}

// A 32-bit pixel at a row cursor: blue, green, red, alpha.
struct Bgra {
    uint8_t b, g, r, a;
};

std::unique_ptr<TBitmap> CopyCanvasArea(TCanvas* canvas, int x, int y, int w, int h, TPixelFormat format) {
    auto buffer = std::make_unique<TBitmap>(w, h, format);
    buffer->GetCanvas()->CopyRect(Rect(0, 0, w, h), *canvas, Rect(x, y, x + w, y + h));
    return buffer;
}

// Blends the w by h top-left part of a 32-bit bitmap onto the canvas area at (x, y) by its alpha.
void BlendAlphaOnto(TCanvas* canvas, int x, int y, const TBitmap& bitmap, int w, int h) {
    if (w <= 0 || h <= 0) return;
    auto work = std::make_unique<TBitmap>(w, h, pf32bit);
    auto back = CopyCanvasArea(canvas, x, y, w, h, pf24bit);
    for (int row = 0; row < h; ++row) {
        const uint8_t* src = bitmap.ScanLine(row);
        const uint8_t* bg = back->ScanLine(row);
        uint8_t* dst = work->ScanLine(row);
        for (int col = 0; col < w; ++col, src += 4, bg += 3, dst += 4) {
            const int a = src[3];
            dst[0] = IntegerMix(src[0], bg[0], a);
            dst[1] = IntegerMix(src[1], bg[1], a);
            dst[2] = IntegerMix(src[2], bg[2], a);
            dst[3] = src[3];
        }
    }
    // The working copy already holds the blend: it goes onto the canvas as plain pixels.
    work->SetPixelFormat(pf24bit);
    canvas->Draw(x, y, *work);
}

void DrawSingleLine(TCanvas* canvas, const TRect& rect, const WideString& text, uint32_t flags) {
    canvas->GetBrush()->SetStyle(bsClear);
    TRect r = rect;
    if (NxSharedCommon::IsUnicodeSupported)
        canvas->DrawText(text, r, flags);
    else
        canvas->DrawText(WideToAnsi(text), r, flags);
    canvas->GetBrush()->SetStyle(bsSolid);
}

uint32_t AlignmentFlag(TAlignment alignment) {
    switch (alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

// Rows of a vertical blend in a 24-bit buffer; whiteFrom(row) gives the extra weight towards
// white for that row (0 for none).
template <typename RowWhite, typename PixelExtra>
void FillGlassBuffer(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor,
                     RowWhite rowWhite, PixelExtra pixelExtra) {
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    auto buffer = CopyCanvasArea(canvas, rect.Left, rect.Top, w, h, pf24bit);
    for (int row = 0; row < h; ++row) {
        TColor c = BlendColor(startColor, endColor, static_cast<double>(row) / h);
        const int white = rowWhite(row);
        if (white > 0) c = BlendColor(clWhite, c, std::clamp(white, 0, 255));
        uint8_t* p = buffer->ScanLine(row);
        for (int col = 0; col < w; ++col, p += 3) {
            TColor pc = pixelExtra(c, col, w);
            p[0] = GetBValue(pc);
            p[1] = GetGValue(pc);
            p[2] = GetRValue(pc);
        }
    }
    canvas->Draw(rect.Left, rect.Top, *buffer);
}

} // namespace

TColor BlendColor(TColor first, TColor second, int weight) {
    if (static_cast<unsigned>(weight) >= 256u) AssertionFailure(__LINE__);
    const TColor a = ColorToRGB(first), b = ColorToRGB(second);
    return RGB(IntegerMix(GetRValue(a), GetRValue(b), weight), IntegerMix(GetGValue(a), GetGValue(b), weight),
               IntegerMix(GetBValue(a), GetBValue(b), weight));
}

TColor BlendColor(TColor first, TColor second, double ratio) {
    const TColor a = ColorToRGB(first), b = ColorToRGB(second);
    const long double t = ratio;
    auto channel = [t](uint8_t f, uint8_t s) {
        return LowByte(static_cast<long double>(s) * t + (1.0L - t) * static_cast<long double>(f));
    };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

uint8_t MixBytes(uint8_t foreground, uint8_t background, uint8_t weight) {
    return IntegerMix(foreground, background, weight);
}

TColor Lighten(TColor color, int amount) {
    const TColor c = ColorToRGB(color);
    auto ch = [amount](uint8_t v) { return static_cast<uint8_t>(std::clamp(v + amount, 0, 255)); };
    return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

TColor GetColor(TColorElement element) {
    const bool themed = NxThemesSupport::IsThemed();
    switch (element) {
    case ceMenuHighlight:
        return themed ? RGB(255, 238, 194) : BlendColor(clHighlight, clWindow, 80);
    case ceTaskPaneHeadFromColor:
        return themed ? RGB(255, 213, 140) : cl3DLight;
    case ceTaskPaneHeadToColor:
        return themed ? RGB(255, 166, 76) : cl3DLight;
    case ceToolBtnBorder:
        return ColorToRGB(clHotLight);
    case ceToolBtnFromColor:
        return RGB(255, 213, 140);
    case ceToolBtnToColor:
        return RGB(255, 173, 85);
    case ceToolBtnHFromColor:
        return RGB(255, 244, 204);
    case ceToolBtnHToColor:
        return RGB(255, 208, 145);
    case ceToolBtnDFromColor:
        return themed ? RGB(254, 145, 78) : RGB(254, 145, 178);
    case ceToolBtnDToColor:
        return RGB(255, 211, 142);
    case ceToolbarFromColor:
        return themed ? clInactiveCaptionText : clWindow;
    case ceToolbarToColor:
        return themed ? BlendColor(clHighlight, clInactiveCaptionText, 132) : clBtnFace;
    case ceWhidbeyTabBorder:
        return themed ? RGB(127, 157, 185) : clGrayText;
    }
    return clNone;
}

// ---- gradients

void DrawVertGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor) {
    const int h = rect.Bottom - rect.Top;
    if (h <= 0) return;
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        const double t = static_cast<double>(y - rect.Top) / h;
        canvas->GetPen()->SetColor(BlendColor(startColor, endColor, t));
        canvas->MoveTo(rect.Left, y);
        canvas->LineTo(rect.Right, y);
    }
}

void DrawHorzGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor) {
    const int w = rect.Right - rect.Left;
    if (w <= 0) return;
    for (int x = rect.Left; x < rect.Right; ++x) {
        const double t = static_cast<double>(x - rect.Left) / w;
        canvas->GetPen()->SetColor(BlendColor(startColor, endColor, t));
        canvas->MoveTo(x, rect.Top);
        canvas->LineTo(x, rect.Bottom);
    }
}

void DrawHorzReflectGrad(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor) {
    const int w = rect.Right - rect.Left;
    if (w <= 0 || rect.Bottom <= rect.Top) return;
    const int half = (w + 1) / 2;
    for (int i = 0; i < w; ++i) {
        // Column i and its mirror w - 1 - i share one color.
        const int d = std::min(i, w - 1 - i);
        const double t = half > 1 ? static_cast<double>(d) / (half - 1) : 0.0;
        canvas->GetPen()->SetColor(BlendColor(startColor, endColor, t));
        canvas->MoveTo(rect.Left + i, rect.Top);
        canvas->LineTo(rect.Left + i, rect.Bottom);
    }
}

namespace {
// The white band of the glass fills: full white weight at the top fading to none at glassHeight.
int GlassWeight(int row, int glassHeight, int extra) {
    if (glassHeight <= 0 || row >= glassHeight) return 0;
    return std::clamp((glassHeight - row) * 255 / glassHeight + extra, 0, 255);
}
} // namespace

void DrawVertGlass(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor, int glassHeight) {
    FillGlassBuffer(
        canvas, rect, startColor, endColor,
        [glassHeight](int row) { return GlassWeight(row, glassHeight, 0); },
        [](TColor c, int, int) { return c; });
}

void DrawVertShine(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor, int glassHeight) {
    FillGlassBuffer(
        canvas, rect, startColor, endColor,
        [glassHeight](int row) { return GlassWeight(row, glassHeight, 0); },
        [](TColor c, int col, int w) {
            const int weight = std::clamp(2 * std::abs(col - w / 2) + 100, 0, 255);
            return BlendColor(c, clWhite, weight);
        });
}

void DrawVertFade(TCanvas* canvas, const TRect& rect) {
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    auto buffer = CopyCanvasArea(canvas, rect.Left, rect.Top, w, h, pf24bit);
    for (int row = 0, weight = 150; row < h && weight >= 0; ++row, weight -= 7) {
        uint8_t* p = buffer->ScanLine(row);
        for (int col = 0; col < w; ++col, p += 3) {
            p[0] = IntegerMix(255, p[0], weight);
            p[1] = IntegerMix(255, p[1], weight);
            p[2] = IntegerMix(255, p[2], weight);
        }
    }
    canvas->Draw(rect.Left, rect.Top, *buffer);
}

void DrawVistaToolbar(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor) {
    const int band = rect.Height() / 2;
    FillGlassBuffer(
        canvas, rect, startColor, endColor, [band](int row) { return GlassWeight(row, band, 75); },
        [](TColor c, int, int) { return c; });
}

void SetClipRect(TCanvas* canvas, const TRect& rect) {
    const TRegion region = CreateRectRgnIndirect(rect);
    canvas->SelectClipRgn(region);
}

// ---- bitmaps

void ApplyBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap) {
    if (!bitmap || bitmap->GetEmpty()) return;
    if (bitmap->GetPixelFormat() != pf32bit) {
        canvas->Draw(x, y, *bitmap);
        return;
    }
    BlendAlphaOnto(canvas, x, y, *bitmap, bitmap->GetWidth(), bitmap->GetHeight());
}

void DrawBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor color) {
    if (!bitmap || bitmap->GetEmpty()) return;
    if (bitmap->GetPixelFormat() != pf32bit) {
        canvas->Draw(x, y, *bitmap);
        return;
    }
    const TColor c = ColorToRGB(color);
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    auto flat = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int row = 0; row < h; ++row) {
        const uint8_t* src = bitmap->ScanLine(row);
        uint8_t* dst = flat->ScanLine(row);
        for (int col = 0; col < w; ++col, src += 4, dst += 3) {
            dst[0] = IntegerMix(src[0], GetBValue(c), src[3]);
            dst[1] = IntegerMix(src[1], GetGValue(c), src[3]);
            dst[2] = IntegerMix(src[2], GetRValue(c), src[3]);
        }
    }
    canvas->Draw(x, y, *flat);
}

void BitmapInRect(TCanvas* canvas, const TRect& rect, TBitmap* bitmap) {
    if (!bitmap || bitmap->GetEmpty()) return;
    if (bitmap->GetPixelFormat() != pf32bit) {
        canvas->Draw(rect.Left, rect.Top, *bitmap);
        return;
    }
    const int w = std::min(bitmap->GetWidth(), rect.Width());
    const int h = std::min(bitmap->GetHeight(), rect.Height());
    BlendAlphaOnto(canvas, rect.Left, rect.Top, *bitmap, w, h);
}

void PutColorValues24(uint8_t*& cursor, uint8_t red, uint8_t green, uint8_t blue) {
    cursor[0] = blue;
    cursor[1] = green;
    cursor[2] = red;
    cursor += 3;
}

void PutColorValues32(uint8_t*& cursor, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    cursor[0] = blue;
    cursor[1] = green;
    cursor[2] = red;
    cursor[3] = alpha;
    cursor += 4;
}

void SetColorValues24(uint8_t*& cursor, uint8_t& red, uint8_t& green, uint8_t& blue) {
    blue = cursor[0];
    green = cursor[1];
    red = cursor[2];
    cursor += 3;
}

void SetColorValues32(uint8_t*& cursor, uint8_t& red, uint8_t& green, uint8_t& blue, uint8_t& alpha) {
    blue = cursor[0];
    green = cursor[1];
    red = cursor[2];
    alpha = cursor[3];
    cursor += 4;
}

void GrayscaleValues24(uint8_t*& cursor) {
    const uint8_t mean = static_cast<uint8_t>((cursor[0] + cursor[1] + cursor[2]) / 3);
    cursor[0] = cursor[1] = cursor[2] = mean;
    cursor += 3;
}

void GrayscaleValues32(uint8_t*& cursor) {
    const uint8_t mean = static_cast<uint8_t>((cursor[0] + cursor[1] + cursor[2]) / 3);
    cursor[0] = cursor[1] = cursor[2] = mean;
    cursor += 4;
}

void GrayscaleSimpleBitmap(TBitmap* bitmap) {
    // A 4-bit image becomes a two-tone emboss: the highlight drawn one pixel down and right of
    // the dark pixels, the shadow over them; the rest takes the button face.
    if (!bitmap || bitmap->GetEmpty()) return;
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    const TColor face = ColorToRGB(clBtnFace), shadow = ColorToRGB(clBtnShadow),
                 light = ColorToRGB(clBtnHighlight);
    TCanvas* c = bitmap->GetCanvas();
    std::vector<bool> dark(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TColor p = ColorToRGB(c->GetPixels(x, y));
            const int level = (GetRValue(p) * 77 + GetGValue(p) * 151 + GetBValue(p) * 28) >> 8;
            dark[static_cast<size_t>(y) * w + x] = level < 128;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            c->SetPixels(x, y, face);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (dark[static_cast<size_t>(y) * w + x] && x + 1 < w && y + 1 < h)
                c->SetPixels(x + 1, y + 1, light);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (dark[static_cast<size_t>(y) * w + x]) c->SetPixels(x, y, shadow);
}

void GrayscaleBitmap(TBitmap* bitmap) {
    if (!bitmap || bitmap->GetEmpty()) return;
    const int h = bitmap->GetHeight(), w = bitmap->GetWidth();
    switch (bitmap->GetPixelFormat()) {
    case pf24bit:
        for (int row = 0; row < h; ++row) {
            uint8_t* p = bitmap->ScanLine(row);
            for (int col = 0; col < w; ++col)
                GrayscaleValues24(p);
        }
        break;
    case pf32bit:
        for (int row = 0; row < h; ++row) {
            uint8_t* p = bitmap->ScanLine(row);
            for (int col = 0; col < w; ++col)
                GrayscaleValues32(p);
        }
        break;
    case pf4bit:
        GrayscaleSimpleBitmap(bitmap);
        break;
    default:
        break;
    }
}

void DrawBitmapRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName, bool transparent) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(resourceName);
    if (transparent) {
        bitmap.SetTransparentMode(tmAuto);
        bitmap.SetTransparent(true);
    }
    canvas->Draw(x, y, bitmap);
}

void DrawBitmapFromRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName,
                       TColor transparentColor) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(resourceName);
    bitmap.SetTransparentColor(transparentColor);
    bitmap.SetTransparent(true);
    canvas->Draw(x, y, bitmap);
}

void Save32BitBitmap(TBitmap* bitmap, const std::string& fileName) {
    if (!bitmap) return;
    TBitmap copy(bitmap->GetWidth(), bitmap->GetHeight(), pf32bit);
    const bool is32 = bitmap->GetPixelFormat() == pf32bit;
    for (int row = 0; row < bitmap->GetHeight(); ++row) {
        uint8_t* dst = copy.ScanLine(row);
        if (is32) {
            std::copy_n(bitmap->ScanLine(row), bitmap->GetWidth() * 4, dst);
        } else {
            for (int col = 0; col < bitmap->GetWidth(); ++col, dst += 4) {
                const TColor p = ColorToRGB(bitmap->GetCanvas()->GetPixels(col, row));
                dst[0] = GetBValue(p);
                dst[1] = GetGValue(p);
                dst[2] = GetRValue(p);
                dst[3] = 255;
            }
        }
    }
    copy.SaveToFile(fileName);
}

// ---- single-line text

void DrawText(TCanvas* canvas, const TRect& rect, TAlignment alignment, const WideString& text,
              bool noPrefix) {
    uint32_t flags =
        DT_SINGLELINE | DT_VCENTER | DT_EXTERNALLEADING | DT_END_ELLIPSIS | AlignmentFlag(alignment);
    if (noPrefix) flags |= DT_NOPREFIX;
    DrawSingleLine(canvas, rect, text, flags);
}

void DrawTextRect(TCanvas* canvas, const TRect& rect, const WideString& text, TBiDiMode biDiMode) {
    uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_EXTERNALLEADING | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (biDiMode == bdRightToLeft) flags |= DT_RTLREADING;
    DrawSingleLine(canvas, rect, text, flags);
}

void DrawPrefixText(TCanvas* canvas, const TRect& rect, const WideString& text) {
    DrawSingleLine(canvas, rect, text, DT_SINGLELINE | DT_VCENTER | DT_EXTERNALLEADING | DT_END_ELLIPSIS);
}

void DrawDisabledText(TCanvas* canvas, const TRect& rect, const AnsiString& text, TAlignment alignment,
                      bool noPrefix) {
    uint32_t flags =
        DT_SINGLELINE | DT_VCENTER | DT_EXTERNALLEADING | DT_END_ELLIPSIS | AlignmentFlag(alignment);
    if (noPrefix) flags |= DT_NOPREFIX;
    canvas->GetBrush()->SetStyle(bsClear);
    TRect shifted = rect;
    OffsetRect(shifted, 1, 1);
    canvas->GetFont()->SetColor(clBtnHighlight);
    canvas->DrawText(text, shifted, flags);
    TRect r = rect;
    canvas->GetFont()->SetColor(clBtnShadow);
    canvas->DrawText(text, r, flags);
    canvas->GetBrush()->SetStyle(bsSolid);
}

// ---- the parent behind a control

namespace {
// Saves the canvas's device state for the scope and restores it on every exit.
class TSavedCanvasState {
public:
    explicit TSavedCanvasState(TCanvas* Canvas) : FCanvas(Canvas), FSaved(Canvas->SaveDC()) {}
    ~TSavedCanvasState() { FCanvas->RestoreDC(FSaved); }
    TSavedCanvasState(const TSavedCanvasState&) = delete;
    TSavedCanvasState& operator=(const TSavedCanvasState&) = delete;

private:
    TCanvas* FCanvas;
    int FSaved;
};
} // namespace

void DrawTransparent(TControl* control, TCanvas* canvas) {
    if (!control || !canvas) return;
    TWinControl* parent = control->GetParent();
    if (!parent || !parent->HandleAllocated()) return;
    const TPoint origin = parent->ScreenToClient(control->ClientToScreen(Point(0, 0)));
    // The parent's painting may fail; the caller's origins come back all the same.
    const TSavedCanvasState saved(canvas);
    const TPoint org = canvas->GetWindowOrg();
    canvas->SetWindowOrg(org.X + origin.X, org.Y + origin.Y);
    const TPoint brushOrg = canvas->SetBrushOrg(0, 0);
    canvas->SetBrushOrg(brushOrg.X + origin.X, brushOrg.Y + origin.Y);
    // A paint message that carries a canvas makes the parent paint on that canvas.
    const WPARAM dc = reinterpret_cast<WPARAM>(canvas);
    parent->Perform(WM_ERASEBKGND, dc, dc);
    parent->Perform(WM_PAINT, dc, 0);
}

} // namespace NxSharedDraw
