// The scroll control: bar numbers, scroll requests, content shifts, wheel and roll scrolling.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <memory>

#include "grid/view/ScrollControl.h"
#include "platform/runtime/Exception.h"
#include "platform/windows/TestSupport.h"

namespace {

// Ten pixels per unit, so offsets can be told apart from positions; records every shift.
class TShiftProbe : public TNxScrollControl {
public:
    explicit TShiftProbe(TComponent* AOwner) : TNxScrollControl(AOwner) {}
    struct Shift {
        TScrollBarKind Kind;
        int DX, DY;
    };
    std::vector<Shift> Shifts;
    std::vector<std::string> Keys;
    int GetVertOffset(int OldPos, int NewPos) override { return (OldPos - NewPos) * 10; }
    int GetHorzOffset(int OldPos, int NewPos) override { return OldPos - NewPos; }
    void ScrollContent(TNxCustomScrollBar* Bar, int DX, int DY) override {
        Shifts.push_back({Bar->GetKind(), DX, DY});
        TNxScrollControl::ScrollContent(Bar, DX, DY);
    }
    void KeyDown(Word& Key, TShiftState Shift) override {
        Keys.push_back(std::to_string(Key));
        TNxScrollControl::KeyDown(Key, Shift);
    }
    using TNxScrollControl::RollTimerTick;
};

struct ScrollControlTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TShiftProbe* Control = nullptr;
    TNxScrollBar* Vert = nullptr;
    std::vector<int> VertEvents;
    void SetUp() override {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(60, 60, 300, 260);
        Control = new TShiftProbe(Form.get());
        Control->SetParent(Form.get());
        Control->SetBounds(10, 10, 200, 200);
        Control->OnVerticalScroll = [this](TObject*, int Position) { VertEvents.push_back(Position); };
        ASSERT_TRUE(ShowAndWait(Form.get()));
        Vert = Control->GetVertScrollBar();
        Vert->SetPageSize(10);
        Vert->SetMax(100);
        Control->Shifts.clear();
    }
};

TEST_F(ScrollControlTest, PositionsAreClampedAndEveryChangeShiftsTheContent) {
    Vert->SetPosition(30);
    EXPECT_EQ(Vert->GetPosition(), 30);
    ASSERT_EQ(Control->Shifts.size(), 1u);
    EXPECT_EQ(Control->Shifts[0].DY, -300);
    EXPECT_EQ(Control->Shifts[0].DX, 0);
    Vert->SetPosition(500);
    EXPECT_EQ(Vert->GetPosition(), 100);
    Vert->SetPosition(-4);
    EXPECT_EQ(Vert->GetPosition(), 0);
    // Unchanged positions still go through the content shift, with offset 0.
    Control->Shifts.clear();
    Vert->SetPosition(0);
    ASSERT_EQ(Control->Shifts.size(), 1u);
    EXPECT_EQ(Control->Shifts[0].DY, 0);
    // The window-system bar follows.
    Vert->SetPosition(40);
    EXPECT_EQ(Control->GetScrollPos(SB_VERT), 40);
    Vert->SetMin(-3);
    EXPECT_EQ(Vert->GetMin(), 0);
    Vert->SetPageSize(0);
    EXPECT_EQ(Vert->GetPageSize(), 1);
}

TEST_F(ScrollControlTest, MaxBelowThePositionMovesThePositionAndTheContent) {
    Vert->SetPosition(80);
    Control->Shifts.clear();
    Vert->SetMax(50);
    EXPECT_EQ(Vert->GetPosition(), 50);
    ASSERT_EQ(Control->Shifts.size(), 1u);
    EXPECT_EQ(Control->Shifts[0].DY, 300);
    Vert->SetMax(-7);
    EXPECT_EQ(Vert->GetMax(), 0);
    EXPECT_EQ(Vert->GetPosition(), 0);
}

TEST_F(ScrollControlTest, UpdatingOrManualScrollKeepsTheContentStill) {
    Vert->BeginUpdate();
    Vert->SetPosition(20);
    Vert->MoveBy(5);
    EXPECT_EQ(Vert->GetPosition(), 25);
    EXPECT_TRUE(Control->Shifts.empty());
    Vert->EndUpdate();
    Vert->SetManualScroll(true);
    Vert->SetPosition(26);
    EXPECT_TRUE(Control->Shifts.empty());
    Vert->SetManualScroll(false);
    Vert->SetPosition(27);
    EXPECT_EQ(Control->Shifts.size(), 1u);
}

