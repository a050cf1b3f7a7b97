// Renders the drawing primitives side by side into one image to look at, and checks a few
// landmarks of it.
#include <gtest/gtest.h>

#include <filesystem>

#include "drawing/DrawingTestSupport.h"
#include "drawing/NxClasses.h"
#include "drawing/Providers.h"
#include "drawing/SharedCommon.h"
#include "drawing/SharedDraw.h"
#include "drawing/ThemesSupport.h"

using namespace NxSharedDraw;
using namespace NxSharedCommon;
using namespace NxThemesSupport;
using DrawingTest::Hex;
using DrawingTest::Surface;

namespace {

void Label(TCanvas* c, int x, int y, const WideString& text) {
    c->GetFont()->SetColor(clBlack);
    c->GetFont()->SetHeight(-11);
    NxSharedDraw::DrawText(c, Rect(x, y, x + 320, y + 14), taLeftJustify, text);
}

TEST(Gallery, RendersThePrimitivesIntoOneImage) {
    Surface s(720, 560, clWhite);
    TCanvas* c = s.Canvas();
    DrawingTest::UseTestFont(c);

    // Row 1: gradients.
    Label(c, 10, 4, u"Vertical gradients");
    DrawVertGradient(c, Rect(10, 20, 90, 62), clWindow, SchemeColor(seBtnFace, csBlue));
    DrawVertGradient(c, Rect(100, 20, 180, 62), SchemeColor(seGridHeaderGradientStart, csBlue2010),
                     SchemeColor(seGridHeaderGradientEnd, csBlue2010));
    Label(c, 200, 4, u"Horizontal gradients");
    DrawHorzGradient(c, Rect(200, 20, 330, 62), clWindow, SchemeColor(seBorder, csBlue));
    DrawHorzReflectGrad(c, Rect(340, 20, 470, 62), clWhite, Hex(0x3366CC));
    Label(c, 490, 4, u"Glass, shine, Vista");
    DrawVertGlass(c, Rect(490, 20, 560, 62), Hex(0x6692CE), Hex(0x15428B), 20);
    DrawVertShine(c, Rect(565, 20, 635, 62), Hex(0x6692CE), Hex(0x15428B), 20);
    DrawVistaToolbar(c, Rect(640, 20, 710, 62), Hex(0x9B9FA6), Hex(0x3B3B3B));

    // Row 2: frames, focus, check boxes.
    Label(c, 10, 74, u"Buttons and focus");
    TGraphicsProvider::DrawButton(c, Rect(10, 90, 80, 116), false);
    TGraphicsProvider::DrawButton(c, Rect(90, 90, 160, 116), true);
    DrawFocusRect(c, Rect(170, 90, 240, 116));
    TGraphicsProvider::DrawFocused(c, Rect(250, 90, 320, 116), true);
    Label(c, 340, 74, u"Check boxes");
    TGraphicsProvider::DrawCheckBox(c, Rect(340, 90, 370, 116), taCenter, taVerticalCenter, true);
    TGraphicsProvider::DrawCheckBox(c, Rect(370, 90, 400, 116), taCenter, taVerticalCenter, false);
    NxThemesSupport::ThemeRect(nullptr, c, Rect(420, 90, 520, 116), u"edit", 1, 0);
    Label(c, 420, 74, u"Themed edit");

    // Row 3: alpha bitmaps over a striped background.
    Label(c, 10, 128, u"Alpha bitmaps");
    for (int x = 10; x < 330; x += 20) {
        c->GetBrush()->SetColor((x / 20) % 2 ? Hex(0x404040) : Hex(0xF0C040));
        c->FillRect(Rect(x, 144, x + 20, 200));
    }
    for (int i = 0; i < 5; ++i) {
        auto b = DrawingTest::AlphaBitmap(50, 40, Hex(0x2060E0), static_cast<uint8_t>(i * 255 / 4));
        NxSharedDraw::ApplyBitmap(c, 14 + i * 62, 152, b.get());
    }
    auto ramp = std::make_unique<TBitmap>(120, 40, pf32bit);
    for (int y = 0; y < 40; ++y) {
        uint8_t* p = ramp->ScanLine(y);
        for (int x = 0; x < 120; ++x, p += 4) {
            p[0] = 40, p[1] = 160, p[2] = 40;
            p[3] = static_cast<uint8_t>(x * 255 / 119);
        }
    }
    DrawBitmap(c, 340, 152, ramp.get(), clWhite);
    TDrawProvider::ApplyBitmap(c, 470, 152, ramp.get());
    BitmapInRect(c, Rect(600, 152, 660, 172), ramp.get());

    // Row 4: text.
    Label(c, 10, 212, u"Text: left, centre, right, ellipsis");
    const TRect boxes[] = {Rect(10, 228, 170, 252), Rect(180, 228, 340, 252), Rect(350, 228, 510, 252),
                           Rect(520, 228, 620, 252)};
    for (const TRect& b : boxes) {
        c->GetBrush()->SetColor(Hex(0xEEF3FA));
        c->FillRect(b);
    }
    DrawingTest::UseTestFont(c);
    NxSharedDraw::DrawText(c, boxes[0], taLeftJustify, u"Left aligned");
    NxSharedDraw::DrawText(c, boxes[1], taCenter, u"Centred");
    NxSharedDraw::DrawText(c, boxes[2], taRightJustify, u"Right aligned");
    NxSharedDraw::DrawText(c, boxes[3], taLeftJustify, u"A text far too long for its box");

    Label(c, 10, 262, u"Wrapped: top, centre, bottom");
    const WideString para = u"Wrapped text breaks between words and is placed by its vertical alignment.";
    const TVerticalAlignment va[] = {taAlignTop, taVerticalCenter, taAlignBottom};
    for (int i = 0; i < 3; ++i) {
        const TRect b(10 + i * 170, 278, 170 + i * 170, 380);
        c->GetBrush()->SetColor(Hex(0xF4F4F4));
        c->FillRect(b);
        DrawingTest::UseTestFont(c);
        TGraphicsProvider::DrawWrapedTextRect(c, b, taCenter, va[i], true, para);
    }
    c->GetBrush()->SetColor(Hex(0xC0C0C0));
    c->FillRect(Rect(530, 278, 700, 310));
    DrawingTest::UseTestFont(c, -15);
    DrawDisabledText(c, Rect(540, 278, 700, 310), "Disabled text", taLeftJustify);
    DrawingTest::UseTestFont(c);
    DrawPrefixText(c, Rect(540, 315, 700, 335), u"&Prefixed caption");
    NxSharedCommon::DrawTextRect(c, Rect(540, 340, 700, 360), taLeftJustify, u"abc (right to left)",
                                 bdRightToLeft);

    Label(c, 10, 392, u"Vertical text, markup, scheme swatches");
    DrawingTest::UseTestFont(c);
    c->GetBrush()->SetColor(Hex(0xEEF3FA));
    c->FillRect(Rect(10, 408, 40, 550));
    NxSharedCommon::DrawVerticalText(c, Rect(10, 408, 40, 550), "Vertical caption");
    DrawingTest::UseTestFont(c);
    ProcessHTML(
        c, Rect(60, 408, 330, 550),
        u"Markup: <b>bold</b>, <i>italic</i>, <u>underlined</u>, <font color=\"crimson\">crimson</font>, "
        u"<font size=14>bigger</font> and a <a href=\"x\">link</a>.<br>Second line.",
        Point(-1, -1), {4, 2}, true);
    // Every scheme's face, border, header gradient and menu highlight.
    const TColorScheme schemes[] = {csBlack, csBlue, csSilver, csBlue2010, csSilver2010, csBlack2010};
    for (int i = 0; i < 6; ++i) {
        const int x = 350 + i * 60;
        c->GetBrush()->SetColor(SchemeColor(seBtnFace, schemes[i]));
        c->FillRect(Rect(x, 408, x + 50, 440));
        c->GetBrush()->SetColor(SchemeColor(seBorder, schemes[i]));
        c->FrameRect(Rect(x, 408, x + 50, 440));
        DrawVertGradient(c, Rect(x, 445, x + 50, 475), SchemeColor(seGridHeaderGradientStart, schemes[i]),
                         SchemeColor(seGridHeaderGradientEnd, schemes[i]));
        c->GetBrush()->SetColor(SchemeColor(seMenuHighlight, schemes[i]));
        c->FillRect(Rect(x, 480, x + 50, 500));
    }

    const std::filesystem::path dir = DrawingTest::TestOutputDir();
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "drawing_gallery.png").string();
    s.Bitmap->SaveToFile(file);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);

    // Landmarks: the first gradient row starts with the window color, the Blue scheme's face is
    // in the second swatch, the opaque alpha square covers its stripe.
    EXPECT_EQ(s.Pixel(10, 20), ColorToRGB(clWindow));
    EXPECT_EQ(s.Pixel(430, 420), Hex(0xE3EFFF));
    EXPECT_EQ(s.Pixel(14 + 4 * 62 + 10, 160), Hex(0x1F5FDF));
}

} // namespace
