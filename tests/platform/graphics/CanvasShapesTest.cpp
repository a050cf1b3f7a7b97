#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "GraphicsTestSupport.h"
#include "platform/graphics/Region.h"

using namespace gtest_graphics;

TEST(CanvasLines, EndPointIsNotPainted) {
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->GetCanvas();
    c->MoveTo(2, 5);
    c->LineTo(12, 5);
    EXPECT_EQ(Px(*b, 2, 5), clBlack);
    EXPECT_EQ(Px(*b, 11, 5), clBlack);
    EXPECT_EQ(Px(*b, 12, 5), clWhite);
    EXPECT_EQ(Count(*b, clBlack), 10);
    EXPECT_EQ(c->GetPenPos(), TPoint(12, 5));
    // Upwards and diagonal: again the start is painted, the end is not.
    c->MoveTo(15, 15);
    c->LineTo(15, 10);
    EXPECT_EQ(Px(*b, 15, 15), clBlack);
    EXPECT_EQ(Px(*b, 15, 11), clBlack);
    EXPECT_EQ(Px(*b, 15, 10), clWhite);
    c->MoveTo(0, 10);
    c->LineTo(5, 15);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Px(*b, i, 10 + i), clBlack) << i;
    EXPECT_EQ(Px(*b, 5, 15), clWhite);
    // A line to where the pen already is paints nothing.
    auto e = MakeBitmap(4, 4);
    e->GetCanvas()->MoveTo(1, 1);
    e->GetCanvas()->LineTo(1, 1);
    EXPECT_EQ(Count(*e, clBlack), 0);
}

TEST(CanvasLines, WidthZeroAndOneAreOnePixel) {
    for (int w : {0, 1}) {
        auto b = MakeBitmap(10, 10);
        TCanvas* c = b->GetCanvas();
        c->GetPen()->SetWidth(w);
        c->MoveTo(1, 4);
        c->LineTo(9, 4);
        EXPECT_EQ(Ink(*b), TRect(1, 4, 9, 5)) << w;
    }
    auto wide = MakeBitmap(20, 20);
    wide->GetCanvas()->GetPen()->SetWidth(3);
    wide->GetCanvas()->MoveTo(5, 10);
    wide->GetCanvas()->LineTo(15, 10);
    TRect ink = Ink(*wide);
    EXPECT_EQ(ink.Height(), 3);
    EXPECT_EQ(ink.Top, 9);
}

TEST(CanvasLines, FarAwayEndsDrawOnlyTheVisiblePart) {
    auto b = MakeBitmap(10, 10);
    TCanvas* c = b->GetCanvas();
    c->MoveTo(-2000000000, 5);
    c->LineTo(2000000000, 5);
    EXPECT_EQ(Ink(*b), TRect(0, 5, 10, 6));
    c->MoveTo(-1000000, -1000000);
    c->LineTo(1000000, 1000000);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Px(*b, i, i), clBlack);
    EXPECT_EQ(Count(*b, clBlack), 19);
    // The dash pattern keeps its phase across the invisible part and across vertices.
    auto d = MakeBitmap(12, 3);
    d->GetCanvas()->GetPen()->SetStyle(psDot);
    d->GetCanvas()->GetBrush()->SetStyle(bsClear);
    d->GetCanvas()->MoveTo(-4, 1);
    d->GetCanvas()->LineTo(12, 1);
    EXPECT_EQ(Px(*d, 0, 1), clWhite); // position 4: in the gap 3..5
    EXPECT_EQ(Px(*d, 2, 1), clBlack); // position 6: a dot again
    d->GetCanvas()->Polyline({{0, 0}, {2, 0}, {6, 0}});
    EXPECT_EQ(Px(*d, 2, 0), clBlack);
    EXPECT_EQ(Px(*d, 3, 0), clWhite);
}

TEST(CanvasLines, SlopedLinesRoundTheMinorCoordinateInEveryOctant) {
    // Odd major lengths, so no step falls exactly halfway between two pixels.
    const TPoint ends[] = {{7, 3},  {3, 7},   {-7, 3},  {-3, 7},  {7, -3},
                           {3, -7}, {-7, -3}, {-3, -7}, {37, 11}, {-11, -37}};
    for (TPoint d : ends) {
        auto b = MakeBitmap(100, 100);
        TCanvas* c = b->GetCanvas();
        const TPoint a{50, 50};
        c->MoveTo(a.X, a.Y);
        c->LineTo(a.X + d.X, a.Y + d.Y);
        const int n = std::max(std::abs(d.X), std::abs(d.Y));
        for (int i = 0; i < n; ++i) {
            const double t = double(i) / n;
            const int x = a.X + int(std::lround(t * d.X)), y = a.Y + int(std::lround(t * d.Y));
            EXPECT_EQ(Px(*b, x, y), clBlack) << "to " << d.X << "," << d.Y << " step " << i;
        }
        EXPECT_EQ(Count(*b, clBlack), n) << "to " << d.X << "," << d.Y;
        EXPECT_EQ(Px(*b, a.X + d.X, a.Y + d.Y), clWhite);
    }
}

