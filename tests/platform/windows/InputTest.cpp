// Real input events reaching controls as messages: mouse, double clicks, keys, wheel, focus,
// capture, timers, posted messages and the window's scroll bars.
#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QScrollBar>
#include <memory>
#include <utility>

#include "TestSupport.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TimerClock.h"

namespace {

struct InputTest : ::testing::Test {
    std::unique_ptr<TForm> form;
    TProbe* probe = nullptr;
    TProbe* other = nullptr;
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(50, 50, 400, 300);
        probe = new TProbe(form.get());
        probe->SetParent(form.get());
        probe->SetBounds(10, 10, 150, 100);
        other = new TProbe(form.get());
        other->SetParent(form.get());
        other->SetBounds(200, 10, 100, 100);
        ASSERT_TRUE(ShowAndWait(form.get()));
    }
};

TEST_F(InputTest, ClicksArriveAsDownUpAndClickWithClientCoordinates) {
    int clicks = 0;
    probe->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, probe);
        ++clicks;
    };
    QTest::mouseClick(Client(probe), Qt::LeftButton, Qt::ShiftModifier, QPoint(12, 34));
    ASSERT_GE(probe->Log.size(), 2u);
    EXPECT_EQ(probe->Log[0], "down 0 shift 12,34");
    EXPECT_EQ(probe->Log[1], "up 0 12,34");
    EXPECT_EQ(clicks, 1);
    // A right click is no click.
    QTest::mouseClick(Client(probe), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(probe->Log[2], "down 1 5,5");
}

TEST_F(InputTest, DoubleClickGivesDblClickAndASecondPressWithTheDoubleFlag) {
    int dbl = 0;
    std::vector<std::string> order;
    probe->OnDblClick = [&](TObject*) {
        ++dbl;
        order.push_back("dblclick");
    };
    probe->OnMouseDown = [&](TObject*, TMouseButton, TShiftState s, int, int) {
        order.push_back(s.Contains(ssDouble) ? "down dbl" : "down");
    };
    QTest::mouseClick(Client(probe), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseDClick(Client(probe), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"down", "dblclick", "down dbl"}));
    // The window system's own order (press, release, press, double click) gives the same.
    order.clear();
    QWidget* w = Client(probe);
    auto send = [&](QEvent::Type t, ulong ts) {
        QMouseEvent e(t, QPointF(30, 30), QPointF(w->mapToGlobal(QPoint(30, 30))), Qt::LeftButton,
                      t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        e.setTimestamp(ts);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, 100000);
    send(QEvent::MouseButtonRelease, 100010);
    send(QEvent::MouseButtonPress, 100100);
    send(QEvent::MouseButtonDblClick, 100100);
    send(QEvent::MouseButtonRelease, 100110);
    EXPECT_EQ(order, (std::vector<std::string>{"down", "dblclick", "down dbl"}));
    EXPECT_EQ(dbl, 2);
}

TEST_F(InputTest, KeysBecomeKeyDownWithVirtualCodesAndCharacters) {
    probe->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe->Focused(); }, 2000));
    probe->Log.clear();
    QTest::keyClick(Client(probe), Qt::Key_A);
    QTest::keyClick(Client(probe), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(Client(probe), Qt::Key_PageDown, Qt::ControlModifier);
    // The modifier keys arrive as keys of their own first, as on the platform.
    EXPECT_EQ(probe->Log,
              (std::vector<std::string>{"keydown 65", "char a", "keydown 16 shift", "keydown 40 shift",
                                        "keydown 17 ctrl", "keydown 34 ctrl"}));
    // OnKeyDown clearing the key stops the character.
    probe->OnKeyDown = [](TObject*, Word& k, TShiftState) { k = 0; };
    probe->Log.clear();
    QTest::keyClick(Client(probe), Qt::Key_B);
    EXPECT_EQ(probe->Log, (std::vector<std::string>{"keydown 66"}));
}

