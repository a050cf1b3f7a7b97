#include "drawing/Providers.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <memory>

#include "drawing/SharedCommon.h"
#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"
#include "platform/runtime/CodePage.h"

namespace NxSharedCommon {

namespace {

int RoundHalfEven(double v) {
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(saved);
    return static_cast<int>(r);
}

void DrawTextFlags(TCanvas* canvas, TRect rect, const WideString& text, uint32_t flags) {
    if (IsUnicodeSupported)
        canvas->DrawText(text, rect, flags);
    else
        canvas->DrawText(WideToAnsi(text), rect, flags);
}

std::unique_ptr<TBitmap> Copy24(const TBitmap& source) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(source);
    copy->SetPixelFormat(pf24bit);
    return copy;
}

// Theme parts and states of a check box.
constexpr int BP_CHECKBOX = 3;
constexpr int CBS_UNCHECKEDNORMAL = 1;
constexpr int CBS_UNCHECKEDHOT = 2;
constexpr int CBS_UNCHECKEDPRESSED = 3;
constexpr int CBS_CHECKEDNORMAL = 5;
constexpr int CBS_CHECKEDHOT = 6;
constexpr int CBS_CHECKEDPRESSED = 7;

} // namespace

// ---- TCalcProvider

double TCalcProvider::GetRatio(double value, double total) {
    return value / total * 100;
}

bool TCalcProvider::IsRectInRect(const TRect& a, const TRect& b) {
    return !(a.Right < b.Left || a.Left > b.Right || a.Bottom < b.Top || a.Top > b.Bottom);
}

TPoint TCalcProvider::PosInRect(int width, int height, int margin, const TRect& rect, TAlignment alignment,
                                TVerticalAlignment verticalAlignment) {
    const int cx = rect.Left + (rect.Right - rect.Left) / 2;
    const int cy = rect.Top + (rect.Bottom - rect.Top) / 2;
    TPoint p;
    switch (alignment) {
    case taLeftJustify:
        p.X = rect.Left + margin;
        break;
    case taRightJustify:
        p.X = rect.Right - (width + margin);
        break;
    case taCenter:
        p.X = cx - width / 2;
        break;
    }
    switch (verticalAlignment) {
    case taAlignTop:
        p.Y = rect.Top + margin;
        break;
    case taAlignBottom:
        p.Y = rect.Bottom - (height + margin);
        break;
    case taVerticalCenter:
        p.Y = cy - height / 2;
        break;
    }
    return p;
}

TRect TCalcProvider::ResizeRect(const TRect& rect, int dl, int dt, int dr, int db) {
    return {rect.Left + dl, rect.Top + dt, rect.Right + dr, rect.Bottom + db};
}

// ---- TGraphicsProvider

TColor TGraphicsProvider::BlendColor(TColor first, TColor second, int weight) {
    return NxSharedDraw::BlendColor(first, second, weight);
}

TColor TGraphicsProvider::BlendColor(TColor first, TColor second, double ratio) {
    return NxSharedDraw::BlendColor(first, second, ratio);
}

void TGraphicsProvider::DrawGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor) {
    NxSharedDraw::DrawVertGradient(canvas, rect, startColor, endColor);
}

void TGraphicsProvider::DrawVertGradient(TCanvas* canvas, const TRect& rect, TColor startColor,
                                         TColor endColor) {
    NxSharedDraw::DrawHorzGradient(canvas, rect, startColor, endColor);
}

void TGraphicsProvider::DrawButton(TCanvas* canvas, const TRect& rect, bool darkEdge) {
    TRect face = rect;
    InflateRect(face, -1, -1);
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->FillRect(face);
    TPen* pen = canvas->GetPen();
    pen->SetWidth(1);
    // Highlight: the top row and the left column, short of the corners the dark edge owns.
    pen->SetColor(clBtnHighlight);
    canvas->MoveTo(rect.Left, rect.Bottom - 1);
    canvas->LineTo(rect.Left, rect.Top);
    canvas->LineTo(rect.Right - 1, rect.Top);
    // Dark edge: the right column from the top-right corner down, then the bottom row.
    pen->SetColor(darkEdge ? clWindowFrame : clBtnShadow);
    canvas->MoveTo(rect.Right - 1, rect.Top);
    canvas->LineTo(rect.Right - 1, rect.Bottom - 1);
    canvas->LineTo(rect.Left - 1, rect.Bottom - 1);
}