TEST(CanvasLines, PolylineSharesVerticesAndLeavesTheLastPoint) {
    auto b = MakeBitmap(12, 12);
    TCanvas* c = b->GetCanvas();
    c->GetPen()->SetMode(pmXor);
    c->GetPen()->SetColor(clWhite);
    // With xor a vertex painted twice would come back white: each one is painted once.
    c->Polyline({{1, 1}, {8, 1}, {8, 8}, {1, 8}});
    EXPECT_EQ(Px(*b, 1, 1), clBlack);
    EXPECT_EQ(Px(*b, 8, 1), clBlack);
    EXPECT_EQ(Px(*b, 8, 8), clBlack);
    EXPECT_EQ(Px(*b, 1, 8), clWhite);
    EXPECT_EQ(Count(*b, clBlack), 7 + 7 + 7);
}

TEST(CanvasLines, XorPenTwiceRestoresAndNotPenInverts) {
    auto b = MakeBitmap(16, 16, RGB(10, 100, 200));
    auto before = MakeBitmap(16, 16, RGB(10, 100, 200));
    TCanvas* c = b->GetCanvas();
    c->GetPen()->SetMode(pmXor);
    c->GetPen()->SetColor(RGB(255, 0, 255));
    c->MoveTo(0, 3);
    c->LineTo(16, 3);
    EXPECT_EQ(Px(*b, 4, 3), RGB(10 ^ 255, 100, 200 ^ 255));
    c->MoveTo(0, 3);
    c->LineTo(16, 3);
    EXPECT_TRUE(SamePixels(*b, *before));

    c->GetPen()->SetMode(pmNot);
    c->MoveTo(5, 0);
    c->LineTo(5, 16);
    EXPECT_EQ(Px(*b, 5, 7), RGB(245, 155, 55));
    c->MoveTo(5, 0);
    c->LineTo(5, 16);
    EXPECT_TRUE(SamePixels(*b, *before));
    c->GetPen()->SetMode(pmCopy);
    c->MoveTo(0, 0);
    c->LineTo(3, 0);
    EXPECT_EQ(Px(*b, 1, 0), ColorToRGB(c->GetPen()->GetColor()));
}

TEST(CanvasLines, DottedPenGapsTakeTheBackgroundUnlessClear) {
    auto b = MakeBitmap(20, 4, clRed);
    TCanvas* c = b->GetCanvas();
    c->GetPen()->SetStyle(psDot);
    c->GetBrush()->SetColor(clYellow);
    c->MoveTo(0, 1);
    c->LineTo(12, 1);
    EXPECT_EQ(Px(*b, 0, 1), clBlack);
    EXPECT_EQ(Px(*b, 2, 1), clBlack);
    EXPECT_EQ(Px(*b, 3, 1), clYellow);
    EXPECT_EQ(Px(*b, 6, 1), clBlack);
    c->GetBrush()->SetStyle(bsClear);
    c->MoveTo(0, 2);
    c->LineTo(12, 2);
    EXPECT_EQ(Px(*b, 3, 2), clRed);
    EXPECT_EQ(Px(*b, 6, 2), clBlack);
}

