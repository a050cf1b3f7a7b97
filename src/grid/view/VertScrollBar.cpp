// A painted vertical scroll bar and the framed control base that hosts it.
#include "grid/view/VertScrollBar.h"

#include <cmath>

#include "drawing/ThemesSupport.h"
#include "platform/graphics/Canvas.h"

namespace {
// Nearest integer, halves to even.
int RoundEven(double Value) {
    return static_cast<int>(std::nearbyint(Value));
}

bool Inside(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

// Theme parts and states of the "scrollbar" class.
constexpr int SbpArrowBtn = 1;
constexpr int SbpThumbBtnVert = 3;
constexpr int SbpLowerTrackVert = 6;
constexpr int SbpGripperVert = 9;
} // namespace

// ---------------------------------------------------------------------------------------------
// TNxVertScrollBar

TNxVertScrollBar::TNxVertScrollBar(TNxCustomScrollControl* AOwner, TCanvas* ACanvas)
    : TNxCustomScrollBar(AOwner, ACanvas) {
    FPageSize = 8;
}

void TNxVertScrollBar::UpdateScrollBar() {
    if (FOwner) FOwner->Invalidate();
}

void TNxVertScrollBar::PageDown() {
    SetPosition(FPosition + FLargeChange);
}
void TNxVertScrollBar::PageUp() {
    SetPosition(FPosition - FLargeChange);
}

int TNxVertScrollBar::GetButtonSize() {
    return GetSystemMetrics(SM_CXVSCROLL);
}

TRect TNxVertScrollBar::GetBoundsRect() {
    return {FLeft, FTop, FLeft + FWidth, FTop + FHeight};
}
TRect TNxVertScrollBar::GetClientRect() {
    return {0, 0, FWidth, FHeight};
}

void TNxVertScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
}

TRect TNxVertScrollBar::GetBackButtonRect() {
    return {FLeft, FTop, FLeft + FWidth, FTop + GetButtonSize()};
}

TRect TNxVertScrollBar::GetForwardButtonRect() {
    return {FLeft, FTop + FHeight - GetButtonSize(), FLeft + FWidth, FTop + FHeight};
}

TRect TNxVertScrollBar::GetThumbRect() {
    if (FMax <= 0) return {};
    int Top =
        RoundEven(static_cast<double>(FPosition) * (InnerHeight() - FPageSize) / FMax) + GetButtonSize() + 2;
    return {FLeft, Top, FLeft + FWidth, Top + FPageSize};
}

TRect TNxVertScrollBar::GetPageUpRect() {
    TRect Thumb = GetThumbRect();
    if (Thumb.IsEmpty()) return {};
    return {FLeft, GetBackButtonRect().Bottom, FLeft + FWidth, Thumb.Top};
}

TRect TNxVertScrollBar::GetPageDownRect() {
    TRect Thumb = GetThumbRect();
    if (Thumb.IsEmpty()) return {};
    return {FLeft, Thumb.Bottom, FLeft + FWidth, GetForwardButtonRect().Top};
}

void TNxVertScrollBar::Refresh(TScrollBarArea Area) {
    if (!FOwner || !FOwner->HandleAllocated()) return;
    TRect R = Area == saBackBtn ? GetBackButtonRect()
              : Area == saThumb ? GetThumbRect()
                                : GetForwardButtonRect();
    FOwner->InvalidateRect(&R, false);
}

void TNxVertScrollBar::SetPartState(TButtonState& State, TButtonState Value, TScrollBarArea Area) {
    if (State == Value) return;
    State = Value;
    Refresh(Area);
}

void TNxVertScrollBar::SetBackBtnState(TButtonState Value) {
    SetPartState(FBackBtnState, Value, saBackBtn);
}
void TNxVertScrollBar::SetForwardBtnState(TButtonState Value) {
    SetPartState(FForwardBtnState, Value, saForwardBtn);
}
void TNxVertScrollBar::SetThumbState(TButtonState Value) {
    SetPartState(FThumbState, Value, saThumb);
}

void TNxVertScrollBar::MouseMove(int X, int Y) {
    if (FThumbState.Contains(tsPushed) && FMax > 0) {
        double UnitHeight = static_cast<double>(InnerHeight()) / FMax;
        if (UnitHeight > 0) SetPosition(RoundEven((Y - GetButtonSize() - 2) / UnitHeight));
    }
    auto Hovered = [&](TButtonState State, const TRect& R) {
        if (Inside(R, X, Y))
            State.Include(tsHover);
        else
            State.Exclude(tsHover);
        return State;
    };
    SetBackBtnState(Hovered(FBackBtnState, GetBackButtonRect()));
    SetForwardBtnState(Hovered(FForwardBtnState, GetForwardButtonRect()));
    SetThumbState(Hovered(FThumbState, GetThumbRect()));
}

void TNxVertScrollBar::MouseLeave() {
    SetBackBtnState(FBackBtnState - TButtonState{tsHover});
    SetForwardBtnState(FForwardBtnState - TButtonState{tsHover});
    SetThumbState(FThumbState - TButtonState{tsHover});
}

