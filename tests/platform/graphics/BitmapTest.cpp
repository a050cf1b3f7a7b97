#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <cstring>

#include "GraphicsTestSupport.h"
#include "platform/graphics/BitmapQt.h"
#include "platform/graphics/Font.h"

using namespace gtest_graphics;

TEST(Bitmap, SizeFormatAndGrowth) {
    TBitmap b;
    EXPECT_TRUE(b.GetEmpty());
    EXPECT_EQ(b.GetPixelFormat(), pfDevice);
    int changes = 0;
    b.OnChange = [&] { ++changes; };
    b.SetPixelFormat(pf24bit);
    b.SetSize(5, 3);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(b.GetEmpty());
    EXPECT_EQ(b.GetCanvas()->GetPixels(4, 2), clBlack); // new pixels are black
    b.GetCanvas()->SetPixels(1, 1, clRed);
    b.SetWidth(8); // growing keeps the old pixels
    EXPECT_EQ(b.GetCanvas()->GetPixels(1, 1), clRed);
    EXPECT_EQ(b.GetWidth(), 8);
    b.SetHeight(0);
    EXPECT_TRUE(b.GetEmpty());
    b.GetCanvas()->FillRect({0, 0, 5, 5}); // nothing to draw on: ignored
    // Settings that do not change report nothing; drawing reports a change.
    changes = 0;
    b.SetTransparent(false);
    b.SetTransparentMode(tmAuto);
    EXPECT_EQ(changes, 0);
    b.SetTransparent(true);
    b.SetTransparentColor(clRed);
    b.SetTransparentColor(clRed);
    EXPECT_EQ(changes, 2);
    b.SetSize(2, 2);
    changes = 0;
    b.GetCanvas()->SetPixels(0, 0, clRed);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(b.SetPixelFormat(pf8bit), EInvalidGraphic);
}

TEST(Bitmap, Rows24BitAreBlueGreenRedPaddedToFourBytes) {
    TBitmap b(5, 2, pf24bit);
    EXPECT_EQ(b.GetRowBytes(), 16); // 15 bytes padded to 16
    b.GetCanvas()->SetPixels(1, 0, RGB(0x11, 0x22, 0x33));
    const uint8_t* row = b.ScanLine(0);
    EXPECT_EQ(row[3], 0x33);
    EXPECT_EQ(row[4], 0x22);
    EXPECT_EQ(row[5], 0x11);
    // Writing through the row shows on the canvas.
    uint8_t* row1 = b.ScanLine(1);
    row1[12] = 0xFF; // pixel 4: blue
    row1[13] = 0x00;
    row1[14] = 0x00;
    EXPECT_EQ(b.GetCanvas()->GetPixels(4, 1), clBlue);
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), 16);
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphic);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
}

