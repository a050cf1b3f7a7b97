// The tab control with palettes of image buttons.
#include <gtest/gtest.h>

#include <vector>

#include "drawing/DrawingTestSupport.h"
#include "drawing/NxStdCtrls.h"
#include "platform/windows/Forms.h"

using namespace NxStdCtrls;
using DrawingTest::Hex;

namespace {

struct TabFixture : ::testing::Test {
    TForm form{nullptr};
    TNxTabControl* tabs = nullptr;
    std::vector<std::unique_ptr<TBitmap>> owned;
    std::vector<TBitmap*> images;

    void SetUp() override {
        form.SetBounds(0, 0, 300, 120);
        tabs = new TNxTabControl(&form);
        tabs->SetParent(&form);
        tabs->SetBounds(0, 0, 300, 80);
        for (TColor c : {clRed, clLime}) {
            owned.push_back(DrawingTest::AlphaBitmap(16, 16, c, 255));
            images.push_back(owned.back().get());
        }
        tabs->SetImages(&images);
    }
};

TEST_F(TabFixture, DefaultsAndGeometry) {
    EXPECT_EQ(tabs->GetActiveIndex(), -1);
    EXPECT_EQ(tabs->GetLeftIndent(), 2);
    EXPECT_EQ(tabs->GetTopIndent(), 2);
    EXPECT_EQ(tabs->GetTabHeight(), 21);
    EXPECT_EQ(tabs->GetBackgroundStyle(), tbsSolid);
    TNxTabButtons* first = tabs->AddTab(u"Standard");
    tabs->AddTab(u"More");
    EXPECT_EQ(tabs->GetActiveIndex(), 0);
    first->Add(0, u"Red");
    first->Add(1);
    const TRect t0 = tabs->GetTabRect(0), t1 = tabs->GetTabRect(1);
    EXPECT_EQ(t0.Left, 2);
    EXPECT_EQ(t0.Top, 2);
    EXPECT_EQ(t0.Height(), 21);
    EXPECT_EQ(t1.Left, t0.Right);
    // Buttons sit under the tabs, Margin apart.
    EXPECT_EQ(tabs->GetButtonRect(0), Rect(4, 25, 28, 49));
    EXPECT_EQ(tabs->GetButtonRect(1), Rect(30, 25, 54, 49));
    EXPECT_EQ(tabs->GetButtonAtPos(Point(31, 30)), 1);
    EXPECT_EQ(tabs->GetButtonAtPos(Point(29, 30)), -1);
    EXPECT_EQ(tabs->GetTabAtPos(Point(t1.Left + 1, 10)), 1);
    EXPECT_THROW(tabs->GetTab(2), EListError);
    EXPECT_THROW(first->GetItem(5), EListError);
}

TEST_F(TabFixture, MouseSwitchesTabsAndClicksButtons) {
    TNxTabButtons* first = tabs->AddTab(u"One");
    TNxTabButtons* second = tabs->AddTab(u"Two");
    first->Add(0, u"Red button");
    TNxPalleteButton* disabled = first->Add(1);
    disabled->SetEnabled(false);
    second->Add(1);
    std::vector<TNxPalleteButton*> clicked;
    int changes = 0;
    tabs->OnButtonClick = [&](TObject*, TNxPalleteButton* b) { clicked.push_back(b); };
    tabs->OnChange = [&](TObject*) { ++changes; };

    const TRect b0 = tabs->GetButtonRect(0);
    tabs->MouseMove({}, b0.Left + 2, b0.Top + 2);
    EXPECT_EQ(tabs->GetHoverButton(), 0);
    EXPECT_TRUE(tabs->GetButtonHint()->IsHintShowing());
    tabs->MouseDown(mbLeft, {}, b0.Left + 2, b0.Top + 2);
    tabs->MouseUp(mbLeft, {}, b0.Left + 3, b0.Top + 3);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], first->GetItem(0));

    // Released elsewhere: no click. A disabled button never clicks.
    tabs->MouseDown(mbLeft, {}, b0.Left + 2, b0.Top + 2);
    tabs->MouseUp(mbLeft, {}, 200, 70);
    const TRect b1 = tabs->GetButtonRect(1);
    tabs->MouseDown(mbLeft, {}, b1.Left + 2, b1.Top + 2);
    tabs->MouseUp(mbLeft, {}, b1.Left + 2, b1.Top + 2);
    EXPECT_EQ(clicked.size(), 1u);
    tabs->MouseMove({}, 200, 70);
    EXPECT_EQ(tabs->GetHoverButton(), -1);
    EXPECT_FALSE(tabs->GetButtonHint()->IsHintShowing());

    const TRect t1 = tabs->GetTabRect(1);
    tabs->MouseDown(mbLeft, {}, t1.Left + 2, t1.Top + 5);
    EXPECT_EQ(tabs->GetActiveIndex(), 1);
    EXPECT_EQ(changes, 1);
    tabs->SetActiveIndex(7); // clamped
    EXPECT_EQ(tabs->GetActiveIndex(), 1);
    EXPECT_EQ(changes, 1);
    tabs->DeleteTab(1);
    EXPECT_EQ(tabs->GetActiveIndex(), 0);
}

TEST_F(TabFixture, PaintsTabsAndButtonImages) {
    TNxTabButtons* tab = tabs->AddTab(u"Images");
    tab->Add(0);
    tab->Add(1);
    tabs->SetBackgroundStyle(tbsVertGradient);
    form.Show();
    tabs->Repaint();
    TCanvas* c = tabs->GetCanvas();
    const TRect b0 = tabs->GetButtonRect(0), b1 = tabs->GetButtonRect(1);
    // Opaque images blend to 255/256 of their color.
    EXPECT_EQ(ColorToRGB(c->GetPixels(b0.Left + 12, b0.Top + 12)), Hex(0xFE0000));
    EXPECT_EQ(ColorToRGB(c->GetPixels(b1.Left + 12, b1.Top + 12)), Hex(0x00FE00));
    // The gradient background starts with the window color at the top.
    EXPECT_EQ(ColorToRGB(c->GetPixels(250, 0)), ColorToRGB(clWindow));
}

} // namespace
