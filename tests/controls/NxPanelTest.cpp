// The gradient panel on screen: the tool bar's gradient and border lines, pen widths, the face
// color from the scheme, margins for aligned children, the caption and the transparent style.
#include <gtest/gtest.h>

#include "controls/ControlsTestSupport.h"
#include "controls/NxPanel.h"
#include "drawing/ThemesSupport.h"
#include "platform/windows/Themes.h"

using namespace ControlsTest;
using namespace NxStdCtrls;

namespace {

struct PanelTest : FormTest {
    NxThemesSupport::TColorScheme savedScheme = NxThemesSupport::ColorScheme;
    void SetUp() override {
        FormTest::SetUp();
        NxThemesSupport::ColorScheme = NxThemesSupport::csBlue;
    }
    void TearDown() override { NxThemesSupport::ColorScheme = savedScheme; }
    // The main window's tool bar.
    TNxPanel* ToolBar() {
        auto* panel = Add<TNxPanel>(0, 0, 633, 42);
        panel->SetAlign(alTop);
        panel->SetBackgroundStyle(pbVertGradient);
        panel->GetBorderPen()->SetWidth(0);
        return panel;
    }
};

TEST_F(PanelTest, ToolBarGradientRunsFromWindowColorTowardsTheSchemeFaceWithThinTopAndLeftLines) {
    TNxPanel* panel = ToolBar();
    Show();
    QImage img = Shot(panel);
    ASSERT_EQ(img.width(), form->GetClientWidth());
    ASSERT_EQ(img.height(), 42);
    EXPECT_EQ(panel->GetFaceColor(), Hex(0xE3EFFF));
    // Width 0 draws one pixel wide on the first row and column; the far lines fall outside.
    EXPECT_EQ(Pixel(img, 300, 0), clBlack);
    EXPECT_EQ(Pixel(img, 0, 20), clBlack);
    EXPECT_EQ(Pixel(img, 300, 1), Hex(0xFEFFFF));
    EXPECT_EQ(Pixel(img, 300, 21), Hex(0xF1F7FF));
    EXPECT_EQ(Pixel(img, 300, 41), Hex(0xE4EFFF));
    EXPECT_EQ(Pixel(img, img.width() - 1, 21), Hex(0xF1F7FF));
    EXPECT_EQ(panel->GetBackgroundRect(), (TRect{0, 0, img.width(), 42}));

    // Without border lines the first row shows the window color itself.
    panel->SetPanelBorders({});
    img = Shot(panel);
    EXPECT_EQ(Pixel(img, 300, 0), Hex(0xFFFFFF));
    EXPECT_EQ(Pixel(img, 0, 21), Hex(0xF1F7FF));
}

TEST_F(PanelTest, WidePenNarrowsTheBackgroundAndSplitsOddWidthsUnevenly) {
    auto* panel = Add<TNxPanel>(10, 10, 60, 40);
    panel->SetAdaptiveColors(false);
    panel->SetColor(clYellow);
    panel->GetBorderPen()->SetColor(clRed);
    panel->GetBorderPen()->SetWidth(3);
    Show();
    EXPECT_EQ(panel->GetBackgroundRect(), (TRect{3, 3, 57, 37}));
    EXPECT_EQ(panel->GetBorderLine(boLeft).From, (TPoint{1, 0}));
    EXPECT_EQ(panel->GetBorderLine(boTop).From, (TPoint{0, 1}));
    EXPECT_EQ(panel->GetBorderLine(boBottom).From, (TPoint{0, 38}));
    EXPECT_EQ(panel->GetBorderLine(boRight).From, (TPoint{58, 0}));
    QImage img = Shot(panel);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Pixel(img, i, 20), clRed) << i;
        EXPECT_EQ(Pixel(img, 30, i), clRed) << i;
        EXPECT_EQ(Pixel(img, 59 - i, 20), clRed) << i;
        EXPECT_EQ(Pixel(img, 30, 39 - i), clRed) << i;
    }
    EXPECT_EQ(Pixel(img, 3, 20), clYellow);
    EXPECT_EQ(Pixel(img, 30, 3), clYellow);
    EXPECT_EQ(Pixel(img, 56, 20), clYellow);
    EXPECT_EQ(Pixel(img, 30, 36), clYellow);

    // A dashed pen still draws the lines but no longer narrows the background.
    panel->GetBorderPen()->SetStyle(psDash);
    EXPECT_EQ(panel->GetBackgroundRect(), (TRect{0, 0, 60, 40}));
    // Only the chosen sides.
    panel->GetBorderPen()->SetStyle(psSolid);
    panel->SetPanelBorders({boRight});
    EXPECT_EQ(panel->GetBackgroundRect(), (TRect{0, 0, 57, 40}));
    img = Shot(panel);
    EXPECT_EQ(Pixel(img, 0, 20), clYellow);
    EXPECT_EQ(Pixel(img, 59, 20), clRed);
}