void TNxVertScrollBar::Paint() {
    int B = GetButtonSize();
    if (FMax < 1) {
        PaintBackground({FLeft, FTop + B, FLeft + FWidth, FTop + FHeight - B}, false);
    } else {
        TRect Thumb = GetThumbRect();
        PaintBackground({FLeft, FTop + B, FLeft + FWidth, Thumb.Top}, false);
        PaintThumb(Thumb);
        PaintBackground({FLeft, Thumb.Bottom, FLeft + FWidth, FTop + FHeight - B}, false);
    }
    PaintButton(bkBack, GetBackButtonRect());
    PaintButton(bkForward, GetForwardButtonRect());
}

void TNxVertScrollBar::PaintBackground(const TRect& Rect, bool Pushed) {
    if (!FCanvas || Rect.IsEmpty()) return;
    if (NxThemesSupport::IsThemed()) {
        NxThemesSupport::ThemeRect(FOwner, FCanvas, Rect, u"scrollbar", SbpLowerTrackVert, 1);
        return;
    }
    if (Pushed) {
        FCanvas->GetBrush()->SetColor(cl3DDkShadow);
        FCanvas->FillRect(Rect);
        return;
    }
    // The classic checker of highlight and scroll bar colors.
    TColor Light = ColorToRGB(clBtnHighlight);
    TColor Dark = ColorToRGB(clScrollBar);
    for (int y = Rect.Top; y < Rect.Bottom; ++y)
        for (int x = Rect.Left; x < Rect.Right; ++x)
            FCanvas->SetPixels(x, y, ((x + y) & 1) ? Dark : Light);
}

void TNxVertScrollBar::PaintThumb(const TRect& Rect) {
    if (!FCanvas || Rect.IsEmpty()) return;
    if (NxThemesSupport::IsThemed()) {
        int State = FThumbState.Contains(tsPushed) ? 3 : FThumbState.Contains(tsHover) ? 2 : 1;
        NxThemesSupport::ThemeRect(FOwner, FCanvas, Rect, u"scrollbar", SbpThumbBtnVert, State);
        if (Rect.Height() > 16)
            NxThemesSupport::ThemeRect(FOwner, FCanvas, Rect, u"scrollbar", SbpGripperVert, 2);
        return;
    }
    // A raised edge filled with button face.
    FCanvas->GetBrush()->SetColor(clBtnFace);
    FCanvas->FillRect(Rect);
    FCanvas->GetBrush()->SetColor(clBtnHighlight);
    FCanvas->FillRect({Rect.Left, Rect.Top, Rect.Right - 1, Rect.Top + 1});
    FCanvas->FillRect({Rect.Left, Rect.Top, Rect.Left + 1, Rect.Bottom - 1});
    FCanvas->GetBrush()->SetColor(cl3DDkShadow);
    FCanvas->FillRect({Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom});
    FCanvas->FillRect({Rect.Right - 1, Rect.Top, Rect.Right, Rect.Bottom});
}

void TNxVertScrollBar::PaintButton(TScrollButtonKind Kind, const TRect& Rect) {
    if (!FCanvas || Rect.IsEmpty()) return;
    TButtonState State = Kind == bkBack ? FBackBtnState : FForwardBtnState;
    if (NxThemesSupport::IsThemed()) {
        int ThemeState = State.Contains(tsPushed) ? 3 : State.Contains(tsHover) ? 2 : 1;
        if (Kind == bkForward) ThemeState += 4;
        NxThemesSupport::ThemeRect(FOwner, FCanvas, Rect, u"scrollbar", SbpArrowBtn, ThemeState);
        return;
    }
    bool Pushed = State.Contains(tsPushed);
    FCanvas->GetBrush()->SetColor(clBtnFace);
    FCanvas->FillRect(Rect);
    if (Pushed) {
        FCanvas->GetBrush()->SetColor(clBtnShadow);
        FCanvas->FrameRect(Rect);
    } else {
        PaintThumb(Rect);
    }
    // The arrow, grayed when the bar is disabled.
    FCanvas->GetBrush()->SetColor(FEnabled ? clBtnText : clGrayText);
    int CX = (Rect.Left + Rect.Right) / 2 + (Pushed ? 1 : 0);
    int CY = (Rect.Top + Rect.Bottom) / 2 + (Pushed ? 1 : 0);
    for (int i = 0; i < 4; ++i) {
        int Y = Kind == bkBack ? CY - 2 + i : CY + 1 - i;
        FCanvas->FillRect({CX - i, Y, CX + i + 1, Y + 1});
    }
}

// ---------------------------------------------------------------------------------------------
// TNxControl

