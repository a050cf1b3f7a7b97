// Panels, splitters and timers.
#include <QTimer>
#include <algorithm>

#include "platform/windows/ExtCtrls.h"
#include "platform/windows/TimerClock.h"
#include "platform/windows/WinControlQt.h"

namespace {
// Draws a 3D frame of the given width and shrinks the rectangle by it.
void Frame3D(TCanvas* c, TRect& r, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width; ++i) {
        c->GetPen()->SetColor(topLeft);
        c->GetPen()->SetWidth(1);
        c->MoveTo(r.Left, r.Bottom - 1);
        c->LineTo(r.Left, r.Top);
        c->LineTo(r.Right - 1, r.Top);
        c->GetPen()->SetColor(bottomRight);
        c->LineTo(r.Right - 1, r.Bottom - 1);
        c->LineTo(r.Left - 1, r.Bottom - 1);
        InflateRect(r, -1, -1);
    }
}
} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                     csOpaque,          csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 41);
    FColor = clBtnFace;
    FParentColor = false;
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
    if (FBevelInner == Value) return;
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
    if (FBevelOuter == Value) return;
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    if (FBevelWidth == Value) return;
    FBevelWidth = Value < 1 ? 1 : Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    int bevel = 0;
    if (FBevelOuter != bvNone) bevel += FBevelWidth;
    if (FBevelInner != bvNone) bevel += FBevelWidth;
    InflateRect(Rect, -bevel, -bevel);
}

void TCustomPanel::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    auto colors = [](TBevelCut cut, TColor& tl, TColor& br) {
        tl = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        br = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    };
    TColor tl, br;
    if (FBevelOuter != bvNone) {
        colors(FBevelOuter, tl, br);
        Frame3D(c, r, tl, br, FBevelWidth);
    }
    Frame3D(c, r, FColor, FColor, FBorderWidth);
    if (FBevelInner != bvNone) {
        colors(FBevelInner, tl, br);
        Frame3D(c, r, tl, br, FBevelWidth);
    }
    c->GetBrush()->SetColor(FColor);
    c->GetBrush()->SetStyle(bsSolid);
    c->FillRect(r);
    WideString text = GetText();
    if (!text.empty()) {
        c->SetFont(*FFont);
        c->GetBrush()->SetStyle(bsClear);
        UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
        flags |= FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
        c->DrawText(text, r, flags);
    }
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    FAlign = alLeft;
    FWidth = 3;
    FHeight = 100;
    FCursor = crHSplit;
    FColor = clBtnFace;
    FParentColor = true;
    FControlStyle.Exclude(csClickEvents);
}

TControl* TSplitter::FindResizeControl() const {
    if (!FParent) return nullptr;
    for (int i = 0; i < FParent->GetControlCount(); ++i) {
        TControl* c = FParent->GetControl(i);
        if (c == this || !c->GetVisible() || c->GetAlign() == alNone || c->GetAlign() == alClient) continue;
        TRect b = c->GetBoundsRect();
        switch (FAlign) {
        case alLeft:
            if (c->GetAlign() == alLeft && b.Right == FLeft) return c;
            break;
        case alRight:
            if (c->GetAlign() == alRight && b.Left == FLeft + FWidth) return c;
            break;
        case alTop:
            if (c->GetAlign() == alTop && b.Bottom == FTop) return c;
            break;
        case alBottom:
            if (c->GetAlign() == alBottom && b.Top == FTop + FHeight) return c;
            break;
        default:
            break;
        }
    }
    // An unaligned splitter resizes the aligned control it touches on its left.
    if (FAlign == alNone) {
        for (int i = 0; i < FParent->GetControlCount(); ++i) {
            TControl* c = FParent->GetControl(i);
            if (c != this && c->GetVisible() && c->GetLeft() + c->GetWidth() == FLeft) return c;
        }
    }
    return nullptr;
}

void TSplitter::Paint() {
    TCanvas* c = GetCanvas();
    c->GetBrush()->SetColor(FColor);
    c->GetBrush()->SetStyle(bsSolid);
    c->FillRect(GetClientRect());
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FControl = FindResizeControl();
    if (!FControl) return;
    FreeNotification(FControl);
    FDragging = true;
    FDownPos = ClientToScreen({X, Y});
    bool horizontal = FAlign == alLeft || FAlign == alRight || FAlign == alNone;
    FStartSize = horizontal ? FControl->GetWidth() : FControl->GetHeight();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging || !FControl || !FParent) return;
    TPoint p = ClientToScreen({X, Y});
    bool horizontal = FAlign == alLeft || FAlign == alRight || FAlign == alNone;
    int delta = horizontal ? p.X - FDownPos.X : p.Y - FDownPos.Y;
    if (FAlign == alRight || FAlign == alBottom) delta = -delta;
    int size = FStartSize + delta;
    // What the other controls on this axis take; the rest must keep MinSize free.
    int taken = 0;
    for (int i = 0; i < FParent->GetControlCount(); ++i) {
        TControl* c = FParent->GetControl(i);
        if (c == FControl || !c->GetVisible()) continue;
        TAlign a = c->GetAlign();
        if (horizontal && (a == alLeft || a == alRight)) taken += c->GetWidth();
        if (!horizontal && (a == alTop || a == alBottom)) taken += c->GetHeight();
    }
    int total = horizontal ? FParent->GetClientWidth() : FParent->GetClientHeight();
    int maxSize = total - taken - FMinSize;
    if (size > maxSize) size = maxSize;
    if (size < FMinSize) size = FMinSize;
    bool accept = true;
    if (OnCanResize) OnCanResize(this, size, accept);
    if (!accept || FResizeStyle == rsNone) return;
    if (horizontal)
        FControl->SetWidth(size);
    else
        FControl->SetHeight(size);
    if (FAlign == alNone) SetLeft(FControl->GetLeft() + FControl->GetWidth());
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    if (FControl) RemoveFreeNotification(FControl);
    FControl = nullptr;
    if (OnMoved) OnMoved(this);
}

// ---------------------------------------------------------------------------------------------
// TTimer

struct TTimer::Private {
    QTimer Timer;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), P(std::make_unique<Private>()) {
    P->Timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&P->Timer, &QTimer::timeout, [this] { GuardedCall(this, [this] { Timer(); }); });
    UpdateTimer();
}

TTimer::~TTimer() {
    StopManualTimer(this, 0);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    P->Timer.stop();
    StopManualTimer(this, 0);
    if (FEnabled && FInterval != 0 && ManualTimerClockActive()) {
        StartManualTimer(this, 0, FInterval, [this] { GuardedCall(this, [this] { Timer(); }); });
        return;
    }
    if (FEnabled && FInterval != 0) P->Timer.start(int(FInterval));
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}