TEST(Bitmap, Rows32BitKeepAlphaAndConvert) {
    TBitmap b(3, 2, pf32bit);
    EXPECT_EQ(b.GetRowBytes(), 12);
    b.GetCanvas()->SetPixels(2, 1, RGB(1, 2, 3));
    uint8_t* row = b.ScanLine(1);
    EXPECT_EQ(row[8], 3);
    EXPECT_EQ(row[9], 2);
    EXPECT_EQ(row[10], 1);
    row[0] = 10;
    row[1] = 20;
    row[2] = 30;
    row[3] = 77; // alpha
    EXPECT_EQ(b.GetCanvas()->GetPixels(0, 1), RGB(30, 20, 10));
    EXPECT_EQ(b.ScanLine(1)[3], 77);
    EXPECT_EQ(qAlpha(BitmapImageARGB32(b).pixel(0, 1)), 77);
    // Drawing a 32-bit bitmap ignores its alpha.
    auto dst = MakeBitmap(3, 2, clWhite);
    dst->GetCanvas()->Draw(0, 0, b);
    EXPECT_EQ(Px(*dst, 0, 1), RGB(30, 20, 10));
    // To 24 bits and back: colors stay.
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(b.ScanLine(1)[0], 10);
    EXPECT_EQ(b.GetRowBytes(), 12);
    b.SetPixelFormat(pf32bit);
    EXPECT_EQ(b.GetCanvas()->GetPixels(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(b.ScanLine(1)[3], 255);
}

TEST(Bitmap, FourBitRowsUseThePalette) {
    TBitmap b(5, 2, pf4bit);
    EXPECT_EQ(b.GetRowBytes(), 4);
    b.GetCanvas()->SetPixels(0, 0, clRed);
    b.GetCanvas()->SetPixels(1, 0, RGB(250, 250, 250)); // nearest palette color: white
    EXPECT_EQ(b.GetCanvas()->GetPixels(1, 0), clWhite);
    uint8_t* row = b.ScanLine(0);
    EXPECT_EQ(row[0], 0x9F); // red (9) then white (15)
    row[2] = 0xC0;           // pixel 4: blue (12)
    EXPECT_EQ(b.GetCanvas()->GetPixels(4, 0), clBlue);
    EXPECT_EQ(Palette16Color(7), RGB(192, 192, 192));
}

TEST(Bitmap, TransparentDrawingLeavesTheKeyColorOut) {
    TBitmap glyph(4, 4, pf24bit);
    TCanvas* g = glyph.GetCanvas();
    g->GetBrush()->SetColor(clFuchsia);
    g->FillRect({0, 0, 4, 4});
    g->SetPixels(1, 1, clBlue);
    g->SetPixels(2, 2, clGreen);
    auto dst = MakeBitmap(10, 10, clYellow);
    // Opaque first.
    dst->GetCanvas()->Draw(2, 2, glyph);
    EXPECT_EQ(Count(*dst, clFuchsia), 14);
    // tmAuto takes the bottom-left pixel.
    glyph.SetTransparent(true);
    EXPECT_EQ(glyph.GetTransparentColor(), clFuchsia);
    auto dst2 = MakeBitmap(10, 10, clYellow);
    dst2->GetCanvas()->Draw(2, 2, glyph);
    EXPECT_EQ(Count(*dst2, clFuchsia), 0);
    EXPECT_EQ(Px(*dst2, 3, 3), clBlue);
    EXPECT_EQ(Px(*dst2, 4, 4), clGreen);
    EXPECT_EQ(Px(*dst2, 2, 2), clYellow);
    // A fixed transparent color.
    glyph.SetTransparentColor(clBlue);
    EXPECT_EQ(glyph.GetTransparentMode(), tmFixed);
    auto dst3 = MakeBitmap(10, 10, clYellow);
    dst3->GetCanvas()->Draw(0, 0, glyph);
    EXPECT_EQ(Px(*dst3, 1, 1), clYellow);
    EXPECT_EQ(Px(*dst3, 0, 0), clFuchsia);
    // Stretched, still transparent.
    auto dst4 = MakeBitmap(10, 10, clYellow);
    dst4->GetCanvas()->StretchDraw({0, 0, 8, 8}, glyph);
    EXPECT_EQ(Count(*dst4, clYellow, {0, 0, 8, 8}), 4);
    EXPECT_EQ(Count(*dst4, clGreen), 4);
}

TEST(Bitmap, AssignCopiesPixelsAndSettings) {
    TBitmap a(3, 3, pf32bit);
    a.GetCanvas()->SetPixels(1, 1, clRed);
    a.SetTransparent(true);
    a.SetTransparentColor(clRed);
    TBitmap b;
    b.Assign(a);
    EXPECT_EQ(b.GetPixelFormat(), pf32bit);
    EXPECT_EQ(b.GetWidth(), 3);
    EXPECT_TRUE(b.GetTransparent());
    EXPECT_EQ(b.GetTransparentColor(), clRed);
    EXPECT_EQ(b.GetCanvas()->GetPixels(1, 1), clRed);
    // The copy is independent.
    b.GetCanvas()->SetPixels(1, 1, clBlue);
    b.ScanLine(0)[0] = 0x55;
    EXPECT_EQ(a.GetCanvas()->GetPixels(1, 1), clRed);
    EXPECT_EQ(a.ScanLine(0)[0], 0);
    // Through the persistent interface: bitmaps copy, other kinds refuse, nothing empties.
    TBitmap c;
    c.Assign(static_cast<const TPersistent*>(&a));
    EXPECT_EQ(c.GetCanvas()->GetPixels(1, 1), clRed);
    TFont font;
    try {
        c.Assign(static_cast<const TPersistent*>(&font));
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TFont to a TBitmap");
    }
    c.Assign(static_cast<const TPersistent*>(nullptr));
    EXPECT_TRUE(c.GetEmpty());
    b.Assign(static_cast<const TBitmap*>(nullptr));
    EXPECT_TRUE(b.GetEmpty());
}

TEST(Bitmap, LoadsNamedResources) {
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 255));
    img.setPixel(0, 1, qRgb(255, 0, 255));
    QByteArray data;
    QBuffer buf(&data);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "BMP"));
    RegisterBitmapResource("TestGlyph", reinterpret_cast<const uint8_t*>(data.constData()),
                           static_cast<size_t>(data.size()));
    EXPECT_TRUE(BitmapResourceExists("TESTGLYPH"));
    TBitmap b;
    b.LoadFromResourceName("testglyph");
    EXPECT_EQ(b.GetWidth(), 3);
    EXPECT_EQ(b.GetHeight(), 2);
    EXPECT_EQ(b.GetPixelFormat(), pf24bit);
    EXPECT_EQ(b.GetCanvas()->GetPixels(1, 0), clBlue);
    EXPECT_EQ(b.GetTransparentColor(), clFuchsia);
    UnregisterBitmapResource("TestGlyph");
    try {
        b.LoadFromResourceName("TestGlyph");
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_STREQ(e.what(), "Resource TestGlyph not found");
    }
    const uint8_t junk[] = {1, 2, 3};
    RegisterBitmapResource("Junk", junk, sizeof junk);
    EXPECT_THROW(b.LoadFromResourceName("Junk"), EInvalidGraphic);
    UnregisterBitmapResource("Junk");
}

TEST(Bitmap, SavesAndLoadsFiles) {
    auto b = MakeBitmap(6, 4, clLime);
    b->GetCanvas()->SetPixels(5, 3, clNavy);
    std::string path = OutDir() + "/bitmap-roundtrip.png";
    b->SaveToFile(path);
    TBitmap c;
    c.LoadFromFile(path);
    EXPECT_TRUE(SamePixels(*b, c));
    EXPECT_THROW(c.LoadFromFile(OutDir() + "/does-not-exist.png"), EInvalidGraphic);
    EXPECT_THROW(b->SaveToFile("/nonexistent-dir/x.png"), EFCreateError);
}
