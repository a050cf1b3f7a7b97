// Galleries of the panel styles and edit variants, rendered offscreen to PNGs. The main window's
// own tool bar is checked with the window, in the window's tests.
#include <gtest/gtest.h>

#include "controls/ControlsTestSupport.h"
#include "controls/NxEdit.h"
#include "controls/NxPanel.h"
#include "drawing/ThemesSupport.h"
#include "platform/windows/Themes.h"

using namespace ControlsTest;
using namespace NxStdCtrls;

namespace {

std::unique_ptr<TBitmap> ButtonGlyph(TColor color, int shape) {
    auto b = std::make_unique<TBitmap>(32, 32, pf24bit);
    TCanvas* c = b->GetCanvas();
    c->GetBrush()->SetColor(clFuchsia); // bottom-left: transparent
    c->FillRect({0, 0, 32, 32});
    c->GetBrush()->SetColor(color);
    c->GetPen()->SetColor(clBlack);
    if (shape == 0) c->Rectangle(6, 4, 26, 28);
    if (shape == 1) c->Polygon({{4, 10}, {14, 10}, {16, 6}, {28, 6}, {28, 26}, {4, 26}});
    if (shape == 2) c->Polygon({{8, 4}, {28, 16}, {8, 28}});
    if (shape == 3) c->Ellipse(4, 4, 28, 28);
    if (shape == 4) c->Rectangle(8, 8, 24, 24);
    return b;
}

struct PreviewTest : ::testing::Test {
    NxThemesSupport::TColorScheme saved = NxThemesSupport::ColorScheme;
    void SetUp() override { NxThemesSupport::ColorScheme = NxThemesSupport::csBlue; }
    void TearDown() override { NxThemesSupport::ColorScheme = saved; }
};

TEST_F(PreviewTest, PanelStylesGallery) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 660, 160);
    form.GetFont()->SetName("DejaVu Sans");
    form.GetFont()->SetHeight(-11);
    struct Style {
        TNxPanelBackgroundStyle style;
        const char16_t* caption;
    };
    const Style styles[] = {{pbControl, u"pbControl"},
                            {pbHorzGradient, u"pbHorzGradient"},
                            {pbSolid, u"pbSolid"},
                            {pbTransparent, u"pbTransparent"},
                            {pbVertGradient, u"pbVertGradient"}};
    auto* back = new TNxPanel(&form);
    back->SetParent(&form);
    back->SetBounds(0, 0, 660, 130);
    back->SetBackgroundStyle(pbVertGradient);
    back->SetPanelBorders({});
    std::vector<TNxPanel*> panels;
    for (int i = 0; i < 5; ++i) {
        auto* p = new TNxPanel(&form);
        p->SetParent(back);
        p->SetBounds(8 + i * 128, 8, 120, 42);
        p->SetBackgroundStyle(styles[i].style);
        p->SetCaption(styles[i].caption);
        panels.push_back(p);
    }
    auto* wide = new TNxPanel(&form);
    wide->SetParent(back);
    wide->SetBounds(8, 60, 120, 42);
    wide->GetBorderPen()->SetWidth(3);
    wide->GetBorderPen()->SetColor(RGB(0x40, 0x60, 0xA0));
    wide->SetCaption(u"Pen 3 & more");
    auto* sides = new TNxPanel(&form);
    sides->SetParent(back);
    sides->SetBounds(136, 60, 120, 42);
    sides->SetPanelBorders({boBottom, boRight});
    sides->SetCaption(u"Bottom, right");
    auto* own = new TNxPanel(&form);
    own->SetParent(back);
    own->SetBounds(264, 60, 120, 42);
    own->SetAdaptiveColors(false);
    own->SetColor(RGB(0xFF, 0xE0, 0xA0));
    own->SetBackgroundStyle(pbHorzGradient);
    own->SetCaption(u"Own color");
    auto* silver = new TNxPanel(&form);
    silver->SetParent(back);
    silver->SetBounds(392, 60, 120, 42);
    silver->SetColorScheme(NxThemesSupport::csBlack);
    silver->SetBackgroundStyle(pbVertGradient);
    silver->SetCaption(u"csBlack");
    ASSERT_TRUE(ShowAndWait(&form));
    QImage img = Shot(back);
    SavePng(img, "controls-panel-styles.png");
    // The transparent panel shows the gradient of the panel behind it.
    EXPECT_EQ(Pixel(img, 8 + 3 * 128 + 5, 30), Pixel(img, 650, 30));
    // Solid is the scheme face throughout its inside.
    EXPECT_EQ(Pixel(img, 8 + 2 * 128 + 5, 30), Hex(0xE3EFFF));
}

TEST_F(PreviewTest, EditVariantsGallery) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 420, 300);
    form.GetFont()->SetName("DejaVu Sans");
    form.GetFont()->SetHeight(-11);
    auto* back = new TNxPanel(&form);
    back->SetParent(&form);
    back->SetAlign(alClient);
    back->SetPanelBorders({});
    auto add = [&](int row, int col, const char16_t* text) {
        auto* e = new NxEdit::TNxEdit(&form);
        e->SetParent(back);
        e->SetBounds(8 + col * 200, 8 + row * 32, 185, 21);
        e->SetText(text);
        return e;
    };
    add(0, 0, u"Plain edit");
    add(0, 1, u"secret")->SetPasswordChar(u'*');
    auto glyph = ButtonGlyph(clLime, 2);
    auto small = std::make_unique<TBitmap>(16, 16, pf24bit);
    small->GetCanvas()->StretchDraw({0, 0, 16, 16}, *glyph);
    add(1, 0, u"With glyph")->SetGlyph(small.get());
    auto* preview = add(1, 1, u"Glyph and preview");
    preview->SetGlyph(small.get());
    preview->SetShowPreview(true);
    preview->OnCustomPreviewDraw = [preview](TObject*, const TRect& r) {
        (void)preview;
        (void)r;
    };
    add(2, 0, u"Right aligned")->SetAlignment(taRightJustify);
    add(2, 1, u"Centred")->SetAlignment(taCenter);
    add(3, 0, u"No border")->SetBorderStyle(bsNone);
    auto* rings = add(3, 1, u"Border rings");
    rings->SetBorderWidth(2);
    rings->SetColor(RGB(0xFF, 0xF8, 0xD0));
    auto* upper = add(4, 0, u"upper case");
    upper->SetCharCase(ecUpperCase);
    auto* margins = add(4, 1, u"Margins 12 / 12");
    margins->GetEditMargins()->SetLeft(12);
    margins->GetEditMargins()->SetRight(12);
    add(5, 0, u"Disabled")->SetEnabled(false);
    add(5, 1, u"Read only")->SetReadOnly(true);
    ASSERT_TRUE(ShowAndWait(&form));
    QImage themed = Shot(back);
    SavePng(themed, "controls-edit-variants.png");
    SetThemesEnabled(false);
    QImage classic = Shot(back);
    SetThemesEnabled(true);
    SavePng(classic, "controls-edit-variants-classic.png");
    EXPECT_EQ(upper->GetText(), u"UPPER CASE");
    EXPECT_NE(themed, classic);
}

} // namespace