void TGraphicsProvider::DrawFocused(TCanvas* canvas, const TRect& rect, bool solid) {
    if (solid) {
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(clHighlight);
        canvas->FrameRect(rect);
    } else {
        NxSharedCommon::DrawFocusRect(canvas, rect);
    }
}

void TGraphicsProvider::SetClipingRect(TCanvas* canvas, const TRect& rect) {
    NxSharedCommon::SetClipRect(canvas, rect);
}

void TGraphicsProvider::SetClipingPolygon(TCanvas* canvas, std::span<const TPoint> points) {
    NxSharedCommon::SetClipPoly(canvas, points);
}

void TGraphicsProvider::DrawTextRect(TCanvas* canvas, const TRect& rect, TAlignment alignment,
                                     const WideString& text, TBiDiMode biDiMode) {
    NxSharedCommon::DrawTextRect(canvas, rect, alignment, text, biDiMode);
}

void TGraphicsProvider::DrawWrapedTextRect(TCanvas* canvas, const TRect& rect, TAlignment alignment,
                                           TVerticalAlignment verticalAlignment, bool wordWrap,
                                           const WideString& text, TBiDiMode biDiMode) {
    uint32_t flags = DT_NOPREFIX;
    if (alignment == taRightJustify) flags |= DT_RIGHT;
    if (alignment == taCenter) flags |= DT_CENTER;
    TRect d = rect;
    if (wordWrap) {
        flags |= DT_WORDBREAK;
        TRect measure = rect;
        if (IsUnicodeSupported)
            canvas->DrawText(text, measure, flags | DT_CALCRECT);
        else
            canvas->DrawText(WideToAnsi(text), measure, flags | DT_CALCRECT);
        const int h = measure.Bottom - measure.Top;
        switch (verticalAlignment) {
        case taAlignTop:
            break;
        case taAlignBottom:
            d.Top = rect.Bottom - h;
            break;
        case taVerticalCenter:
            d.Top = rect.Top + RoundHalfEven((rect.Bottom - (rect.Top + h)) / 2.0);
            break;
        }
    } else {
        flags |= DT_SINGLELINE;
        if (verticalAlignment == taAlignBottom) flags |= DT_BOTTOM;
        if (verticalAlignment == taVerticalCenter) flags |= DT_VCENTER;
    }
    if (biDiMode == bdRightToLeft) flags |= DT_RTLREADING;
    canvas->GetBrush()->SetStyle(bsClear);
    DrawTextFlags(canvas, d, text, flags);
    canvas->GetBrush()->SetStyle(bsSolid);
}

void TGraphicsProvider::DrawBitmapFromRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName,
                                          bool transparent) {
    NxSharedDraw::DrawBitmapRes(canvas, x, y, resourceName, transparent);
}

void TGraphicsProvider::DrawImageFromRes(TCanvas* canvas, int x, int y, const AnsiString& resourceName) {
    NxSharedDraw::DrawBitmapRes(canvas, x, y, resourceName, true);
}

void TGraphicsProvider::DrawCheckBox(TCanvas* canvas, const TRect& rect, TAlignment alignment,
                                     TVerticalAlignment verticalAlignment, bool checked, bool hover,
                                     bool pressed, int margin, TWinControl* window) {
    if (NxThemesSupport::IsThemed()) {
        const TPoint p = TCalcProvider::PosInRect(13, 13, margin, rect, alignment, verticalAlignment);
        int state = checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
        if (pressed)
            state = checked ? CBS_CHECKEDPRESSED : CBS_UNCHECKEDPRESSED;
        else if (hover)
            state = checked ? CBS_CHECKEDHOT : CBS_UNCHECKEDHOT;
        NxThemesSupport::ThemeRect(window, canvas, Rect(p.X, p.Y, p.X + 13, p.Y + 13), u"Button", BP_CHECKBOX,
                                   state);
        return;
    }
    const TPoint p = TCalcProvider::PosInRect(11, 11, margin, rect, alignment, verticalAlignment);
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(clBtnShadow);
    canvas->FrameRect(Rect(p.X, p.Y, p.X + 11, p.Y + 11));
    if (checked) {
        canvas->GetPen()->SetColor(clWindowText);
        canvas->GetPen()->SetWidth(1);
        for (int i = 0; i < 3; ++i) {
            canvas->MoveTo(p.X + 2, p.Y + 4 + i);
            canvas->LineTo(p.X + 4, p.Y + 6 + i);
            canvas->LineTo(p.X + 9, p.Y + 1 + i);
        }
    }
}