TEST(CanvasShapes, RectangleFillFrameAndInvert) {
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clRed);
    c->Rectangle(2, 2, 8, 6);
    EXPECT_EQ(Ink(*b), TRect(2, 2, 8, 6));
    EXPECT_EQ(Px(*b, 2, 2), clBlack);
    EXPECT_EQ(Px(*b, 7, 5), clBlack);
    EXPECT_EQ(Px(*b, 3, 3), clRed);
    EXPECT_EQ(Count(*b, clRed), 4 * 2);
    // Without an outline the fill stops one pixel short.
    auto n = MakeBitmap(20, 20);
    n->GetCanvas()->GetPen()->SetStyle(psClear);
    n->GetCanvas()->GetBrush()->SetColor(clBlue);
    n->GetCanvas()->Rectangle(2, 2, 8, 6);
    EXPECT_EQ(Ink(*n), TRect(2, 2, 7, 5));

    auto f = MakeBitmap(20, 20);
    TCanvas* fc = f->GetCanvas();
    fc->GetBrush()->SetColor(clGreen);
    fc->FillRect({1, 1, 5, 4});
    EXPECT_EQ(Ink(*f), TRect(1, 1, 5, 4));
    EXPECT_EQ(Count(*f, clGreen), 12);
    fc->GetBrush()->SetColor(clBlue);
    fc->FrameRect({10, 10, 15, 14});
    EXPECT_EQ(Count(*f, clBlue), 5 * 2 + 2 * 2);
    EXPECT_EQ(Px(*f, 12, 12), clWhite);
    // A clear brush fills nothing.
    fc->GetBrush()->SetStyle(bsClear);
    fc->FillRect({0, 0, 20, 20});
    EXPECT_EQ(Count(*f, clGreen), 12);

    fc->InvertRect({0, 0, 2, 2});
    EXPECT_EQ(Px(*f, 0, 0), clBlack);
    EXPECT_EQ(Px(*f, 1, 1), RGB(255, 127, 255));
    fc->InvertRect({0, 0, 2, 2});
    EXPECT_EQ(Px(*f, 0, 0), clWhite);
    EXPECT_EQ(Px(*f, 1, 1), clGreen);
}

TEST(CanvasShapes, FocusRectangleTwiceLeavesNoTrace) {
    auto b = MakeBitmap(30, 20, RGB(40, 80, 120));
    auto before = MakeBitmap(30, 20, RGB(40, 80, 120));
    TCanvas* c = b->GetCanvas();
    c->SetBkColor(clBlack);
    c->SetTextColor(clWhite);
    c->DrawFocusRect({2, 3, 22, 13});
    // Every other pixel of the frame is inverted, the inside untouched.
    int inverted = Count(*b, RGB(215, 175, 135));
    EXPECT_EQ(inverted, (20 * 2 + 8 * 2) / 2);
    EXPECT_NE(Px(*b, 2, 3), Px(*b, 3, 3));
    EXPECT_NE(Px(*b, 3, 3), Px(*b, 4, 3));
    EXPECT_EQ(Ink(*b, RGB(40, 80, 120)), TRect(2, 3, 22, 13));
    c->DrawFocusRect({2, 3, 22, 13});
    EXPECT_TRUE(SamePixels(*b, *before));
}

TEST(CanvasShapes, PolygonEllipseAndRoundRect) {
    auto b = MakeBitmap(30, 30);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clRed);
    // A closed outline: every vertex is painted, so the square spans 11 pixels.
    c->Polygon({{2, 2}, {12, 2}, {12, 12}, {2, 12}});
    EXPECT_EQ(Ink(*b), TRect(2, 2, 13, 13));
    EXPECT_EQ(Count(*b, clRed), 9 * 9);

    // In xor mode each pixel is combined once: the shape inverts exactly the pixels it covers
    // in copy mode (a pixel touched twice would come back unchanged).
    auto shapes = [](TCanvas* c, int which) {
        if (which == 0) c->Polygon({{3, 3}, {25, 8}, {10, 27}});
        if (which == 1) c->Ellipse(2, 2, 20, 14);
        if (which == 2) c->Rectangle(5, 5, 28, 28);
        if (which == 3) c->RoundRect(1, 4, 27, 25, 10, 8);
    };
    for (int which = 0; which < 4; ++which) {
        auto copy = MakeBitmap(30, 30, clTeal);
        copy->GetCanvas()->GetPen()->SetColor(clWhite);
        copy->GetCanvas()->GetBrush()->SetColor(clWhite);
        shapes(copy->GetCanvas(), which);
        auto x = MakeBitmap(30, 30, clTeal);
        x->GetCanvas()->GetPen()->SetMode(pmXor);
        x->GetCanvas()->GetPen()->SetColor(clWhite);
        x->GetCanvas()->GetBrush()->SetColor(clWhite);
        shapes(x->GetCanvas(), which);
        EXPECT_EQ(Count(*x, RGB(255, 127, 127)), Count(*copy, clWhite)) << which;
        EXPECT_EQ(Count(*x, clTeal), Count(*copy, clTeal)) << which;
    }

    auto e = MakeBitmap(30, 30);
    e->GetCanvas()->GetBrush()->SetColor(clBlue);
    e->GetCanvas()->Ellipse(3, 4, 23, 14);
    EXPECT_EQ(Ink(*e), TRect(3, 4, 23, 14));
    EXPECT_EQ(Px(*e, 13, 9), clBlue);
    EXPECT_EQ(Px(*e, 3, 4), clWhite); // the corners stay outside

    auto r = MakeBitmap(30, 30);
    r->GetCanvas()->GetBrush()->SetColor(clRed);
    r->GetCanvas()->RoundRect(2, 2, 20, 16, 6, 6);
    EXPECT_EQ(Ink(*r), TRect(2, 2, 20, 16));
    EXPECT_EQ(Px(*r, 2, 2), clWhite);
    EXPECT_EQ(Px(*r, 10, 2), clBlack);
    EXPECT_EQ(Px(*r, 19, 15), clWhite);
    EXPECT_EQ(Px(*r, 19, 9), clBlack);
    // The round-rectangle region matches the painted shape.
    TRegion rr = CreateRoundRectRgn(2, 2, 20, 16, 6, 6);
    EXPECT_EQ(rr.GetBox(), TRect(2, 2, 20, 16));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(rr.Contains(x, y), Px(*r, x, y) != clWhite) << x << "," << y;
}

