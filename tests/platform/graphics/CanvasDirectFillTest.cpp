// Fills and thin lines written straight into 32-bit images give the pixels the painter gives.

#include <QImage>
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "platform/graphics/CanvasQt.h"
#include "platform/graphics/Region.h"

using namespace gtest_graphics;

namespace {

// Every operation that may take the direct path, under clips that cut through the shapes, with
// a moved origin, and the combining modes that must keep the painter, in between.
void DrawScene(TCanvas& c) {
    c.GetBrush()->SetColor(clRed);
    c.FillRect({-5, -5, 25, 12});
    c.GetPen()->SetColor(clBlue);
    c.MoveTo(0, 20);
    c.LineTo(60, 20); // horizontal
    c.LineTo(60, 2);  // vertical, upwards
    c.LineTo(3, 38);  // diagonal: one-pixel runs
    c.GetBrush()->SetColor(clLime);
    c.FrameRect({30, 5, 50, 15});
    c.Rectangle(8, 24, 28, 36);
    c.GetPen()->SetStyle(psClear);
    c.Rectangle(40, 24, 52, 30);
    c.GetPen()->SetStyle(psDot); // gaps in the background color
    c.SetBkMode(OPAQUE);
    c.GetBrush()->SetColor(clYellow);
    c.MoveTo(2, 28);
    c.LineTo(58, 28);
    c.GetPen()->SetStyle(psSolid);
    c.GetPen()->SetMode(pmXor);
    c.MoveTo(0, 10);
    c.LineTo(60, 10);
    c.GetPen()->SetMode(pmWhite);
    c.MoveTo(5, 0);
    c.LineTo(5, 40);
    c.GetPen()->SetMode(pmCopy);
    c.GetBrush()->SetStyle(bsDiagCross);
    c.FillRect({44, 30, 60, 40});
    c.GetBrush()->SetStyle(bsSolid);
    // A clip with a hole and a moved origin.
    const int Saved = c.SaveDC();
    c.IntersectClipRect({4, 4, 56, 36});
    c.ExcludeClipRect({20, 14, 30, 24});
    c.SetWindowOrg(-3, 2);
    c.GetBrush()->SetColor(clNavy);
    c.FillRect({10, 10, 40, 30});
    c.GetPen()->SetColor(clFuchsia);
    for (int X = 12; X < 44; X += 3) {
        c.MoveTo(X, 6);
        c.LineTo(X, 34);
    }
    c.Polygon({Point(45, 8), Point(55, 12), Point(48, 30)});
    c.RestoreDC(Saved);
    c.SetWindowOrg(0, 0);
}

QImage Drawn(bool Direct, QImage::Format Format, const QRegion* Limit) {
    QImage Image(60, 40, Format);
    Image.fill(Qt::white);
    TCanvas Canvas;
    SetDirectFills(Direct);
    {
        TCanvasAttachment Attach(Canvas, &Image, Limit);
        DrawScene(Canvas);
    }
    SetDirectFills(true);
    return Image.convertToFormat(QImage::Format_RGB32);
}

std::unique_ptr<TBitmap> DrawnBitmap(bool Direct, TPixelFormat Format) {
    auto B = MakeBitmap(60, 40, clWhite, Format);
    SetDirectFills(Direct);
    DrawScene(*B->GetCanvas());
    SetDirectFills(true);
    return B;
}

} // namespace

TEST(CanvasDirectFill, ImagesGetThePaintersPixels) {
    ASSERT_TRUE(GetDirectFills());
    QRegion Limit(QRect(0, 0, 60, 18));
    Limit += QRect(10, 18, 30, 22);
    for (QImage::Format Format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_ARGB32}) {
        for (const QRegion* L : std::initializer_list<const QRegion*>{nullptr, &Limit}) {
            const QImage Painter = Drawn(false, Format, L);
            const QImage Direct = Drawn(true, Format, L);
            EXPECT_EQ(Painter, Direct) << "format " << int(Format) << (L ? " with limit" : "");
            // The scene drew something in each of its colors.
            int Navy = 0, Fuchsia = 0;
            for (int Y = 0; Y < 40; ++Y)
                for (int X = 0; X < 60; ++X) {
                    Navy += ColorFromQt(Direct.pixel(X, Y)) == clNavy;
                    Fuchsia += ColorFromQt(Direct.pixel(X, Y)) == clFuchsia;
                }
            EXPECT_GT(Navy, 100);
            EXPECT_GT(Fuchsia, 50);
        }
    }
}

TEST(CanvasDirectFill, BitmapsGetThePaintersPixels) {
    // 32 bits take the direct path, 4 bits the same with the palette applied after each change,
    // 24 bits the painter.
    for (TPixelFormat Format : {pf32bit, pf4bit, pf24bit}) {
        auto Painter = DrawnBitmap(false, Format);
        auto Direct = DrawnBitmap(true, Format);
        EXPECT_TRUE(SamePixels(*Painter, *Direct)) << "format " << int(Format);
        EXPECT_EQ(Px(*Direct, 14, 10), clNavy) << "format " << int(Format);
    }
}

TEST(CanvasDirectFill, DetachedOrEmptyCanvasesDrawNothing) {
    TCanvas Canvas;
    Canvas.GetBrush()->SetColor(clRed);
    Canvas.FillRect({0, 0, 10, 10});
    QImage Null;
    TCanvasAttachment Attach(Canvas, &Null);
    Canvas.FillRect({0, 0, 10, 10});
    Canvas.MoveTo(0, 0);
    Canvas.LineTo(10, 0);
    EXPECT_TRUE(Null.isNull());
}
