#pragma once
// Scrollable control base: scroll bar state, content shifting on position changes, scroll
// requests, the wheel and roll scrolling with the middle button.
//
// The bars hold numbers and talk to the window system; the control decides what one unit of
// position means (GetHorzOffset / GetVertOffset) and moves the pixels in ScrollContent.

#include <functional>
#include <memory>

#include "platform/windows/Controls.h"
#include "platform/windows/ExtCtrls.h"

class TNxCustomScrollControl;

enum TScrollBarKind { skHorizontal, skVertical };
enum TScrollKind { rkIdle, rkLine, rkPage, rkThumb, rkTopBottom };
enum TRollDirectionItem { rdUp, rdDown };
using TRollDirection = TSet<TRollDirectionItem>;
enum TNxScrollStyleItem { rsRoll };
using TNxScrollStyle = TSet<TNxScrollStyleItem>;
enum TViewStateItem { vsRolling };
using TViewState = TSet<TViewStateItem>;
enum TScrollButtonKind { bkBack, bkForward };
enum TScrollBarArea { saBackBtn, saThumb, saForwardBtn };
enum TButtonStateItem { tsHover, tsPushed };
using TButtonState = TSet<TButtonStateItem>;
enum TScrollDirection { sdIdle, sdLineUp, sdLineDown, sdPageUp, sdPageDown };
enum TRollShadowKind { rkBoth, rkVertical, rkHorizontal };

using TScrollEvent = std::function<void(TObject* Sender, int Position)>;

// Cursor numbers of roll scrolling.
constexpr TCursor crRoll = 4003;
constexpr TCursor crRollUp = 4004;
constexpr TCursor crRollDown = 4005;

// The state of one scroll bar. Does not own its owner control or canvas.
class TNxCustomScrollBar : public TPersistent {
public:
    TNxCustomScrollBar(TNxCustomScrollControl* AOwner, TCanvas* ACanvas);
    ~TNxCustomScrollBar() override;

    // Accepts another scroll bar and copies nothing; anything else raises the assignment error.
    void Assign(const TPersistent* Source) override;

    bool GetAutoHide() const { return FAutoHide; }
    void SetAutoHide(bool Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TScrollBarKind GetKind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int GetBarFlag() const { return FBarFlag; }
    int GetLargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    int GetSmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    bool GetManualScroll() const { return FManualScroll; }
    void SetManualScroll(bool Value) { FManualScroll = Value; }
    // Negative values are taken as 0. Lowering Max below Position moves the position (and the
    // content) to Max.
    int GetMax() const { return FMax; }
    void SetMax(int Value);
    int GetMin() const { return FMin; }
    void SetMin(int Value);
    // Values of 0 or below are taken as 1.
    int GetPageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    int GetPosition() const { return FPosition; }
    int GetOldPosition() const { return FOldPosition; }
    // Clamps V into [Min, Max] (never below 0), stores it, synchronises the bar and, unless
    // updating or ManualScroll, shifts the owner's content by the owner's offset for the change
    // (also when the position did not change; the offset is then 0).
    void SetPosition(int Value);
    TScrollKind GetScrollKind() const { return FScrollKind; }
    void SetScrollKind(TScrollKind Value) { FScrollKind = Value; }
    int GetUpdateCount() const { return FUpdateCount; }
    bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    TNxCustomScrollControl* GetOwnerControl() const { return FOwner; }
    TCanvas* GetCanvas() const { return FCanvas; }
    // Painted bars draw on the canvas of the paint in progress.
    void SetCanvas(TCanvas* Value) { FCanvas = Value; }

    // While updating, position changes do not shift the content.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() { --FUpdateCount; }
    void First() { SetPosition(0); }
    void Last() { SetPosition(FMax - FPageSize + 1); }
    void MoveBy(int Delta) { SetPosition(FPosition + Delta); }
    // Send the owner's window a line request (down/right, up/left); nothing when the range is empty
    // (and, for Prior, at position 0).
    void Next();
    void Prior();
    virtual void PageDown();
    virtual void PageUp();
    bool IsFirst() const { return FPosition == 0; }
    bool IsLast() const { return FPosition + FPageSize >= FMax; }
    // Shrinks (true) or grows (false) the range by one.
    void Expand(bool Shrink) { SetMax(Shrink ? FMax - 1 : FMax + 1); }
    // Brings the window-system bar (or the painted one) up to date; nothing in the base.
    virtual void UpdateScrollBar() {}

protected:
    void SendScroll(int Code);

    TNxCustomScrollControl* FOwner;
    TCanvas* FCanvas;
    bool FAutoHide = true;
    bool FManualScroll = false;
    int FBarFlag = -1;
    bool FEnabled = true;
    TScrollBarKind FKind = skHorizontal;
    int FLargeChange = 1;
    int FMax = 0;
    int FMin = 0;
    int FOldPosition = 0;
    int FPageSize = 0;
    int FPosition = 0;
    int FSmallChange = 1;
    TScrollKind FScrollKind = rkIdle;
    int FUpdateCount = 0;
    bool FVisible = false;
    bool FUpdating = false;
};

// A bar of the control's own window, drawn by the window system.
class TNxScrollBar : public TNxCustomScrollBar {
public:
    using TNxCustomScrollBar::TNxCustomScrollBar;
    void SetVisible(bool Value) override;
    // Hands range, page and position to the window system in one call once the window exists.
    void UpdateScrollBar() override;
};

// The common base of scrollable controls.
class TNxCustomScrollControl : public TCustomControl {
public:
    explicit TNxCustomScrollControl(TComponent* AOwner);
    ~TNxCustomScrollControl() override;