TEST(CanvasClip, PolygonRegionLimitsDrawing) {
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->GetCanvas();
    TRegion tri = CreatePolygonRgn({{0, 0}, {20, 0}, {0, 20}}, WINDING);
    EXPECT_EQ(c->SelectClipRgn(tri), COMPLEXREGION);
    c->GetBrush()->SetColor(clRed);
    c->FillRect({0, 0, 20, 20});
    // Pixels whose centres lie inside are drawn; those outside are not (centres exactly on the
    // slanted edge are left to the rasteriser).
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (x + y != 19) EXPECT_EQ(Px(*b, x, y) == clRed, x + y < 19) << x << "," << y;
    // Reading outside the clip gives the invalid color; removing the clip allows everything.
    EXPECT_EQ(c->GetPixels(19, 19), CLR_INVALID);
    c->SelectClipRgn(nullptr);
    EXPECT_EQ(c->GetPixels(19, 19), clWhite);
    EXPECT_EQ(c->GetClipRect(), TRect(0, 0, 20, 20));
}

TEST(CanvasClip, RegionsIntersectExcludeSaveAndRestore) {
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clRed);
    int level = c->SaveDC();
    EXPECT_EQ(level, 1);
    c->IntersectClipRect({2, 2, 12, 12});
    c->ExcludeClipRect({4, 4, 8, 8});
    EXPECT_EQ(c->GetClipRect(), TRect(2, 2, 12, 12));
    EXPECT_TRUE(c->RectVisible({0, 0, 3, 3}));
    EXPECT_FALSE(c->RectVisible({5, 5, 7, 7}));
    c->FillRect({0, 0, 20, 20});
    EXPECT_EQ(Count(*b, clRed), 100 - 16);
    EXPECT_TRUE(c->RestoreDC(-1));
    EXPECT_FALSE(c->RestoreDC(-1));
    TRegion none;
    EXPECT_FALSE(c->GetClipRgn(none));
    c->GetBrush()->SetColor(clBlue);
    c->FillRect({0, 0, 20, 20});
    EXPECT_EQ(Count(*b, clBlue), 400);

    // An elliptic region: the corners of its box stay untouched.
    auto e = MakeBitmap(20, 20);
    e->GetCanvas()->SelectClipRgn(CreateEllipticRgn(0, 0, 20, 20));
    e->GetCanvas()->GetBrush()->SetColor(clRed);
    e->GetCanvas()->FillRect({0, 0, 20, 20});
    EXPECT_EQ(e->GetCanvas()->GetPixels(10, 10), clRed);
    e->GetCanvas()->SelectClipRgn(nullptr);
    EXPECT_EQ(Px(*e, 0, 0), clWhite);
    EXPECT_EQ(Px(*e, 19, 19), clWhite);
}

TEST(CanvasClip, WindowOriginShiftsDrawingNotTheDeviceClip) {
    auto b = MakeBitmap(20, 20);
    TCanvas* c = b->GetCanvas();
    c->SetWindowOrg(5, 5);
    c->SelectClipRgn(CreateRectRgn(0, 0, 10, 10)); // device coordinates
    c->GetBrush()->SetColor(clRed);
    c->FillRect({5, 5, 30, 30}); // logical: starts at the device origin
    c->SetWindowOrg(0, 0);
    c->SelectClipRgn(nullptr);
    EXPECT_EQ(Ink(*b), TRect(0, 0, 10, 10));
}