TEST_F(ScrollControlTest, ScrollMessagesMoveByTheirStepAndAlwaysRaiseTheEvent) {
    Vert->SetSmallChange(3);
    Vert->SetLargeChange(10);
    Control->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Vert->GetPosition(), 3);
    EXPECT_EQ(Vert->GetScrollKind(), rkLine);
    Control->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Vert->GetPosition(), 13);
    EXPECT_EQ(Vert->GetScrollKind(), rkPage);
    Control->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Vert->GetPosition(), 91) << "the last page starts at Max - PageSize + 1";
    EXPECT_EQ(Vert->GetScrollKind(), rkTopBottom);
    VertEvents.clear();
    Control->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(Vert->GetPosition(), 91);
    EXPECT_EQ(VertEvents, std::vector<int>{91});
    // End-scroll changes nothing but is reported.
    Control->Shifts.clear();
    Control->Perform(WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_TRUE(Control->Shifts.empty());
    EXPECT_EQ(VertEvents, (std::vector<int>{91, 91}));
    EXPECT_EQ(Vert->GetScrollKind(), rkPage);
    Control->Perform(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(Vert->GetPosition(), 0);
    Control->Perform(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(Vert->GetPosition(), 0);
}

TEST_F(ScrollControlTest, ClicksAndDragsOnTheWindowSystemBar) {
    QScrollBar* Bar = Control->GetWindowPrivate()->Bars[SB_VERT];
    ASSERT_NE(Bar, nullptr);
    ASSERT_TRUE(Bar->isVisible());
    QTest::mouseClick(Bar, Qt::LeftButton, Qt::NoModifier, QPoint(Bar->width() / 2, Bar->height() - 3));
    EXPECT_EQ(Vert->GetPosition(), 1);
    EXPECT_EQ(Bar->value(), 1);
    ASSERT_GE(VertEvents.size(), 2u) << "line-down and end-scroll";
    // Dragging the thumb tracks the position as it goes.
    Bar->setSliderDown(true);
    Bar->setSliderPosition(60);
    EXPECT_EQ(Vert->GetPosition(), 60);
    EXPECT_EQ(Vert->GetScrollKind(), rkThumb);
    EXPECT_EQ(Control->Shifts.back().DY, -590);
    Bar->setSliderDown(false);
    EXPECT_EQ(Vert->GetPosition(), 60);
}

TEST_F(ScrollControlTest, NextAndPriorSendRequestsOnlyWhenThereIsRange) {
    Vert->Prior();
    EXPECT_TRUE(VertEvents.empty()) << "nothing above position 0";
    Vert->Next();
    EXPECT_EQ(VertEvents, std::vector<int>{1});
    Vert->Prior();
    EXPECT_EQ(VertEvents, (std::vector<int>{1, 0}));
    Vert->PageDown();
    EXPECT_EQ(Vert->GetPosition(), 1);
    Vert->SetMax(0);
    VertEvents.clear();
    Vert->Next();
    Vert->Prior();
    Vert->PageDown();
    Vert->PageUp();
    EXPECT_TRUE(VertEvents.empty());
    EXPECT_TRUE(Vert->IsFirst());
    EXPECT_TRUE(Vert->IsLast());
}

TEST_F(ScrollControlTest, AutoHideOffShowsADisabledBarWhenTheRangeFits) {
    Vert->SetMax(5);
    EXPECT_FALSE(Control->IsScrollBarVisible(SB_VERT));
    EXPECT_FALSE(Vert->GetVisible());
    Vert->SetAutoHide(false);
    EXPECT_TRUE(Control->IsScrollBarVisible(SB_VERT));
    EXPECT_FALSE(Control->IsScrollBarEnabled(SB_VERT));
    Vert->SetMax(100);
    EXPECT_TRUE(Control->IsScrollBarEnabled(SB_VERT));
    Vert->SetEnabled(false);
    EXPECT_FALSE(Control->IsScrollBarEnabled(SB_VERT));
}

TEST_F(ScrollControlTest, AssignAcceptsOnlyScrollBarsAndCopiesNothing) {
    TNxScrollBar Other(nullptr, nullptr);
    Other.SetMax(7);
    Control->SetVertScrollBar(&Other);
    EXPECT_EQ(Vert->GetMax(), 100);
    TFont Font;
    EXPECT_THROW(Vert->Assign(&Font), EConvertError);
}

TEST_F(ScrollControlTest, TheWheelIsClaimedUnlessDisabled) {
    int UserDown = 0;
    Control->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& Handled) {
        ++UserDown;
        Handled = true;
    };
    QWidget* W = Client(Control);
    QPoint Local(20, 20);
    auto Wheel = [&] {
        QWheelEvent Event(Local, W->mapToGlobal(Local), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(W, &Event);
    };
    Wheel();
    EXPECT_EQ(UserDown, 0) << "the control handles the wheel itself";
    Control->SetMouseWheelEnabled(false);
    Wheel();
    EXPECT_EQ(UserDown, 1);
}

TEST_F(ScrollControlTest, ArrowKeysReachTheControl) {
    EXPECT_EQ(Control->Perform(WM_GETDLGCODE), DLGC_WANTARROWS);
    Control->SetFocus();
    Pump();
    QTest::keyClick(Client(Control), Qt::Key_Down);
    QTest::keyClick(Client(Control), Qt::Key_Left);
    EXPECT_EQ(Control->Keys, (std::vector<std::string>{std::to_string(VK_DOWN), std::to_string(VK_LEFT)}));
}

TEST_F(ScrollControlTest, RollScrollingWithTheMiddleButton) {
    QWidget* W = Client(Control);
    QTest::mousePress(W, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_TRUE(Control->GetViewState().Contains(vsRolling));
    EXPECT_TRUE(Control->GetRollTimer()->GetEnabled());
    EXPECT_TRUE(Control->GetRollShadow()->GetVisible());
    EXPECT_EQ(Control->GetRollShadow()->GetPosition(), Control->ClientToScreen({100, 100}));
    EXPECT_EQ(Control->GetRollShadow()->GetLeft(), Control->ClientToScreen({100, 100}).X - 7);
    EXPECT_EQ(GetCapture(), Control);

    // Within five pixels of the origin nothing scrolls.
    QTest::mouseMove(W, QPoint(100, 105));
    EXPECT_TRUE(Control->GetRollDirection().Empty());
    EXPECT_EQ(Screen->GetCursor(), crRoll);
    TPoint At = Control->ClientToScreen({100, 105});
    SetCursorPos(At.X, At.Y);
    Control->RollTimerTick(nullptr);
    EXPECT_EQ(Vert->GetPosition(), 0);
    EXPECT_EQ(Control->GetRollTimer()->GetInterval(), 95u);

    QTest::mouseMove(W, QPoint(100, 106));
    EXPECT_TRUE(Control->GetRollDirection().Contains(rdDown));
    EXPECT_EQ(Screen->GetCursor(), crRollDown);
    At = Control->ClientToScreen({100, 106});
    SetCursorPos(At.X, At.Y);
    Control->RollTimerTick(nullptr);
    EXPECT_EQ(Vert->GetPosition(), 1);
    EXPECT_EQ(Control->GetRollTimer()->GetInterval(), 94u);

    // Far away: the fastest interval, and upwards.
    QTest::mouseMove(W, QPoint(100, 0));
    EXPECT_TRUE(Control->GetRollDirection().Contains(rdUp));
    At = Control->ClientToScreen({100, -150});
    SetCursorPos(At.X, At.Y);
    Control->RollTimerTick(nullptr);
    EXPECT_EQ(Vert->GetPosition(), 0);
    EXPECT_EQ(Control->GetRollTimer()->GetInterval(), 1u);

    QTest::mouseRelease(W, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 0));
    EXPECT_FALSE(Control->GetViewState().Contains(vsRolling));
    EXPECT_FALSE(Control->GetRollTimer()->GetEnabled());
    EXPECT_FALSE(Control->GetRollShadow()->GetVisible());
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    EXPECT_NE(GetCapture(), Control);
}

TEST_F(ScrollControlTest, RollingIsOffWithoutTheStyle) {
    Control->SetScrollStyle({});
    QTest::mousePress(Client(Control), Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_FALSE(Control->GetViewState().Contains(vsRolling));
    QTest::mouseRelease(Client(Control), Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
}

} // namespace