TEST_F(InputTest, TabMovesFocusInTabOrderUnlessTheControlWantsIt) {
    probe->SetTabOrder(0);
    other->SetTabOrder(1);
    int enters = 0, exits = 0;
    other->OnEnter = [&](TObject*) { ++enters; };
    probe->OnExit = [&](TObject*) { ++exits; };
    probe->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe->Focused(); }, 2000));
    QTest::keyClick(Client(probe), Qt::Key_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->Focused(); }, 2000));
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(form->GetActiveControl(), other);
    EXPECT_EQ(GetFocus(), other);
    // A control that asks for Tab keeps it.
    other->WantTab = true;
    other->Log.clear();
    QTest::keyClick(Client(other), Qt::Key_Tab);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->Log.front(), "keydown 9");
}

TEST_F(InputTest, ExitAndEnterReachOnlyTheControlsTheFocusLeavesAndEnters) {
    auto* inner = new TProbe(form.get());
    inner->SetParent(probe);
    inner->SetBounds(10, 10, 50, 30);
    std::vector<std::string> log;
    const std::vector<std::pair<TProbe*, const char*>> controls{
        {probe, "probe"}, {inner, "inner"}, {other, "other"}};
    for (auto [c, name] : controls) {
        c->OnEnter = [&log, name](TObject*) { log.push_back(std::string("enter ") + name); };
        c->OnExit = [&log, name](TObject*) { log.push_back(std::string("exit ") + name); };
    }
    auto focusBy = [&](TProbe* c) {
        log.clear();
        c->SetFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return c->Focused(); }, 2000));
        return log;
    };
    focusBy(probe);
    // Into a child: the parent keeps the focus in that sense and hears nothing.
    EXPECT_EQ(focusBy(inner), (std::vector<std::string>{"enter inner"}));
    // Out to a sibling of the parent: from the inside out, then the new one.
    EXPECT_EQ(focusBy(other), (std::vector<std::string>{"exit inner", "exit probe", "enter other"}));
    // Back into the child: from the outside in.
    EXPECT_EQ(focusBy(inner), (std::vector<std::string>{"exit other", "enter probe", "enter inner"}));
    // From the child to its parent only the child leaves.
    EXPECT_EQ(focusBy(probe), (std::vector<std::string>{"exit inner"}));
    // An exit or enter handler that sends the focus elsewhere wins: the control first aimed at hears
    // nothing, and one entered on the way hears its exit.
    TProbe* onExitOther = nullptr;
    TProbe* onEnterProbe = nullptr;
    auto redirecting = [&log](const char* what, TProbe*& to) {
        return [&log, &to, what](TObject*) {
            log.push_back(what);
            if (TProbe* c = std::exchange(to, nullptr)) c->SetFocus();
        };
    };
    other->OnExit = redirecting("exit other", onExitOther);
    probe->OnEnter = redirecting("enter probe", onEnterProbe);
    auto aimAtInner = [&](TProbe* to) {
        log.clear();
        inner->SetFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return to->Focused(); }, 2000));
        EXPECT_FALSE(inner->Focused());
        return log;
    };
    focusBy(other);
    onExitOther = probe;
    EXPECT_EQ(aimAtInner(probe), (std::vector<std::string>{"exit other", "enter probe"}));
    focusBy(other);
    onEnterProbe = other;
    EXPECT_EQ(aimAtInner(other),
              (std::vector<std::string>{"exit other", "enter probe", "exit probe", "enter other"}));
}

TEST_F(InputTest, WheelNotchesReachTheDispatchersAndUnhandledOnesGoToTheParent) {
    int down = 0, up = 0, parentWheel = 0;
    probe->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& h) {
        ++down;
        h = true;
    };
    probe->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool&) { ++up; };
    form->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { ++parentWheel; };
    QWidget* w = Client(probe);
    QPoint local(10, 10);
    QWheelEvent downEv(local, w->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &downEv);
    EXPECT_EQ(down, 1);
    EXPECT_EQ(parentWheel, 0);
    QWheelEvent upEv(local, w->mapToGlobal(local), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &upEv);
    EXPECT_EQ(up, 1);
    EXPECT_EQ(parentWheel, 1) << "an unhandled wheel goes on to the parent";
}