TEST_F(PanelTest, FaceColorFollowsTheSchemeUnlessToldToUseItsOwnColor) {
    auto* panel = Add<TNxPanel>(10, 10, 50, 30);
    panel->SetPanelBorders({});
    panel->SetColor(clLime);
    Show();
    EXPECT_EQ(Pixel(Shot(panel), 25, 15), Hex(0xE3EFFF));

    // Changing the process-wide scheme repaints the panel in the new face color.
    NxThemesSupport::TNxColorScheme scheme(nullptr);
    scheme.SetColorScheme(NxThemesSupport::csSilver);
    const TColor silver =
        ColorToRGB(NxThemesSupport::SchemeColor(NxThemesSupport::seBtnFace, NxThemesSupport::csSilver));
    ASSERT_NE(silver, Hex(0xE3EFFF));
    EXPECT_EQ(Pixel(Shot(panel), 25, 15), silver);

    // Its own scheme wins over the process-wide one; AdaptiveColors off takes Color whatever the scheme.
    panel->SetColorScheme(NxThemesSupport::csBlue);
    EXPECT_EQ(Pixel(Shot(panel), 25, 15), Hex(0xE3EFFF));
    panel->SetAdaptiveColors(false);
    EXPECT_EQ(Pixel(Shot(panel), 25, 15), clLime);
}

TEST_F(PanelTest, InnerMarginsNarrowTheAreaOfAlignedChildren) {
    auto* panel = Add<TNxPanel>(0, 0, 200, 100);
    auto* child = Add<TNxPanel>(panel, 0, 0, 10, 10);
    child->SetAlign(alClient);
    EXPECT_EQ(child->GetBoundsRect(), (TRect{0, 0, 200, 100}));
    // The class defaults are replaced by zeros; a setter stores even an unchanged value and reports it.
    EXPECT_EQ(panel->GetInnerMargins()->AsRect(200, 100), (TRect{0, 0, 200, 100}));
    panel->GetInnerMargins()->SetRect(5, 6, 7, 8);
    EXPECT_EQ(child->GetBoundsRect(), (TRect{5, 6, 193, 92}));
    panel->GetInnerMargins()->SetLeft(20);
    EXPECT_EQ(child->GetBoundsRect(), (TRect{20, 6, 193, 92}));
    // Setting the property copies the values; the panel keeps its own object.
    NxCollection::TNxMargins other;
    EXPECT_EQ(other.AsRect(100, 50), (TRect{9, 5, 92, 46}));
    panel->SetInnerMargins(&other);
    EXPECT_NE(panel->GetInnerMargins(), &other);
    EXPECT_EQ(child->GetBoundsRect(), (TRect{9, 5, 192, 96}));
    other.SetLeft(0);
    EXPECT_EQ(child->GetBoundsRect(), (TRect{9, 5, 192, 96}));

    // Setting the pen copies it too, and later changes to the given pen do not reach the panel.
    TPen pen;
    pen.SetWidth(4);
    panel->SetBorderPen(&pen);
    pen.SetWidth(1);
    EXPECT_EQ(panel->GetBorderPen()->GetWidth(), 4);

    int notified = 0;
    NxCollection::TNxMargins m;
    m.OnChange = [&](TObject*) { ++notified; };
    m.SetRight(8);
    m.SetRect(1, 2, 3, 4);
    EXPECT_EQ(notified, 2);
}