// ---- TMaskProvider

TColor TMaskProvider::MixColors(TColor first, TColor second, int weight) {
    return NxSharedDraw::BlendColor(first, second, weight);
}

int TMaskProvider::GetColorLevel(TColor color) {
    const TColor c = ColorToRGB(color);
    return (GetRValue(c) * 77 + GetGValue(c) * 151 + GetBValue(c) * 28) >> 8;
}

void TMaskProvider::GetRGB(TColor color, uint8_t& red, uint8_t& green, uint8_t& blue) {
    const TColor c = ColorToRGB(color);
    red = GetRValue(c);
    green = GetGValue(c);
    blue = GetBValue(c);
}

void TMaskProvider::DrawMaskedImage(TCanvas* canvas, int x, int y, TBitmap* image, TBitmap* mask) {
    if (!image || !mask) return;
    if (image->GetWidth() != mask->GetWidth() || image->GetHeight() != mask->GetHeight())
        throw Exception("Image and Mask size differ");
    const int w = image->GetWidth(), h = image->GetHeight();
    if (w <= 0 || h <= 0) return;
    auto img = Copy24(*image);
    auto msk = Copy24(*mask);
    auto out = std::make_unique<TBitmap>(w, h, pf24bit);
    out->GetCanvas()->CopyRect(Rect(0, 0, w, h), *canvas, Rect(x, y, x + w, y + h));
    for (int row = 0; row < h; ++row) {
        const uint8_t* ip = img->ScanLine(row);
        const uint8_t* mp = msk->ScanLine(row);
        uint8_t* op = out->ScanLine(row);
        for (int col = 0; col < w; ++col, ip += 3, mp += 3, op += 3) {
            const int level = GetColorLevel(RGB(mp[2], mp[1], mp[0]));
            for (int ch = 0; ch < 3; ++ch)
                op[ch] = NxSharedDraw::MixBytes(ip[ch], op[ch], level);
        }
    }
    canvas->Draw(x, y, *out);
}

// ---- TDrawProvider

void TDrawProvider::ApplyBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap) {
    if (!bitmap || bitmap->GetEmpty()) return;
    if (bitmap->GetPixelFormat() != pf32bit) {
        canvas->Draw(x, y, *bitmap);
        return;
    }
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    auto back = std::make_unique<TBitmap>(w, h, pf24bit);
    back->GetCanvas()->CopyRect(Rect(0, 0, w, h), *canvas, Rect(x, y, x + w, y + h));
    for (int row = 0; row < h; ++row) {
        const uint8_t* src = bitmap->ScanLine(row);
        uint8_t* dst = back->ScanLine(row);
        for (int col = 0; col < w; ++col, src += 4, dst += 3) {
            const double a = src[3];
            for (int ch = 0; ch < 3; ++ch) {
                const int v = RoundHalfEven(a * src[ch] / 255) + RoundHalfEven((1 - a / 255) * dst[ch]);
                dst[ch] = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
    canvas->Draw(x, y, *back);
}

void TDrawProvider::DrawBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor color) {
    NxSharedDraw::DrawBitmap(canvas, x, y, bitmap, color);
}

void TDrawProvider::GrayscaleBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor color) {
    if (!bitmap || bitmap->GetEmpty()) return;
    TBitmap gray;
    gray.Assign(*bitmap);
    NxSharedDraw::GrayscaleBitmap(&gray);
    if (gray.GetPixelFormat() == pf32bit)
        NxSharedDraw::DrawBitmap(canvas, x, y, &gray, color);
    else
        canvas->Draw(x, y, gray);
}

// ---- TDisplayProvider

void TDisplayProvider::DrawFontPreview(TCanvas* canvas, const TRect& rect, const AnsiString& fontName) {
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(clHighlight);
    canvas->FillRect(rect);
    canvas->GetFont()->SetName(fontName);
    canvas->GetFont()->SetSize(8);
    canvas->GetFont()->SetColor(clHighlightText);
    NxSharedDraw::DrawText(canvas, rect, taCenter, u"ab");
}

} // namespace NxSharedCommon