TNxControl::TNxControl(TComponent* AOwner) : TNxCustomScrollControl(AOwner) {
    FVertScrollBar = std::make_unique<TNxVertScrollBar>(this, nullptr);
    FVertScrollBar->SetKind(skVertical);
    FHorzScrollBar = std::make_unique<TNxVertScrollBar>(this, nullptr);
    FHorzScrollBar->SetKind(skHorizontal);
    FDelayTimer = new TTimer(this);
    FDelayTimer->SetEnabled(false);
    FDelayTimer->SetInterval(300);
    FDelayTimer->OnTimer = [this](TObject* Sender) { DelayTimerTick(Sender); };
    FIncrementTimer = new TTimer(this);
    FIncrementTimer->SetEnabled(false);
    FIncrementTimer->SetInterval(50);
    FIncrementTimer->OnTimer = [this](TObject* Sender) { IncrementTimerTick(Sender); };
    UpdateBarBounds();
}

TNxControl::~TNxControl() = default;

TRect TNxControl::GetControlRect() {
    int Height = GetClientHeight() - 4;
    int Width = GetClientWidth() - 4 - (FVertScrollBar->GetVisible() ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    return {2, 2, 2 + Width, 2 + Height};
}

void TNxControl::UpdateBarBounds() {
    TRect Control = GetControlRect();
    int Size = FVertScrollBar->GetButtonSize();
    FVertScrollBar->SetBounds(Control.Right, 2, Size, Control.Height());
}

void TNxControl::Resize() {
    UpdateBarBounds();
    TNxCustomScrollControl::Resize();
}

void TNxControl::DrawBorder() {
    TCanvas* Canvas = GetCanvas();
    TRect R = TNxCustomScrollControl::GetClientRect();
    Canvas->GetBrush()->SetColor(clBlack);
    Canvas->FrameRect(R);
    Canvas->GetBrush()->SetColor(GetColor());
    Canvas->FrameRect({R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
}

void TNxControl::Paint() {
    TNxCustomScrollControl::Paint();
    DrawBorder();
    UpdateBarBounds();
    FVertScrollBar->SetCanvas(GetCanvas());
    if (FVertScrollBar->GetVisible()) FVertScrollBar->Paint();
}

void TNxControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxCustomScrollControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !FVertScrollBar->GetVisible()) return;
    TNxVertScrollBar* Bar = FVertScrollBar.get();
    bool Repeats = true;
    if (Inside(Bar->GetForwardButtonRect(), X, Y)) {
        Bar->SetForwardBtnState(Bar->GetForwardBtnState() + TButtonState{tsPushed});
        Bar->MoveBy(1);
        FScrollDirection = sdLineDown;
    } else if (Inside(Bar->GetBackButtonRect(), X, Y)) {
        Bar->SetBackBtnState(Bar->GetBackBtnState() + TButtonState{tsPushed});
        Bar->MoveBy(-1);
        FScrollDirection = sdLineUp;
    } else if (Inside(Bar->GetPageDownRect(), X, Y)) {
        Bar->PageDown();
        FScrollDirection = sdPageDown;
    } else if (Inside(Bar->GetPageUpRect(), X, Y)) {
        Bar->PageUp();
        FScrollDirection = sdPageUp;
    } else {
        Repeats = false;
        if (Inside(Bar->GetThumbRect(), X, Y) && Bar->GetMax() >= 1)
            Bar->SetThumbState(Bar->GetThumbState() + TButtonState{tsPushed});
    }
    if (Repeats) FDelayTimer->SetEnabled(true);
}

void TNxControl::MouseMove(TShiftState Shift, int X, int Y) {
    TNxCustomScrollControl::MouseMove(Shift, X, Y);
    TNxVertScrollBar* Bar = FVertScrollBar.get();
    if (Inside(Bar->GetBoundsRect(), X, Y) || Bar->GetThumbState().Contains(tsPushed))
        Bar->MouseMove(X, Y);
    else
        Bar->MouseLeave();
}

void TNxControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxCustomScrollControl::MouseUp(Button, Shift, X, Y);
    TNxVertScrollBar* Bar = FVertScrollBar.get();
    Bar->SetBackBtnState(Bar->GetBackBtnState() - TButtonState{tsPushed});
    Bar->SetForwardBtnState(Bar->GetForwardBtnState() - TButtonState{tsPushed});
    Bar->SetThumbState(Bar->GetThumbState() - TButtonState{tsPushed});
    FScrollDirection = sdIdle;
    FDelayTimer->SetEnabled(false);
    FIncrementTimer->SetEnabled(false);
    Invalidate();
}

void TNxControl::CMMouseLeave(TMessage& Message) {
    TNxCustomScrollControl::CMMouseLeave(Message);
    FVertScrollBar->MouseLeave();
}

void TNxControl::DelayTimerTick(TObject*) {
    FDelayTimer->SetEnabled(false);
    FIncrementTimer->SetEnabled(true);
}

void TNxControl::IncrementTimerTick(TObject*) {
    RepeatAction();
}

void TNxControl::RepeatAction() {
    switch (FScrollDirection) {
    case sdLineUp:
        FVertScrollBar->MoveBy(-1);
        break;
    case sdLineDown:
        FVertScrollBar->MoveBy(1);
        break;
    case sdPageUp:
        FVertScrollBar->PageUp();
        break;
    case sdPageDown:
        FVertScrollBar->PageDown();
        break;
    case sdIdle:
        break;
    }
}