TEST_F(PanelTest, CaptionIsCentredWithAmpersandsAsTextAndAutoSizeMakesRoomForIt) {
    auto* panel = Add<TNxPanel>(10, 10, 200, 40);
    panel->SetPanelBorders({});
    Show();
    QImage empty = Shot(panel);
    // No caption, no text: one color throughout.
    for (int x = 0; x < 200; x += 7)
        EXPECT_EQ(Pixel(empty, x, 20), Hex(0xE3EFFF)) << x;

    panel->SetCaption(u"A&B");
    QImage img = Shot(panel);
    int left = 200, right = -1, top = 40, bottom = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (Pixel(img, x, y) != Hex(0xE3EFFF)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, 100, 2);
    EXPECT_NEAR((top + bottom) / 2.0, 20, 3);
    // The ampersand is drawn: the text is as wide as the three characters.
    TBitmap measure(1, 1);
    measure.GetCanvas()->SetFont(panel->GetFont());
    const int width = measure.GetCanvas()->TextExtent(WideString(u"A&B")).cx;
    EXPECT_NEAR(right - left + 1, width, 2);

    panel->GetInnerMargins()->SetRect(4, 3, 6, 5);
    int w = 10, h = 5;
    EXPECT_TRUE(panel->CanAutoSize(w, h));
    EXPECT_EQ(w, width + 4 + 6 + 2);
    EXPECT_EQ(h, measure.GetCanvas()->TextExtent(WideString(u"A&B")).cy + 3 + 5);
}

TEST_F(PanelTest, EraseBackgroundNeverPaintsAndTransparentStyleShowsWhatLiesBehind) {
    auto* back = Add<TNxPanel>(0, 0, 200, 100);
    back->SetAdaptiveColors(false);
    back->SetColor(clAqua);
    back->SetPanelBorders({});
    auto* glass = Add<TNxPanel>(back, 20, 20, 60, 40);
    glass->SetBackgroundStyle(pbTransparent);
    glass->SetPanelBorders({});
    Show();
    EXPECT_TRUE(glass->GetWindowPrivate()->Params.ExStyle & WS_EX_TRANSPARENT);
    EXPECT_FALSE(back->GetWindowPrivate()->Params.ExStyle & WS_EX_TRANSPARENT);
    EXPECT_EQ(Pixel(Shot(glass), 30, 20), clAqua);
    // Moving it repaints the copied background.
    back->SetColor(clYellow);
    glass->SetLeft(40);
    EXPECT_EQ(Pixel(Shot(glass), 30, 20), clYellow);

    TBitmap target(10, 10);
    target.GetCanvas()->GetBrush()->SetColor(clRed);
    target.GetCanvas()->FillRect({0, 0, 10, 10});
    EXPECT_EQ(back->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.GetCanvas())), 1);
    back->SetFullRepaint(true);
    EXPECT_EQ(back->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.GetCanvas())), 0);
    EXPECT_EQ(target.GetCanvas()->GetPixels(5, 5), clRed);
}

TEST_F(PanelTest, ControlStyleIsAThemedEditFieldOnlyWhileStylesAreOn) {
    auto* panel = Add<TNxPanel>(0, 0, 80, 30);
    panel->SetBackgroundStyle(pbControl);
    panel->SetPanelBorders({});
    Show();
    QImage themed = Shot(panel);
    SetThemesEnabled(false);
    QImage plain = Shot(panel);
    SetThemesEnabled(true);
    // Unthemed: a solid fill in the face color.
    for (int x = 0; x < 80; x += 5)
        EXPECT_EQ(Pixel(plain, x, 0), Hex(0xE3EFFF)) << x;
    // Themed: the edit field's frame differs from the face.
    EXPECT_NE(Pixel(themed, 0, 15), Hex(0xE3EFFF));
}

} // namespace