    // Pixels the content moves when the bar's position goes from OldPos to NewPos.
    virtual int GetHorzOffset(int OldPos, int NewPos);
    virtual int GetVertOffset(int OldPos, int NewPos);
    virtual void AfterScroll(TScrollBarKind Kind);
    virtual void BeforeScroll(TScrollBarKind Kind);
    // Moves the window's pixels by (DX, DY) inside HorzScrollClip (DX != 0) or VertScrollClip
    // and invalidates the uncovered part, between BeforeScroll and AfterScroll.
    virtual void ScrollContent(TNxCustomScrollBar* ScrollBar, int DX, int DY);

    // Parts of the client area a horizontal or vertical shift moves; kept by the descendant.
    TRect GetHorzScrollClip() const { return FHorzScrollClip; }
    void SetHorzScrollClip(const TRect& R) { FHorzScrollClip = R; }
    TRect GetVertScrollClip() const { return FVertScrollClip; }
    void SetVertScrollClip(const TRect& R) { FVertScrollClip = R; }

    void TryFocus();
    // Post Tab (Shift+Tab) key-downs to the parent window.
    void SelectNextControl();
    void SelectPrevControl();

protected:
    TRect FHorzScrollClip;
    TRect FVertScrollClip;
};

// A borderless, topmost popup window that never erases its background.
class TNxFlyoutControl : public TCustomControl {
public:
    explicit TNxFlyoutControl(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WMEraseBkgnd(TMessage& Message) override;
};

// The marker shown at the press point while roll scrolling.
class TRollShadow : public TNxFlyoutControl {
public:
    explicit TRollShadow(TComponent* AOwner);
    TRollShadowKind GetKind() const { return FKind; }
    void SetKind(TRollShadowKind Value) { FKind = Value; }
    // Shapes the window and places it so that its dot lies on the screen point P.
    void SetPosition(const TPoint& P);
    TPoint GetPosition() const { return FPosition; }

protected:
    void Paint() override;

private:
    TRollShadowKind FKind = rkVertical;
    TPoint FPosition;
};

// A scroll control on the window system's own bars.
class TNxScrollControl : public TNxCustomScrollControl {
public:
    explicit TNxScrollControl(TComponent* AOwner);
    ~TNxScrollControl() override;

    TNxScrollBar* GetHorzScrollBar() const { return FHorzScrollBar.get(); }
    void SetHorzScrollBar(const TNxScrollBar* Value) { FHorzScrollBar->Assign(Value); }
    TNxScrollBar* GetVertScrollBar() const { return FVertScrollBar.get(); }
    void SetVertScrollBar(const TNxScrollBar* Value) { FVertScrollBar->Assign(Value); }
    bool GetMouseWheelEnabled() const { return FMouseWheelEnabled; }
    void SetMouseWheelEnabled(bool Value) { FMouseWheelEnabled = Value; }
    TNxScrollStyle GetScrollStyle() const { return FScrollStyle; }
    void SetScrollStyle(TNxScrollStyle Value) { FScrollStyle = Value; }
    TViewState GetViewState() const { return FViewState; }
    TRollDirection GetRollDirection() const { return FRollDirection; }
    TPoint GetRollOrigin() const { return FRollOrigin; }
    TRollShadow* GetRollShadow() const { return FRollShadow; }
    TTimer* GetRollTimer() const { return FRollTimer; }

    // The track position the window system reports for the bar's window-system bar.
    int GetRealScrollPosition(TNxCustomScrollBar* ScrollBar);

    TScrollEvent OnHorizontalScroll;
    TScrollEvent OnVerticalScroll;

    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void WMHScroll(TMessage& Message) override;
    void WMVScroll(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void DoHorizontalScroll(int Position);
    virtual void DoVerticalScroll(int Position);
    // One roll step: the next interval from the pointer's distance, then a line request.
    void RollTimerTick(TObject* Sender);

private:
    void HandleScroll(TNxScrollBar* Bar, TMessage& Message);
    void StopRolling();

    std::unique_ptr<TNxScrollBar> FHorzScrollBar;
    std::unique_ptr<TNxScrollBar> FVertScrollBar;
    bool FMouseWheelEnabled = true;
    TNxScrollStyle FScrollStyle{rsRoll};
    TViewState FViewState;
    TRollDirection FRollDirection;
    TPoint FRollOrigin;
    TRollShadow* FRollShadow; // owned as a component
    TTimer* FRollTimer;       // owned as a component
};