TEST_F(InputTest, CaptureKeepsTheDragWithTheControlOutsideItsBounds) {
    int clicks = 0;
    probe->OnClick = [&](TObject*) { ++clicks; };
    QWidget* w = Client(probe);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(GetCaptureControl(), probe);
    EXPECT_EQ(GetCapture(), probe);
    // Moving far outside, over the other control, still reaches the captured one.
    QPoint outside = w->mapFromGlobal(Client(other)->mapToGlobal(QPoint(30, 30)));
    QMouseEvent move(QEvent::MouseMove, QPointF(outside), QPointF(w->mapToGlobal(outside)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    ASSERT_FALSE(probe->Log.empty());
    EXPECT_EQ(probe->Log.back(), "drag " + std::to_string(outside.x()) + "," + std::to_string(outside.y()));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, outside);
    EXPECT_EQ(GetCaptureControl(), nullptr);
    // Released outside: no click.
    EXPECT_EQ(clicks, 0);
    // Explicit capture and release, with the loss reported.
    SetCapture(other);
    EXPECT_EQ(GetCapture(), other);
    other->Messages.clear();
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_NE(std::find(other->Messages.begin(), other->Messages.end(), WM_CAPTURECHANGED),
              other->Messages.end());
}

TEST_F(InputTest, TimersFireByIdUntilKilled) {
    ASSERT_TRUE(probe->SetTimer(7, 5));
    ASSERT_TRUE(probe->SetTimer(9, 1));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return std::count(probe->Timers.begin(), probe->Timers.end(), 7u) >= 2 &&
                   std::count(probe->Timers.begin(), probe->Timers.end(), 9u) >= 2;
        },
        3000));
    EXPECT_TRUE(probe->KillTimer(7));
    EXPECT_FALSE(probe->KillTimer(7));
    EXPECT_FALSE(probe->IsTimerActive(7));
    probe->KillTimer(9);
    probe->Timers.clear();
    // Let a few event-loop turns pass: nothing more arrives.
    for (int i = 0; i < 5; ++i)
        Pump();
    EXPECT_TRUE(probe->Timers.empty());
}

TEST_F(InputTest, PostedKeyMessagesArriveLaterAndSentOnesAtOnce) {
    probe->WantTab = true;
    probe->Log.clear();
    PostMessage(probe, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(probe->Log.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !probe->Log.empty(); }, 2000));
    EXPECT_EQ(probe->Log[0], "keydown 9");
    probe->Log.clear();
    SendMessage(probe, WM_CHAR, 'x', 0);
    EXPECT_EQ(probe->Log, (std::vector<std::string>{"char x"}));
}

TEST_F(InputTest, PostedTabAndShiftTabMoveTheFocusAsDialogKeys) {
    auto* third = new TProbe(form.get());
    third->SetParent(form.get());
    third->SetBounds(10, 150, 50, 50);
    probe->SetTabOrder(0);
    other->SetTabOrder(1);
    third->SetTabOrder(2);
    other->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->Focused(); }, 2000));
    other->Log.clear();
    // Forwards: the control that does not want Tab never sees the key.
    PostMessage(form.get(), WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_TRUE(third->Focused());
    // Shift then Tab, both posted (no key held): backwards, and the Shift lapses after the Tab.
    PostMessage(form.get(), WM_KEYDOWN, VK_SHIFT, 0);
    PostMessage(form.get(), WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(GetKeyShiftState().Contains(ssShift));
    PostMessage(form.get(), WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_TRUE(third->Focused());
    EXPECT_TRUE(std::find(other->Log.begin(), other->Log.end(), "keydown 9") == other->Log.end());
}

TEST_F(InputTest, TabIsADialogKeyBeforeKeyDownAndShiftTabGoesBack) {
    probe->SetTabOrder(0);
    other->SetTabOrder(1);
    int previewed = 0;
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, Word& k, TShiftState) { previewed += k == VK_TAB; };
    other->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->Focused(); }, 2000));
    other->Log.clear();
    QTest::keyClick(Client(other), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe->Focused(); }, 2000));
    EXPECT_EQ(previewed, 0) << "neither the previewing form nor the control sees a dialog Tab";
    EXPECT_TRUE(std::find(other->Log.begin(), other->Log.end(), "keydown 9 shift") == other->Log.end());
    // Ctrl+Tab is no dialog key.
    probe->Log.clear();
    QTest::keyClick(Client(probe), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(probe->Focused());
    EXPECT_NE(std::find(probe->Log.begin(), probe->Log.end(), "keydown 9 ctrl"), probe->Log.end());
}

