// The painted vertical bar of TNxControl: geometry, held buttons with auto-repeat, paging, thumb
// dragging and hover, driven by real mouse input and the timers' own handlers.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "drawing/ThemesSupport.h"
#include "grid/view/VertScrollBar.h"
#include "platform/windows/TestSupport.h"

namespace {

QRgb QtColorOf(TColor c) {
    TColor rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

struct VertScrollBarTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TNxControl* Control = nullptr;
    TNxVertScrollBar* Bar = nullptr;
    int B = 0;
    void SetUp() override {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(80, 80, 260, 260);
        Control = new TNxControl(Form.get());
        Control->SetParent(Form.get());
        Control->SetBounds(10, 10, 150, 204);
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Bar = Control->GetVertScrollBar();
        Bar->SetMax(20);
        Bar->SetLargeChange(4);
        Control->UpdateBarBounds();
        B = Bar->GetButtonSize();
    }
};

TEST_F(VertScrollBarTest, BarSitsRightOfTheFramedControlAreaAndPlacesItsThumbByPosition) {
    ASSERT_TRUE(Bar->GetVisible());
    TRect ControlRect = Control->GetControlRect();
    EXPECT_EQ(ControlRect, (TRect{2, 2, 2 + 150 - 4 - B, 2 + 200}));
    EXPECT_EQ(Bar->GetBoundsRect(), (TRect{ControlRect.Right, 2, ControlRect.Right + B, 202}));
    EXPECT_EQ(Bar->GetBackButtonRect(), (TRect{ControlRect.Right, 2, ControlRect.Right + B, 2 + B}));
    EXPECT_EQ(Bar->GetForwardButtonRect().Bottom, 202);
    int Inner = 200 - 2 * B;
    EXPECT_EQ(Bar->GetThumbRect().Top, B + 2);
    EXPECT_EQ(Bar->GetThumbRect().Height(), 8);
    Bar->SetPosition(5);
    // Halves go to the even neighbour.
    double Exact = 5.0 * (Inner - 8) / 20;
    int Expected = static_cast<int>(std::nearbyint(Exact));
    EXPECT_EQ(Bar->GetThumbRect().Top, Expected + B + 2);
    Bar->SetMax(0);
    EXPECT_TRUE(Bar->GetThumbRect().IsEmpty());
}

TEST_F(VertScrollBarTest, HeldForwardButtonRepeatsAfterTheDelay) {
    QWidget* W = Client(Control);
    TRect Forward = Bar->GetForwardButtonRect();
    QPoint At((Forward.Left + Forward.Right) / 2, (Forward.Top + Forward.Bottom) / 2);
    QTest::mousePress(W, Qt::LeftButton, Qt::NoModifier, At);
    EXPECT_EQ(Bar->GetPosition(), 1);
    EXPECT_TRUE(Bar->GetForwardBtnState().Contains(tsPushed));
    EXPECT_EQ(Control->GetScrollDirection(), sdLineDown);
    EXPECT_TRUE(Control->GetDelayTimer()->GetEnabled());
    EXPECT_FALSE(Control->GetIncrementTimer()->GetEnabled());
    Control->GetDelayTimer()->Timer();
    EXPECT_TRUE(Control->GetIncrementTimer()->GetEnabled());
    Control->GetIncrementTimer()->Timer();
    Control->GetIncrementTimer()->Timer();
    EXPECT_EQ(Bar->GetPosition(), 3);
    QTest::mouseRelease(W, Qt::LeftButton, Qt::NoModifier, At);
    EXPECT_FALSE(Bar->GetForwardBtnState().Contains(tsPushed));
    EXPECT_EQ(Control->GetScrollDirection(), sdIdle);
    EXPECT_FALSE(Control->GetDelayTimer()->GetEnabled());
    EXPECT_FALSE(Control->GetIncrementTimer()->GetEnabled());

    // The back button steps back; at 0 it stays.
    TRect Back = Bar->GetBackButtonRect();
    QPoint BackAt((Back.Left + Back.Right) / 2, (Back.Top + Back.Bottom) / 2);
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(W, Qt::LeftButton, Qt::NoModifier, BackAt);
    EXPECT_EQ(Bar->GetPosition(), 0);
}

TEST_F(VertScrollBarTest, TrackClicksPageAndTheThumbDrags) {
    QWidget* W = Client(Control);
    TRect Below = Bar->GetPageDownRect();
    QTest::mouseClick(W, Qt::LeftButton, Qt::NoModifier, QPoint(Below.Left + 2, Below.Bottom - 3));
    EXPECT_EQ(Bar->GetPosition(), 4);
    EXPECT_EQ(Control->GetScrollDirection(), sdIdle);
    TRect Above = Bar->GetPageUpRect();
    ASSERT_FALSE(Above.IsEmpty());
    QTest::mouseClick(W, Qt::LeftButton, Qt::NoModifier, QPoint(Above.Left + 2, Above.Top + 1));
    EXPECT_EQ(Bar->GetPosition(), 0);

    TRect Thumb = Bar->GetThumbRect();
    QPoint Grip(Thumb.Left + 3, Thumb.Top + 3);
    QTest::mousePress(W, Qt::LeftButton, Qt::NoModifier, Grip);
    EXPECT_TRUE(Bar->GetThumbState().Contains(tsPushed));
    int Inner = 200 - 2 * B;
    int Y = B + 2 + Inner / 2;
    QTest::mouseMove(W, QPoint(Grip.x(), Y));
    EXPECT_EQ(Bar->GetPosition(), static_cast<int>(std::nearbyint((Y - B - 2) / (double(Inner) / 20))));
    // Dragging goes on outside the bar.
    QTest::mouseMove(W, QPoint(20, 500));
    EXPECT_EQ(Bar->GetPosition(), 20);
    QTest::mouseRelease(W, Qt::LeftButton, Qt::NoModifier, QPoint(20, 500));
    EXPECT_FALSE(Bar->GetThumbState().Contains(tsPushed));
}

TEST_F(VertScrollBarTest, HoverFollowsThePointerAndLeavesWithIt) {
    QWidget* W = Client(Control);
    TRect Back = Bar->GetBackButtonRect();
    QTest::mouseMove(W, QPoint(Back.Left + 2, Back.Top + 2));
    EXPECT_TRUE(Bar->GetBackBtnState().Contains(tsHover));
    EXPECT_FALSE(Bar->GetThumbState().Contains(tsHover));
    TRect Thumb = Bar->GetThumbRect();
    QTest::mouseMove(W, QPoint(Thumb.Left + 2, Thumb.Top + 2));
    EXPECT_FALSE(Bar->GetBackBtnState().Contains(tsHover));
    EXPECT_TRUE(Bar->GetThumbState().Contains(tsHover));
    QTest::mouseMove(W, QPoint(20, 20));
    EXPECT_FALSE(Bar->GetThumbState().Contains(tsHover));
}

TEST_F(VertScrollBarTest, PaintsFrameTrackThumbAndButtons) {
    Bar->SetPosition(10);
    Control->Repaint();
    const QImage& Image = Control->GetWindowPrivate()->Pixels;
    ASSERT_TRUE(Image.save(QString::fromStdString(OutDir() + "/painted-scroll-bar.png")));
    EXPECT_EQ(Image.pixel(0, 0), qRgb(0, 0, 0)) << "black frame";
    TRect Thumb = Bar->GetThumbRect();
    int TrackY = Bar->GetBackButtonRect().Bottom + 3;
    int X = Thumb.Left + Thumb.Width() / 2;
    EXPECT_NE(Image.pixel(X, Thumb.Top + Thumb.Height() / 2), Image.pixel(X, TrackY)) << "thumb on the track";
    EXPECT_EQ(Image.pixel(X, Thumb.Top - 3), Image.pixel(X, TrackY)) << "track above the thumb";
    if (!NxThemesSupport::IsThemed()) {
        EXPECT_EQ(Image.pixel(Thumb.Left + 3, Thumb.Top + 3), QtColorOf(clBtnFace));
        // The classic track is a checker: neighbours differ.
        EXPECT_NE(Image.pixel(X, TrackY), Image.pixel(X + 1, TrackY));
    }
}

} // namespace
