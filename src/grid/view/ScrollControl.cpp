// Scrollable control base: scroll bar state, content shifting, scroll requests and roll scrolling.
#include "grid/view/ScrollControl.h"

#include <algorithm>
#include <cstdlib>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Region.h"
#include "platform/runtime/ScopedChange.h"
#include "platform/windows/Forms.h"

// ---------------------------------------------------------------------------------------------
// TNxCustomScrollBar

TNxCustomScrollBar::TNxCustomScrollBar(TNxCustomScrollControl* AOwner, TCanvas* ACanvas)
    : FOwner(AOwner), FCanvas(ACanvas) {}

TNxCustomScrollBar::~TNxCustomScrollBar() = default;

void TNxCustomScrollBar::Assign(const TPersistent* Source) {
    if (dynamic_cast<const TNxCustomScrollBar*>(Source)) return;
    TPersistent::Assign(Source);
}

void TNxCustomScrollBar::SetAutoHide(bool Value) {
    FAutoHide = Value;
    SetVisible(FMax != 0 || !Value);
    UpdateScrollBar();
}

void TNxCustomScrollBar::SetEnabled(bool Value) {
    FEnabled = Value;
    if (FOwner && FOwner->HandleAllocated())
        FOwner->EnableScrollBar(FBarFlag, Value ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    UpdateScrollBar();
}

void TNxCustomScrollBar::SetKind(TScrollBarKind Value) {
    FKind = Value;
    FBarFlag = Value == skHorizontal ? SB_HORZ : SB_VERT;
}

void TNxCustomScrollBar::SetVisible(bool Value) {
    FVisible = Value;
}

void TNxCustomScrollBar::SetMax(int Value) {
    if (Value == FMax) return;
    FMax = std::max(Value, 0);
    SetVisible(!(FPageSize >= FMax && FAutoHide));
    UpdateScrollBar();
    if (FMax < FPosition) SetPosition(FMax);
}

void TNxCustomScrollBar::SetMin(int Value) {
    FMin = std::max(Value, 0);
    UpdateScrollBar();
}

void TNxCustomScrollBar::SetPageSize(int Value) {
    if (Value == FPageSize) return;
    FPageSize = std::max(Value, 1);
    UpdateScrollBar();
}

void TNxCustomScrollBar::SetPosition(int Value) {
    FOldPosition = FPosition;
    int NewPosition = std::min(Value, FMax);
    if (Value < FMin) NewPosition = FMin;
    FPosition = std::max(NewPosition, 0);
    UpdateScrollBar();
    if (FUpdateCount >= 1 || FManualScroll || !FOwner) return;
    if (FKind == skVertical)
        FOwner->ScrollContent(this, 0, FOwner->GetVertOffset(FOldPosition, FPosition));
    else
        FOwner->ScrollContent(this, FOwner->GetHorzOffset(FOldPosition, FPosition), 0);
}

void TNxCustomScrollBar::SendScroll(int Code) {
    if (!FOwner) return;
    SendMessage(FOwner, FKind == skVertical ? WM_VSCROLL : WM_HSCROLL, static_cast<WPARAM>(Code), 0);
}

void TNxCustomScrollBar::Next() {
    if (FMax >= 1) SendScroll(SB_LINEDOWN);
}

void TNxCustomScrollBar::Prior() {
    if (FMax >= 1 && FPosition > 0) SendScroll(SB_LINEUP);
}

void TNxCustomScrollBar::PageDown() {
    if (FMax > 0) SendScroll(SB_PAGEDOWN);
}

void TNxCustomScrollBar::PageUp() {
    if (FMax > 0) SendScroll(SB_PAGEUP);
}

// ---------------------------------------------------------------------------------------------
// TNxScrollBar

void TNxScrollBar::SetVisible(bool Value) {
    TNxCustomScrollBar::SetVisible(Value);
    if (FOwner && FOwner->HandleAllocated() && FBarFlag >= 0) FOwner->ShowScrollBar(FBarFlag, Value);
}

void TNxScrollBar::UpdateScrollBar() {
    if (FUpdating) return;
    TScopedChange Guard(FUpdating, true);
    if (!FOwner || !FOwner->HandleAllocated() || FBarFlag < 0) return;
    TScrollInfo Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (!FAutoHide) Info.fMask |= SIF_DISABLENOSCROLL;
    Info.nMin = FMin;
    Info.nMax = FMax;
    Info.nPage = static_cast<UINT>(std::max(FPageSize, 0));
    Info.nPos = FPosition;
    if (FMax > 0)
        FOwner->EnableScrollBar(FBarFlag,
                                FOwner->GetEnabled() && FEnabled ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
    FOwner->SetScrollInfo(FBarFlag, Info, true);
}

// ---------------------------------------------------------------------------------------------
// TNxCustomScrollControl

TNxCustomScrollControl::TNxCustomScrollControl(TComponent* AOwner) : TCustomControl(AOwner) {}

TNxCustomScrollControl::~TNxCustomScrollControl() = default;

int TNxCustomScrollControl::GetHorzOffset(int, int) {
    return 0;
}
int TNxCustomScrollControl::GetVertOffset(int, int) {
    return 0;
}
void TNxCustomScrollControl::AfterScroll(TScrollBarKind) {}
void TNxCustomScrollControl::BeforeScroll(TScrollBarKind) {}

void TNxCustomScrollControl::ScrollContent(TNxCustomScrollBar* ScrollBar, int DX, int DY) {
    BeforeScroll(ScrollBar->GetKind());
    const TRect& Clip = DX != 0 ? FHorzScrollClip : FVertScrollClip;
    if (HandleAllocated()) ScrollWindowEx(DX, DY, nullptr, &Clip, SW_INVALIDATE);
    AfterScroll(ScrollBar->GetKind());
}

void TNxCustomScrollControl::TryFocus() {
    if (GetParentForm() && CanFocus()) SetFocus();
}

void TNxCustomScrollControl::SelectNextControl() {
    if (GetParent()) PostMessage(GetParent(), WM_KEYDOWN, VK_TAB, 0);
}

void TNxCustomScrollControl::SelectPrevControl() {
    if (!GetParent()) return;
    PostMessage(GetParent(), WM_KEYDOWN, VK_SHIFT, 0);
    PostMessage(GetParent(), WM_KEYDOWN, VK_TAB, 0);
}

// ---------------------------------------------------------------------------------------------
// TNxFlyoutControl, TRollShadow

TNxFlyoutControl::TNxFlyoutControl(TComponent* AOwner) : TCustomControl(AOwner) {}

void TNxFlyoutControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style &= ~(WS_CHILD | WS_TABSTOP | WS_GROUP);
    Params.Style |= WS_POPUP;
    Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void TNxFlyoutControl::CreateWnd() {
    TCustomControl::CreateWnd();
    BringToFront();
}

void TNxFlyoutControl::WMEraseBkgnd(TMessage& Message) {
    Message.Result = 1;
}

TRollShadow::TRollShadow(TComponent* AOwner) : TNxFlyoutControl(AOwner) {
    FVisible = false;
    SetBounds(0, 0, 32, 32);
}

void TRollShadow::SetPosition(const TPoint& P) {
    // Two arrows and the dot between them, the dot 7 right and 11 down from the window's corner.
    TRegion Up = CreatePolygonRgn({{-1, 7}, {7, -1}, {8, 0}, {14, 7}, {0, 6}}, WINDING);
    TRegion Down = CreatePolygonRgn({{-1, 15}, {14, 15}, {6, 22}, {6, 22}, {-1, 14}}, WINDING);
    TRegion Dot = CreateEllipticRgn(5, 9, 10, 14);
    TRegion Shape = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(Shape, Up, Down, RGN_OR);
    CombineRgn(Shape, Shape, Dot, RGN_OR);
    SetWindowRgn(&Shape, true);
    FPosition = P;
    SetBounds(P.X - 7, P.Y - 11, 32, 32);
}

void TRollShadow::Paint() {
    TCanvas* Canvas = GetCanvas();
    Canvas->GetBrush()->SetColor(clGrayText);
    Canvas->FillRect(GetClientRect());
}

// ---------------------------------------------------------------------------------------------
// TNxScrollControl

namespace {
constexpr UINT RollStepLimit = 100;
}

TNxScrollControl::TNxScrollControl(TComponent* AOwner)
    : TNxCustomScrollControl(AOwner), FHorzScrollBar(std::make_unique<TNxScrollBar>(this, nullptr)),
      FVertScrollBar(std::make_unique<TNxScrollBar>(this, nullptr)) {
    FHorzScrollBar->SetKind(skHorizontal);
    FVertScrollBar->SetKind(skVertical);
    FRollShadow = new TRollShadow(this);
    FRollTimer = new TTimer(this);
    FRollTimer->SetEnabled(false);
    FRollTimer->SetInterval(1);
    FRollTimer->OnTimer = [this](TObject* Sender) { RollTimerTick(Sender); };
    Screen->SetCursors(crRoll, LoadCursor(HInstance, "ROLL"));
    Screen->SetCursors(crRollUp, LoadCursor(HInstance, "ROLLUP"));
    Screen->SetCursors(crRollDown, LoadCursor(HInstance, "ROLLDOWN"));
}

TNxScrollControl::~TNxScrollControl() {
    if (FViewState.Contains(vsRolling)) StopRolling();
}

void TNxScrollControl::CreateParams(TCreateParams& Params) {
    TNxCustomScrollControl::CreateParams(Params);
    Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TNxScrollControl::CreateWnd() {
    TNxCustomScrollControl::CreateWnd();
    FHorzScrollBar->UpdateScrollBar();
    FVertScrollBar->UpdateScrollBar();
}

void TNxScrollControl::CMEnabledChanged(TMessage& Message) {
    TNxCustomScrollControl::CMEnabledChanged(Message);
    Invalidate();
    FHorzScrollBar->UpdateScrollBar();
    FVertScrollBar->UpdateScrollBar();
}

// The whole client is painted by Paint; erasing first would only flicker.
void TNxScrollControl::WMEraseBkgnd(TMessage& Message) {
    Message.Result = 1;
}

void TNxScrollControl::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
}

void TNxScrollControl::WMHScroll(TMessage& Message) {
    HandleScroll(FHorzScrollBar.get(), Message);
}

void TNxScrollControl::WMVScroll(TMessage& Message) {
    HandleScroll(FVertScrollBar.get(), Message);
}

int TNxScrollControl::GetRealScrollPosition(TNxCustomScrollBar* ScrollBar) {
    TScrollInfo Info;
    Info.fMask = SIF_TRACKPOS;
    GetScrollInfo(ScrollBar->GetBarFlag(), Info);
    return Info.nTrackPos;
}

void TNxScrollControl::HandleScroll(TNxScrollBar* Bar, TMessage& Message) {
    DefaultHandler(Message);
    int Code = LoWord(Message.WParam);
    switch (Code) {
    case SB_LINEUP:
    case SB_LINEDOWN:
        Bar->SetScrollKind(rkLine);
        break;
    case SB_PAGEUP:
    case SB_PAGEDOWN:
        Bar->SetScrollKind(rkPage);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        Bar->SetScrollKind(rkThumb);
        break;
    case SB_TOP:
    case SB_BOTTOM:
        Bar->SetScrollKind(rkTopBottom);
        break;
    default:
        break;
    }
    bool HasTarget = true;
    int Target = 0;
    switch (Code) {
    case SB_LINEUP:
        Target = Bar->GetPosition() - Bar->GetSmallChange();
        break;
    case SB_LINEDOWN:
        Target = Bar->GetPosition() + Bar->GetSmallChange();
        break;
    case SB_PAGEUP:
        Target = Bar->GetPosition() - Bar->GetLargeChange();
        break;
    case SB_PAGEDOWN:
        Target = Bar->GetPosition() + Bar->GetLargeChange();
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        Target = GetRealScrollPosition(Bar);
        break;
    case SB_TOP:
        Target = 0;
        break;
    case SB_BOTTOM:
        Target = Bar->GetMax();
        break;
    default:
        HasTarget = false;
        break;
    }
    if (HasTarget) {
        if (Target <= 0) Target = 0;
        if (Target > Bar->GetMax() - Bar->GetPageSize()) Target = Bar->GetMax() - Bar->GetPageSize() + 1;
        Bar->SetPosition(Target);
    }
    if (Bar->GetKind() == skVertical)
        DoVerticalScroll(Bar->GetPosition());
    else
        DoHorizontalScroll(Bar->GetPosition());
}

void TNxScrollControl::DoHorizontalScroll(int Position) {
    if (OnHorizontalScroll) OnHorizontalScroll(this, Position);
}

void TNxScrollControl::DoVerticalScroll(int Position) {
    if (OnVerticalScroll) OnVerticalScroll(this, Position);
}

// Descendants scroll on the wheel; the base only claims it.
bool TNxScrollControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (FMouseWheelEnabled) return true;
    return TNxCustomScrollControl::DoMouseWheelDown(Shift, MousePos);
}

bool TNxScrollControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (FMouseWheelEnabled) return true;
    return TNxCustomScrollControl::DoMouseWheelUp(Shift, MousePos);
}

void TNxScrollControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxCustomScrollControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbMiddle || !FScrollStyle.Contains(rsRoll)) return;
    FViewState.Include(vsRolling);
    FRollShadow->SetCursor(crRoll);
    FRollOrigin = {X, Y};
    FRollShadow->SetPosition(ClientToScreen(FRollOrigin));
    FRollShadow->Show();
    FRollTimer->SetInterval(1);
    FRollTimer->SetEnabled(true);
    SetCapture(this);
}

void TNxScrollControl::MouseMove(TShiftState Shift, int X, int Y) {
    TNxCustomScrollControl::MouseMove(Shift, X, Y);
    if (!FViewState.Contains(vsRolling)) return;
    FRollDirection = {};
    int DY = Y - FRollOrigin.Y;
    if (DY < -5) {
        Screen->SetCursor(crRollUp);
        FRollDirection.Include(rdUp);
    } else if (DY > 5) {
        Screen->SetCursor(crRollDown);
        FRollDirection.Include(rdDown);
    } else {
        Screen->SetCursor(crRoll);
    }
    FRollShadow->SetCursor(Screen->GetCursor());
}

void TNxScrollControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxCustomScrollControl::MouseUp(Button, Shift, X, Y);
    if (FViewState.Contains(vsRolling)) StopRolling();
}

void TNxScrollControl::StopRolling() {
    FRollTimer->SetEnabled(false);
    FViewState.Exclude(vsRolling);
    FRollDirection = {};
    FRollShadow->Hide();
    Screen->SetCursor(crDefault);
    if (GetCapture() == this) ReleaseCapture();
}

void TNxScrollControl::RollTimerTick(TObject*) {
    TPoint Pointer = ScreenToClient(GetCursorPos());
    int Distance = std::abs(Pointer.Y - FRollOrigin.Y);
    FRollTimer->SetInterval(static_cast<UINT>(std::max(static_cast<int>(RollStepLimit) - Distance, 1)));
    if (FRollDirection.Contains(rdUp)) FVertScrollBar->Prior();
    if (FRollDirection.Contains(rdDown)) FVertScrollBar->Next();
}