TEST_F(InputTest, ACapturingControlTakesThePointerFromTheHolderAndGetsMovesAndRelease) {
    QWidget* w = Client(probe);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    ASSERT_EQ(GetCapture(), probe);
    probe->Messages.clear();
    // As a drag box does: it sends itself a press while the probe still holds the pointer.
    other->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(0, 0));
    EXPECT_EQ(GetCaptureControl(), other);
    EXPECT_EQ(GetCapture(), other);
    EXPECT_NE(std::find(probe->Messages.begin(), probe->Messages.end(), WM_CAPTURECHANGED),
              probe->Messages.end());
    // Qt still sends the gesture to the widget it pressed; the holder gets it, in its own coordinates.
    other->Log.clear();
    probe->Log.clear();
    QPoint inProbe(40, 30);
    QPoint inOther = Client(other)->mapFromGlobal(w->mapToGlobal(inProbe));
    QMouseEvent move(QEvent::MouseMove, QPointF(inProbe), QPointF(w->mapToGlobal(inProbe)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, inProbe);
    EXPECT_TRUE(probe->Log.empty());
    ASSERT_EQ(other->Log.size(), 2u);
    EXPECT_EQ(other->Log[0], "drag " + std::to_string(inOther.x()) + "," + std::to_string(inOther.y()));
    EXPECT_EQ(other->Log[1], "up 0 " + std::to_string(inOther.x()) + "," + std::to_string(inOther.y()));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, SmoothWheelPartsAddUpToWholeNotches) {
    int down = 0, up = 0;
    probe->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& h) {
        ++down;
        h = true;
    };
    probe->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& h) {
        ++up;
        h = true;
    };
    QWidget* w = Client(probe);
    auto wheel = [&](int delta) {
        QPoint local(10, 10);
        QWheelEvent e(local, w->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::ScrollUpdate, false);
        QApplication::sendEvent(w, &e);
    };
    for (int i = 0; i < 3; ++i)
        wheel(-40);
    EXPECT_EQ(down, 1);
    wheel(-100);
    EXPECT_EQ(down, 1) << "100 units are short of a notch";
    wheel(-20);
    EXPECT_EQ(down, 2);
    wheel(240);
    EXPECT_EQ(up, 2) << "two notches in one event";
}

TEST_F(InputTest, ComposedCharactersArriveAsCharacters) {
    probe->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return probe->Focused(); }, 2000));
    std::u16string typed;
    probe->OnKeyPress = [&](TObject*, WideChar& k) { typed += k; };
    QInputMethodEvent preedit(QStringLiteral("e"), {});
    QApplication::sendEvent(Client(probe), &preedit);
    EXPECT_TRUE(typed.empty()) << "text still being composed is not typed";
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\xc3\xa9\xe4\xb8\xad"));
    QApplication::sendEvent(Client(probe), &commit);
    EXPECT_EQ(typed, u"\u00e9\u4e2d");
}

TEST_F(InputTest, ApplicationActivationReachesWindowsAndTheApplication) {
    std::vector<std::string> events;
    Application->OnActivate = [&](TObject*) { events.push_back("activate"); };
    Application->OnDeactivate = [&](TObject*) { events.push_back("deactivate"); };
    probe->Messages.clear();
    auto activateApps = [&] {
        return std::count(probe->Messages.begin(), probe->Messages.end(), WM_ACTIVATEAPP);
    };
    // The offscreen window system never changes the state itself: it is told here as a desktop
    // would tell it.
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_EQ(activateApps(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"deactivate"}));
    EXPECT_EQ(other->Messages.back(), WM_ACTIVATEAPP);
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_EQ(events, (std::vector<std::string>{"deactivate", "activate"}));
    EXPECT_GE(activateApps(), 2);
    Application->OnActivate = nullptr;
    Application->OnDeactivate = nullptr;
}

TEST_F(InputTest, AnEmptyShapeHidesTheWindowAndAShapeShowsItAgain) {
    TRegion empty;
    probe->SetWindowRgn(&empty);
    EXPECT_FALSE(Frame(probe)->isVisible());
    EXPECT_TRUE(probe->GetVisible());
    probe->Hide();
    probe->Show();
    EXPECT_FALSE(Frame(probe)->isVisible()) << "showing keeps a window shaped to nothing hidden";
    TRegion box = CreateRectRgn(0, 0, 20, 20);
    probe->SetWindowRgn(&box);
    EXPECT_TRUE(Frame(probe)->isVisible());
    EXPECT_TRUE(Frame(probe)->mask().contains(QPoint(5, 5)));
    EXPECT_FALSE(Frame(probe)->mask().contains(QPoint(30, 5)));
    probe->SetWindowRgn(nullptr);
    EXPECT_TRUE(Frame(probe)->mask().isEmpty());
}

