// Pixel tests of the drawing primitives: gradients, frames, focus marks, clipping, alpha bitmaps
// and painting a parent behind a control.
#include <gtest/gtest.h>

#include <vector>

#include "drawing/DrawingTestSupport.h"
#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Themes.h"

using namespace NxSharedDraw;
using namespace NxSharedCommon;
using DrawingTest::AlphaBitmap;
using DrawingTest::Hex;
using DrawingTest::Surface;

namespace {

const TColor Sentinel = Hex(0x00FF7F);

TEST(Gradients, VerticalRowsFollowTheRatioBlend) {
    Surface s(10, 50, Sentinel);
    DrawVertGradient(s.Canvas(), Rect(2, 4, 8, 46), clWhite, Hex(0xE3EFFF)); // 42 rows
    EXPECT_EQ(s.Pixel(2, 4), Hex(0xFFFFFF));
    EXPECT_EQ(s.Pixel(5, 5), Hex(0xFEFFFF));
    EXPECT_EQ(s.Pixel(7, 25), Hex(0xF1F7FF));
    EXPECT_EQ(s.Pixel(2, 45), Hex(0xE4EFFF)); // the end color itself is never drawn
    // Exactly the rectangle: columns 2..7, rows 4..45.
    EXPECT_EQ(s.Ink(), Rect(2, 4, 8, 46));
    for (int y = 4; y < 46; ++y)
        EXPECT_EQ(s.Pixel(2, y), s.Pixel(7, y)) << "row " << y << " is one color";
    // The pen keeps the last row's color.
    EXPECT_EQ(s.Canvas()->GetPen()->GetColor(), Hex(0xE4EFFF));
}

TEST(Gradients, VerticalOddAndEvenHeightsWithTies) {
    // Even: 4 rows from black to (2, 6, 10); t = 1/4 gives 0.5, 1.5, 2.5 -> 0, 2, 2.
    Surface even(3, 6, Sentinel);
    DrawVertGradient(even.Canvas(), Rect(0, 1, 3, 5), clBlack, RGB(2, 6, 10));
    EXPECT_EQ(even.Pixel(1, 0), Sentinel);
    EXPECT_EQ(even.Pixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(even.Pixel(1, 2), RGB(0, 2, 2));
    EXPECT_EQ(even.Pixel(1, 3), RGB(1, 3, 5));
    EXPECT_EQ(even.Pixel(1, 4), RGB(2, 4, 8));
    EXPECT_EQ(even.Pixel(1, 5), Sentinel);

    // Odd: 3 rows from black to (255, 0, 90): 85 and 170, 30 and 60.
    Surface odd(3, 3, Sentinel);
    DrawVertGradient(odd.Canvas(), Rect(0, 0, 3, 3), clBlack, RGB(255, 0, 90));
    EXPECT_EQ(odd.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(odd.Pixel(0, 1), RGB(85, 0, 30));
    EXPECT_EQ(odd.Pixel(2, 2), RGB(170, 0, 60));

    // Height 1 is the start color; height 0 and inverted rectangles draw nothing.
    Surface one(3, 3, Sentinel);
    DrawVertGradient(one.Canvas(), Rect(0, 1, 3, 2), clRed, clBlue);
    EXPECT_EQ(one.Ink(), Rect(0, 1, 3, 2));
    EXPECT_EQ(one.Pixel(1, 1), clRed);
    Surface none(3, 3, Sentinel);
    DrawVertGradient(none.Canvas(), Rect(0, 1, 3, 1), clRed, clBlue);
    DrawVertGradient(none.Canvas(), Rect(0, 2, 3, 0), clRed, clBlue);
    EXPECT_EQ(none.Ink(), TRect());
}

TEST(Gradients, HorizontalColumnsAndTheProviderNames) {
    Surface even(6, 3, Sentinel);
    DrawHorzGradient(even.Canvas(), Rect(1, 0, 5, 3), clBlack, RGB(2, 6, 10));
    EXPECT_EQ(even.Ink(), Rect(1, 0, 5, 3));
    EXPECT_EQ(even.Pixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(even.Pixel(2, 1), RGB(0, 2, 2));
    EXPECT_EQ(even.Pixel(3, 2), RGB(1, 3, 5));
    EXPECT_EQ(even.Pixel(4, 0), RGB(2, 4, 8));

    Surface odd(3, 2, Sentinel);
    DrawHorzGradient(odd.Canvas(), Rect(0, 0, 3, 2), clBlack, RGB(255, 0, 90));
    EXPECT_EQ(odd.Pixel(1, 1), RGB(85, 0, 30));
    EXPECT_EQ(odd.Pixel(2, 0), RGB(170, 0, 60));

    // The provider's DrawGradient runs top to bottom, its DrawVertGradient left to right.
    Surface a(8, 8, Sentinel), b(8, 8, Sentinel), c(8, 8, Sentinel), d(8, 8, Sentinel);
    TGraphicsProvider::DrawGradient(a.Canvas(), Rect(0, 0, 8, 8), clRed, clBlue);
    DrawVertGradient(b.Canvas(), Rect(0, 0, 8, 8), clRed, clBlue);
    TGraphicsProvider::DrawVertGradient(c.Canvas(), Rect(0, 0, 8, 8), clRed, clBlue);
    DrawHorzGradient(d.Canvas(), Rect(0, 0, 8, 8), clRed, clBlue);
    EXPECT_TRUE(a.SameAs(b));
    EXPECT_TRUE(c.SameAs(d));
    EXPECT_EQ(c.Pixel(3, 0), c.Pixel(3, 7));
    EXPECT_NE(c.Pixel(0, 3), c.Pixel(7, 3));

    // System colors are resolved for every line.
    Surface sys(4, 2, Sentinel);
    DrawHorzGradient(sys.Canvas(), Rect(0, 0, 4, 2), clWindow, clBtnFace);
    EXPECT_EQ(sys.Pixel(0, 0), ColorToRGB(clWindow));
    EXPECT_EQ(sys.Pixel(2, 1), BlendColor(ColorToRGB(clWindow), ColorToRGB(clBtnFace), 0.5));
}

TEST(Gradients, ReflectedReachesTheEndColorInTheMiddle) {
    // Odd width: one middle column; even width: the two middle columns share the end color.
    for (int w : {9, 10}) {
        Surface s(w + 2, 3, Sentinel);
        DrawHorzReflectGrad(s.Canvas(), Rect(1, 0, w + 1, 3), clBlack, RGB(200, 100, 40));
        EXPECT_EQ(s.Ink(), Rect(1, 0, w + 1, 3)) << w;
        EXPECT_EQ(s.Pixel(1, 0), clBlack) << w;
        EXPECT_EQ(s.Pixel(w, 2), clBlack) << w;
        EXPECT_EQ(s.Pixel(1 + (w - 1) / 2, 1), RGB(200, 100, 40)) << w;
        EXPECT_EQ(s.Pixel(1 + w / 2, 1), RGB(200, 100, 40)) << w;
        for (int i = 0; i < w; ++i)
            EXPECT_EQ(s.Pixel(1 + i, 0), s.Pixel(w - i, 2)) << w << " mirrored at " << i;
    }
    // Nine columns, five steps of a quarter: 0, 50, 100, 150, 200 in red.
    Surface q(9, 1, Sentinel);
    DrawHorzReflectGrad(q.Canvas(), Rect(0, 0, 9, 1), clBlack, RGB(200, 0, 0));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(q.Pixel(i, 0), RGB(uint8_t(50 * i), 0, 0)) << i;
}

TEST(Gradients, GlassBandFadesFromWhiteAtTheTop) {
    // On black the band shows its weights alone: 255, 191, 127, 63 for a band of four rows,
    // each blended with white as (255 * w) >> 8; below the band the plain blend (black).
    Surface s(4, 8, Sentinel);
    DrawVertGlass(s.Canvas(), Rect(0, 0, 4, 8), clBlack, clBlack, 4);
    const uint8_t band[] = {254, 190, 126, 62};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(s.Pixel(2, y), RGB(band[y], band[y], band[y])) << y;
    for (int y = 4; y < 8; ++y)
        EXPECT_EQ(s.Pixel(1, y), clBlack) << y;

    // Below the band a glass fill is the vertical gradient, row for row.
    Surface glass(6, 12, Sentinel), plain(6, 12, Sentinel);
    DrawVertGlass(glass.Canvas(), Rect(1, 1, 5, 11), Hex(0x6692CE), Hex(0x15428B), 3);
    DrawVertGradient(plain.Canvas(), Rect(1, 1, 5, 11), Hex(0x6692CE), Hex(0x15428B));
    EXPECT_EQ(glass.Ink(), Rect(1, 1, 5, 11));
    for (int y = 4; y < 11; ++y)
        EXPECT_EQ(glass.Pixel(3, y), plain.Pixel(3, y)) << y;
    for (int y = 1; y < 4; ++y)
        EXPECT_NE(glass.Pixel(3, y), plain.Pixel(3, y)) << y;
}

TEST(Gradients, ShineIsLightestInTheMiddleColumn) {
    // Black rows, no band: each pixel is (255 * (155 - 2 * distance)) >> 8 from white.
    Surface s(10, 2, Sentinel);
    DrawVertShine(s.Canvas(), Rect(0, 0, 10, 2), clBlack, clBlack, 0);
    const uint8_t expected[] = {144, 146, 148, 150, 152, 154, 152, 150, 148, 146};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(s.Pixel(x, 1), RGB(expected[x], expected[x], expected[x])) << x;
    EXPECT_EQ(s.Pixel(5, 0), s.Pixel(5, 1));
}

TEST(Gradients, VistaToolbarBandCoversTheUpperHalfWithRaisedWeight) {
    // Eight rows: the band is four, its weights 255, 191, 127, 63 raised by 75 and clamped.
    Surface s(3, 8, Sentinel);
    DrawVistaToolbar(s.Canvas(), Rect(0, 0, 3, 8), clBlack, clBlack);
    const uint8_t band[] = {254, 254, 201, 137};
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(s.Pixel(1, y), RGB(band[y], band[y], band[y])) << y;
    for (int y = 4; y < 8; ++y)
        EXPECT_EQ(s.Pixel(1, y), clBlack) << y;
}

TEST(Frames, ButtonFaceWithThreeDimensionalEdges) {
    for (bool dark : {false, true}) {
        Surface s(16, 14, Sentinel);
        TGraphicsProvider::DrawButton(s.Canvas(), Rect(2, 2, 12, 10), dark);
        const TColor hi = ColorToRGB(clBtnHighlight);
        const TColor lo = ColorToRGB(dark ? clWindowFrame : clBtnShadow);
        const TColor face = ColorToRGB(clBtnFace);
        EXPECT_EQ(s.Ink(), Rect(2, 2, 12, 10));
        for (int x = 2; x <= 10; ++x)
            EXPECT_EQ(s.Pixel(x, 2), hi) << "top " << x;
        for (int y = 2; y <= 8; ++y)
            EXPECT_EQ(s.Pixel(2, y), hi) << "left " << y;
        for (int y = 2; y <= 9; ++y)
            EXPECT_EQ(s.Pixel(11, y), lo) << "right " << y;
        for (int x = 2; x <= 11; ++x)
            EXPECT_EQ(s.Pixel(x, 9), lo) << "bottom " << x;
        for (int y = 3; y <= 8; ++y)
            for (int x = 3; x <= 10; ++x)
                EXPECT_EQ(s.Pixel(x, y), face);
        EXPECT_EQ(s.Canvas()->GetPen()->GetWidth(), 1);
    }
}

TEST(Frames, FocusRectangleDrawnTwiceLeavesNoTrace) {
    Surface s(30, 20, Hex(0x336699));
    Surface original(30, 20, Hex(0x336699));
    DrawFocusRect(s.Canvas(), Rect(0, 0, 30, 20));
    s.Canvas()->SetBkColor(Hex(0x010203));
    s.Canvas()->SetTextColor(Hex(0x040506));
    DrawFocusRect(s.Canvas(), Rect(5, 4, 25, 16));
    // The dotted frame: on the edges only, every other pixel.
    EXPECT_EQ(s.Ink(Rect(6, 5, 24, 15)), TRect());
    EXPECT_EQ(s.Ink(Rect(5, 4, 25, 16)), Rect(5, 4, 25, 16));
    EXPECT_NE(s.Pixel(5, 4), s.Pixel(6, 4));
    // The device colors the caller set are back.
    EXPECT_EQ(ColorToRGB(s.Canvas()->GetBkColor()), Hex(0x010203));
    EXPECT_EQ(ColorToRGB(s.Canvas()->GetTextColor()), Hex(0x040506));
    DrawFocusRect(s.Canvas(), Rect(5, 4, 25, 16));
    DrawFocusRect(s.Canvas(), Rect(0, 0, 30, 20));
    EXPECT_TRUE(s.SameAs(original));

    // DrawFocused without the solid flag is the same mark; with it, a one-pixel highlight frame.
    TGraphicsProvider::DrawFocused(s.Canvas(), Rect(5, 4, 25, 16), false);
    EXPECT_FALSE(s.SameAs(original));
    TGraphicsProvider::DrawFocused(s.Canvas(), Rect(5, 4, 25, 16), false);
    EXPECT_TRUE(s.SameAs(original));
    s.Canvas()->GetBrush()->SetStyle(bsClear);
    TGraphicsProvider::DrawFocused(s.Canvas(), Rect(5, 4, 25, 16), true);
    EXPECT_EQ(s.Pixel(5, 4), ColorToRGB(clHighlight));
    EXPECT_EQ(s.Pixel(24, 15), ColorToRGB(clHighlight));
    EXPECT_EQ(s.Pixel(6, 5), Hex(0x336699));
    EXPECT_EQ(s.CountColor(clHighlight), 2 * 20 + 2 * 10);
}

TEST(Clipping, RectanglesAndPolygonsReplaceTheClip) {
    Surface s(20, 20, clWhite);
    NxSharedCommon::SetClipRect(s.Canvas(), Rect(2, 2, 6, 6));
    NxSharedDraw::SetClipRect(s.Canvas(), Rect(10, 10, 14, 12)); // replaces, not intersects
    s.Canvas()->GetBrush()->SetColor(clRed);
    s.Canvas()->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(s.Ink(), Rect(10, 10, 14, 12));

    Surface p(20, 20, clWhite);
    const TPoint triangle[] = {{0, 0}, {20, 0}, {0, 20}};
    TGraphicsProvider::SetClipingPolygon(p.Canvas(), triangle);
    p.Canvas()->GetBrush()->SetColor(clBlue);
    p.Canvas()->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(p.Pixel(1, 1), clBlue);
    EXPECT_EQ(p.Pixel(18, 18), clWhite);
    TGraphicsProvider::SetClipingRect(p.Canvas(), Rect(15, 15, 20, 20));
    p.Canvas()->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(p.Pixel(18, 18), clBlue);
    EXPECT_EQ(p.Pixel(14, 14), clWhite);
}

TEST(Polylines, FlippedCopyLeavesTheCallersPoints) {
    Surface s(10, 10, clWhite);
    std::vector<TPoint> pts{{1, 1}, {8, 1}};
    DrawPolyline(s.Canvas(), pts, true, Rect(0, 0, 10, 10)); // middle 5: y 1 -> 9
    EXPECT_EQ(pts[0], Point(1, 1));
    EXPECT_EQ(s.Ink(), Rect(1, 9, 8, 10));
    DrawPolyline(s.Canvas(), pts, false, Rect(0, 0, 10, 10));
    EXPECT_EQ(s.Pixel(4, 1), clBlack);
}

TEST(AlphaBitmaps, IntegerBlendOntoTheCanvas) {
    // Alpha 0 everywhere leaves 255/256 of the background.
    Surface s(20, 10, clWhite);
    auto transparent = AlphaBitmap(4, 4, clRed, 0);
    NxSharedDraw::ApplyBitmap(s.Canvas(), 2, 3, transparent.get());
    EXPECT_EQ(s.Pixel(2, 3), Hex(0xFEFEFE));
    EXPECT_EQ(s.Pixel(5, 6), Hex(0xFEFEFE));
    EXPECT_EQ(s.Ink(), Rect(2, 3, 6, 7));

    // Opaque and half alpha, through the other module's name.
    auto opaque = AlphaBitmap(2, 2, clRed, 255);
    NxSharedCommon::ApplyBitmap(s.Canvas(), 10, 0, opaque.get());
    EXPECT_EQ(s.Pixel(10, 0), Hex(0xFE0000));
    Surface black(4, 4, clBlack);
    auto half = AlphaBitmap(2, 2, clWhite, 128);
    NxSharedDraw::ApplyBitmap(black.Canvas(), 1, 1, half.get());
    EXPECT_EQ(black.Pixel(1, 1), Hex(0x7F7F7F));
    EXPECT_EQ(black.Pixel(0, 0), clBlack);

    // A bitmap that is not 32-bit is drawn as it is.
    Surface plain(4, 4, clWhite);
    TBitmap b24(2, 2, pf24bit);
    b24.GetCanvas()->GetBrush()->SetColor(Hex(0x112233));
    b24.GetCanvas()->FillRect(Rect(0, 0, 2, 2));
    NxSharedDraw::ApplyBitmap(plain.Canvas(), 1, 1, &b24);
    EXPECT_EQ(plain.Pixel(1, 1), Hex(0x112233));

    // An empty bitmap draws nothing.
    TBitmap empty;
    NxSharedDraw::ApplyBitmap(plain.Canvas(), 0, 0, &empty);
    EXPECT_EQ(plain.Pixel(0, 0), clWhite);
}

TEST(AlphaBitmaps, MixedAlphaPerPixelAndOnlyInsideTheRectangle) {
    auto bmp = AlphaBitmap(4, 4, Hex(0x0000FF), 255);
    bmp->ScanLine(0)[3] = 0;      // pixel (0, 0) fully transparent
    bmp->ScanLine(1)[4 + 3] = 64; // pixel (1, 1) a quarter
    Surface s(10, 10, Hex(0xC8C8C8));
    NxSharedDraw::ApplyBitmap(s.Canvas(), 0, 0, bmp.get());
    EXPECT_EQ(s.Pixel(0, 0), Hex(0xC7C7C7)); // 200 * 255 >> 8 = 199
    // (255 * 64 + 200 * 191) >> 8 = 212 blue, (200 * 191) >> 8 = 149 red and green.
    EXPECT_EQ(s.Pixel(1, 1), RGB(149, 149, 212));
    EXPECT_EQ(s.Pixel(3, 3), RGB(0, 0, 254));

    Surface clipped(10, 10, clWhite);
    BitmapInRect(clipped.Canvas(), Rect(2, 2, 5, 4), bmp.get());
    EXPECT_EQ(clipped.Ink(), Rect(2, 2, 5, 4));
    // Partly outside the surface: the visible part is blended, nothing else is touched.
    Surface edge(6, 6, clWhite);
    NxSharedDraw::ApplyBitmap(edge.Canvas(), -2, 3, bmp.get());
    EXPECT_EQ(edge.Ink(), Rect(0, 3, 2, 6));
    EXPECT_EQ(edge.Pixel(1, 5), RGB(0, 0, 254));
    BitmapInRect(edge.Canvas(), Rect(4, -3, 20, 2), bmp.get());
    EXPECT_EQ(edge.Ink(Rect(0, 0, 6, 3)), Rect(4, 0, 6, 1));
}

TEST(AlphaBitmaps, RoundedBlendGivesExactEnds) {
    Surface s(10, 4, Hex(0x808080));
    auto opaque = AlphaBitmap(2, 2, clRed, 255);
    auto clear = AlphaBitmap(2, 2, clRed, 0);
    auto half = AlphaBitmap(2, 2, clWhite, 128);
    TDrawProvider::ApplyBitmap(s.Canvas(), 0, 0, opaque.get());
    TDrawProvider::ApplyBitmap(s.Canvas(), 3, 0, clear.get());
    TDrawProvider::ApplyBitmap(s.Canvas(), 6, 0, half.get());
    EXPECT_EQ(s.Pixel(0, 0), clRed);
    EXPECT_EQ(s.Pixel(3, 0), Hex(0x808080));
    // round(128 * 255 / 255) + round((1 - 128/255) * 128) = 128 + 64 = 192.
    EXPECT_EQ(s.Pixel(6, 1), Hex(0xC0C0C0));
}

TEST(AlphaBitmaps, FlattenedOntoAColor) {
    auto bmp = AlphaBitmap(2, 1, clWhite, 128);
    bmp->ScanLine(0)[4 + 3] = 255;
    Surface s(4, 2, Sentinel);
    DrawBitmap(s.Canvas(), 1, 1, bmp.get(), clBlack);
    EXPECT_EQ(s.Pixel(1, 1), Hex(0x7F7F7F));
    EXPECT_EQ(s.Pixel(2, 1), Hex(0xFEFEFE));
    EXPECT_EQ(s.Pixel(0, 0), Sentinel);
    // The caller's bitmap is not changed.
    EXPECT_EQ(bmp->ScanLine(0)[0], 255);
    EXPECT_EQ(bmp->ScanLine(0)[3], 128);
    Surface p(4, 2, Sentinel);
    TDrawProvider::DrawBitmap(p.Canvas(), 1, 1, bmp.get(), clBlack);
    EXPECT_TRUE(p.SameAs(s));
}

TEST(AlphaBitmaps, GrayscaleAndMasks) {
    TBitmap b(2, 1, pf24bit);
    uint8_t* p = b.ScanLine(0);
    p[0] = 30, p[1] = 60, p[2] = 91; // mean 60 (integer)
    GrayscaleBitmap(&b);
    EXPECT_EQ(b.ScanLine(0)[0], 60);
    EXPECT_EQ(b.ScanLine(0)[2], 60);

    TBitmap image(2, 1, pf24bit), mask(2, 1, pf24bit), wrong(3, 1, pf24bit);
    image.GetCanvas()->GetBrush()->SetColor(clWhite);
    image.GetCanvas()->FillRect(Rect(0, 0, 2, 1));
    mask.GetCanvas()->SetPixels(0, 0, clWhite);
    mask.GetCanvas()->SetPixels(1, 0, clBlack);
    Surface s(2, 1, clBlack);
    TMaskProvider::DrawMaskedImage(s.Canvas(), 0, 0, &image, &mask);
    EXPECT_EQ(s.Pixel(0, 0), Hex(0xFEFEFE));
    EXPECT_EQ(s.Pixel(1, 0), clBlack);
    try {
        TMaskProvider::DrawMaskedImage(s.Canvas(), 0, 0, &image, &wrong);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Image and Mask size differ");
    }
}

// A parent that paints a color of its own and a mark at a known point.
class PaintedParent : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Paints = 0;
    bool Fail = false;

protected:
    void Paint() override {
        ++Paints;
        if (Fail) throw Exception("paint failed");
        GetCanvas()->GetBrush()->SetColor(Hex(0x204060));
        GetCanvas()->FillRect(GetClientRect());
        GetCanvas()->SetPixels(25, 15, clRed);
    }
};

TEST(DrawTransparentTest, PaintsTheParentBehindTheControl) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    PaintedParent parent(&form);
    parent.SetParent(&form);
    parent.SetBounds(10, 10, 100, 80);
    TGraphicControl child(&form);
    child.SetParent(&parent);
    child.SetBounds(20, 10, 30, 20);
    form.Show();
    parent.HandleNeeded();

    Surface s(30, 20, clWhite);
    const TPoint orgBefore = s.Canvas()->GetWindowOrg();
    DrawTransparent(&child, s.Canvas());
    EXPECT_GE(parent.Paints, 1);
    EXPECT_EQ(s.Pixel(0, 0), Hex(0x204060));
    EXPECT_EQ(s.Pixel(5, 5), clRed); // the parent's (25, 15) seen from the child at (20, 10)
    EXPECT_EQ(s.Canvas()->GetWindowOrg(), orgBefore);

    // Without a parent nothing is drawn; a failing parent paint leaves the canvas restored.
    TGraphicControl orphan(nullptr);
    Surface none(10, 10, clWhite);
    DrawTransparent(&orphan, none.Canvas());
    EXPECT_EQ(none.Ink(), TRect());
    parent.Fail = true;
    EXPECT_THROW(DrawTransparent(&child, s.Canvas()), Exception);
    EXPECT_EQ(s.Canvas()->GetWindowOrg(), orgBefore);
}

TEST(CheckBoxes, ThemedAndClassic) {
    SetThemesEnabled(false);
    Surface classic(20, 20, clWhite);
    TGraphicsProvider::DrawCheckBox(classic.Canvas(), Rect(0, 0, 20, 20), taCenter, taVerticalCenter, true);
    // 11 by 11 at PosInRect (10 - 5, 10 - 5).
    EXPECT_EQ(classic.Ink(), Rect(5, 5, 16, 16));
    EXPECT_EQ(classic.Pixel(5, 5), ColorToRGB(clBtnShadow));
    EXPECT_GT(classic.CountColor(clWindowText), 10);
    Surface unchecked(20, 20, clWhite);
    TGraphicsProvider::DrawCheckBox(unchecked.Canvas(), Rect(0, 0, 20, 20), taLeftJustify, taAlignTop, false,
                                    false, false, 2);
    EXPECT_EQ(unchecked.Ink(), Rect(2, 2, 13, 13));
    EXPECT_EQ(unchecked.CountColor(clWindowText), 0);
    SetThemesEnabled(true);
    Surface themed(20, 20, Sentinel);
    TGraphicsProvider::DrawCheckBox(themed.Canvas(), Rect(0, 0, 20, 20), taCenter, taVerticalCenter, true);
    const TRect ink = themed.Ink();
    EXPECT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.Left, 4);
    EXPECT_LE(ink.Right, 17);
}

} // namespace