TEST(Regions, CombineAndQuery) {
    TRegion a = CreateRectRgn(0, 0, 10, 10);
    TRegion b = CreateRectRgn(5, 5, 15, 15);
    TRegion r;
    EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(r.GetBox(), TRect(5, 5, 10, 10));
    EXPECT_EQ(CombineRgn(r, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(r.GetBox(), TRect(0, 0, 15, 15));
    EXPECT_FALSE(PtInRegion(r, 12, 2));
    EXPECT_EQ(CombineRgn(r, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(r, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(r, 7, 7));
    EXPECT_TRUE(PtInRegion(r, 2, 2));
    OffsetRgn(a, 3, 4);
    TRect box;
    GetRgnBox(a, box);
    EXPECT_EQ(box, TRect(3, 4, 13, 14));
    EXPECT_TRUE(EqualRgn(a, CreateRectRgn(3, 4, 13, 14)));
    EXPECT_TRUE(CreateRectRgn(5, 5, 5, 9).IsEmpty());
    // The polygon region excludes its right and bottom edges.
    TRegion sq = CreatePolygonRgn({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, ALTERNATE);
    EXPECT_EQ(sq.GetBox(), TRect(0, 0, 10, 10));
    TRegion copy = sq;
    copy.Offset(1, 1);
    EXPECT_FALSE(copy == sq);
}

TEST(CanvasPixels, SetGetAndCopyRect) {
    auto b = MakeBitmap(10, 10);
    TCanvas* c = b->GetCanvas();
    c->SetPixels(3, 4, clRed);
    EXPECT_EQ(c->GetPixels(3, 4), clRed);
    EXPECT_EQ(c->GetPixels(-1, 0), CLR_INVALID);
    EXPECT_EQ(c->GetPixels(10, 0), CLR_INVALID);
    c->SetPixels(3, 5, clBtnFace); // system colors are resolved
    EXPECT_EQ(c->GetPixels(3, 5), RGB(240, 240, 240));

    auto d = MakeBitmap(20, 20);
    d->GetCanvas()->CopyRect({10, 10, 13, 13}, *c, {2, 3, 5, 6});
    EXPECT_EQ(Px(*d, 11, 11), clRed);
    EXPECT_EQ(Ink(*d), TRect(11, 11, 12, 13));
    // Stretched to twice the size.
    d->GetCanvas()->CopyRect({0, 0, 6, 6}, *c, {2, 3, 5, 6});
    EXPECT_EQ(Count(*d, clRed, {0, 0, 6, 6}), 4);
    // Overlapping copy within one canvas.
    c->CopyRect({4, 4, 8, 8}, *c, {3, 3, 7, 7});
    EXPECT_EQ(c->GetPixels(4, 5), clRed);
    // Copy modes: inverting the destination.
    d->GetCanvas()->SetCopyMode(cmDstInvert);
    d->GetCanvas()->CopyRect({0, 0, 4, 4}, *c, {0, 0, 4, 4});
    EXPECT_EQ(Px(*d, 0, 0), clBlack);
    EXPECT_EQ(Px(*d, 2, 2), clAqua);
}

TEST(CanvasState, BrushAndFontSetTheDeviceColors) {
    TCanvas c; // detached: drawing is ignored, state and measurement still work
    EXPECT_FALSE(c.HandleAllocated());
    c.FillRect({0, 0, 10, 10});
    EXPECT_EQ(c.GetPixels(0, 0), CLR_INVALID);
    c.GetBrush()->SetColor(clRed);
    EXPECT_EQ(c.GetBkColor(), clRed);
    EXPECT_EQ(c.GetBkMode(), OPAQUE);
    c.GetBrush()->SetStyle(bsClear);
    EXPECT_EQ(c.GetBkMode(), TRANSPARENT);
    c.GetFont()->SetColor(clBlue);
    EXPECT_EQ(c.GetTextColor(), clBlue);
    EXPECT_EQ(c.SetTextColor(clWhite), clBlue);
    c.SaveDC();
    c.SetBkColor(clBlack);
    c.SetWindowOrg(3, 4);
    c.RestoreDC(1);
    EXPECT_EQ(c.GetBkColor(), clRed);
    EXPECT_EQ(c.GetWindowOrg(), TPoint(0, 0));
    EXPECT_GT(c.TextWidth(WideString(u"abc")), 0);
}