TEST_F(InputTest, PostedMessagesToADestroyedWindowAreDropped) {
    auto* gone = new TProbe(form.get());
    gone->SetParent(form.get());
    PostMessage(gone, WM_KEYDOWN, VK_TAB, 0);
    delete gone;
    Pump();
    SUCCEED();
}

TEST_F(InputTest, ScrollBarsFollowTheirInformationAndSendRequests) {
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 95;
    EXPECT_EQ(probe->SetScrollInfo(SB_VERT, si, true), 90) << "the position stops at max - page + 1";
    EXPECT_TRUE(probe->IsScrollBarVisible(SB_VERT));
    EXPECT_FALSE(probe->IsScrollBarVisible(SB_HORZ));
    // The client area gives way to the bar.
    EXPECT_EQ(probe->GetClientWidth(), 150 - GetSystemMetrics(SM_CXVSCROLL));
    TScrollInfo got;
    got.fMask = SIF_ALL;
    ASSERT_TRUE(probe->GetScrollInfo(SB_VERT, got));
    EXPECT_EQ(got.nMax, 99);
    EXPECT_EQ(got.nPage, 10u);
    EXPECT_EQ(got.nPos, 90);
    EXPECT_EQ(got.nTrackPos, 90);

    // A click on the bar's lower arrow is a line-down request followed by end-scroll; the bar
    // itself does not move: the control decides.
    QScrollBar* bar = probe->GetWindowPrivate()->Bars[SB_VERT];
    ASSERT_NE(bar, nullptr);
    si.fMask = SIF_POS;
    si.nPos = 40;
    probe->SetScrollInfo(SB_VERT, si, true);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 3));
    ASSERT_GE(probe->VScroll.size(), 2u);
    EXPECT_EQ(probe->VScroll[0], SB_LINEDOWN);
    EXPECT_EQ(probe->VScroll[1], SB_ENDSCROLL);
    EXPECT_EQ(probe->GetScrollPos(SB_VERT), 40);
    EXPECT_EQ(bar->value(), 40);
    // A click in the track below the thumb asks for a page.
    probe->VScroll.clear();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 25));
    ASSERT_FALSE(probe->VScroll.empty());
    EXPECT_EQ(probe->VScroll[0], SB_PAGEDOWN);

    // A range that fits hides the bar, unless it is to be shown disabled.
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 5;
    si.nPage = 10;
    probe->SetScrollInfo(SB_VERT, si, true);
    EXPECT_FALSE(probe->IsScrollBarVisible(SB_VERT));
    EXPECT_EQ(probe->GetClientWidth(), 150);
    si.fMask |= SIF_DISABLENOSCROLL;
    probe->SetScrollInfo(SB_VERT, si, true);
    EXPECT_TRUE(probe->IsScrollBarVisible(SB_VERT));
    EXPECT_FALSE(probe->IsScrollBarEnabled(SB_VERT));
    // Explicit switches.
    probe->ShowScrollBar(SB_HORZ, true);
    EXPECT_TRUE(probe->IsScrollBarVisible(SB_HORZ));
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 500;
    si.nPage = 100;
    probe->SetScrollInfo(SB_HORZ, si, true);
    probe->EnableScrollBar(SB_HORZ, ESB_DISABLE_BOTH);
    EXPECT_FALSE(probe->IsScrollBarEnabled(SB_HORZ));
    probe->EnableScrollBar(SB_HORZ, ESB_ENABLE_BOTH);
    EXPECT_TRUE(probe->IsScrollBarEnabled(SB_HORZ));
}

TEST_F(InputTest, DraggingTheThumbReportsTrackPositions) {
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 199;
    si.nPage = 20;
    si.nPos = 0;
    probe->SetScrollInfo(SB_VERT, si, true);
    QScrollBar* bar = probe->GetWindowPrivate()->Bars[SB_VERT];
    bar->setSliderDown(true);
    bar->setSliderPosition(77);
    TScrollInfo got;
    got.fMask = SIF_TRACKPOS | SIF_POS;
    probe->GetScrollInfo(SB_VERT, got);
    EXPECT_EQ(got.nTrackPos, 77);
    EXPECT_EQ(got.nPos, 0);
    ASSERT_FALSE(probe->VScroll.empty());
    EXPECT_EQ(probe->VScroll.back(), SB_THUMBTRACK);
    bar->setSliderDown(false);
    ASSERT_GE(probe->VScroll.size(), 2u);
    EXPECT_EQ(probe->VScroll[probe->VScroll.size() - 2], SB_THUMBPOSITION);
    EXPECT_EQ(probe->VScroll.back(), SB_ENDSCROLL);
}

TEST_F(InputTest, GraphicControlsGetMouseMessagesAndEnterLeave) {
    struct TDot : TGraphicControl {
        using TGraphicControl::TGraphicControl;
        std::vector<std::string> log;
        void MouseDown(TMouseButton, TShiftState, int x, int y) override {
            log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
        }
        void CMMouseEnter(TMessage& m) override {
            log.push_back("enter");
            TGraphicControl::CMMouseEnter(m);
        }
        void CMMouseLeave(TMessage& m) override {
            log.push_back("leave");
            TGraphicControl::CMMouseLeave(m);
        }
    };
    auto* dot = new TDot(form.get());
    dot->SetParent(probe);
    dot->SetBounds(40, 40, 20, 20);
    QWidget* w = Client(probe);
    QTest::mouseMove(w, QPoint(45, 47));
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(45, 47));
    QTest::mouseMove(w, QPoint(5, 5));
    EXPECT_EQ(dot->log, (std::vector<std::string>{"enter", "down 5,7", "leave"}));
    // The parent did not see the press that landed on the child.
    for (const auto& s : probe->Log)
        EXPECT_NE(s.rfind("down", 0), 0u) << s;
}

TEST_F(InputTest, CoordinatesConvertBetweenClientAndScreen) {
    TPoint s = probe->ClientToScreen({3, 4});
    QPoint q = Client(probe)->mapToGlobal(QPoint(3, 4));
    EXPECT_EQ(s, (TPoint{q.x(), q.y()}));
    EXPECT_EQ(probe->ScreenToClient(s), (TPoint{3, 4}));
    EXPECT_EQ(other->ScreenToClient(probe->ClientToScreen({0, 0})), (TPoint{-190, 0}));
}

} // namespace

namespace {

TEST_F(InputTest, AManualClockFiresWindowTimersAndTimerComponentsWithoutWaiting) {
    TManualTimerClock clock;
    // As a held scroll button does: a start delay, then a repeat.
    ASSERT_TRUE(probe->SetTimer(1, 300));
    TTimer reset(nullptr);
    int resets = 0;
    reset.OnTimer = [&](TObject*) {
        ++resets;
        reset.SetEnabled(false); // a one-shot, as the search reset is
    };
    reset.SetInterval(700);
    clock.Advance(299);
    EXPECT_TRUE(probe->Timers.empty());
    clock.Advance(1);
    EXPECT_EQ(probe->Timers, (std::vector<uintptr_t>{1}));
    EXPECT_TRUE(probe->IsTimerActive(1));
    probe->KillTimer(1);
    EXPECT_FALSE(probe->IsTimerActive(1));
    ASSERT_TRUE(probe->SetTimer(2, 50));
    probe->Timers.clear();
    clock.Advance(200);
    EXPECT_EQ(probe->Timers, (std::vector<uintptr_t>(4, 2u))) << "due four times in 200 ms";
    EXPECT_EQ(resets, 0);
    clock.Advance(200);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(clock.GetNow(), 700u);
    clock.Advance(5000);
    EXPECT_EQ(resets, 1);
    // A window that goes takes its timers with it.
    probe->Timers.clear();
    delete probe;
    probe = nullptr;
    clock.Advance(1000);
    // Nothing runs on the real clock meanwhile.
    other->SetTimer(3, 1);
    for (int i = 0; i < 5; ++i)
        Pump();
    EXPECT_TRUE(other->Timers.empty());
    clock.Advance(1);
    EXPECT_EQ(other->Timers, (std::vector<uintptr_t>{3}));
}

} // namespace
