// TControl, TSizeConstraints and TGraphicControl.
#include <algorithm>
#include <cstdlib>

#include "platform/windows/Accessibility.h"
#include "platform/windows/Controls.h"
#include "platform/windows/Forms.h"

namespace {
TControl* gCaptureControl = nullptr;
constexpr int kWheelNotch = 120;
} // namespace

// ---------------------------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::SetMinWidth(int v) {
    if (v < 0) v = 0;
    if (v == FMinWidth) return;
    FMinWidth = v;
    if (FMaxWidth > 0 && FMaxWidth < v) FMaxWidth = v;
    Changed();
}
void TSizeConstraints::SetMinHeight(int v) {
    if (v < 0) v = 0;
    if (v == FMinHeight) return;
    FMinHeight = v;
    if (FMaxHeight > 0 && FMaxHeight < v) FMaxHeight = v;
    Changed();
}
void TSizeConstraints::SetMaxWidth(int v) {
    if (v < 0) v = 0;
    if (v == FMaxWidth) return;
    FMaxWidth = v;
    if (v > 0 && FMinWidth > v) FMinWidth = v;
    Changed();
}
void TSizeConstraints::SetMaxHeight(int v) {
    if (v < 0) v = 0;
    if (v == FMaxHeight) return;
    FMaxHeight = v;
    if (v > 0 && FMinHeight > v) FMinHeight = v;
    Changed();
}
void TSizeConstraints::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TSizeConstraints*>(Source)) {
        FMinWidth = s->FMinWidth;
        FMinHeight = s->FMinHeight;
        FMaxWidth = s->FMaxWidth;
        FMaxHeight = s->FMaxHeight;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}
void TSizeConstraints::Constrain(int& Width, int& Height) const {
    if (FMaxWidth > 0 && Width > FMaxWidth) Width = FMaxWidth;
    if (FMaxHeight > 0 && Height > FMaxHeight) Height = FMaxHeight;
    if (Width < FMinWidth) Width = FMinWidth;
    if (Height < FMinHeight) Height = FMinHeight;
}
void TSizeConstraints::Changed() {
    if (FControl)
        FControl->SetBounds(FControl->GetLeft(), FControl->GetTop(), FControl->GetWidth(),
                            FControl->GetHeight());
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>(this)),
      FFont(std::make_unique<TFont>()), FColor(clWindow) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    FFont->OnChange = [this] {
        if (FFontChangeGuard == 0) FParentFont = false;
        Perform(CM_FONTCHANGED);
    };
}

TControl::~TControl() {
    AccessibleControlDestroyed(this);
    if (gCaptureControl == this) gCaptureControl = nullptr;
    if (FParent) FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        break;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        break;
    case WM_NCPAINT:
        WMNCPaint(Message);
        break;
    case WM_SIZE:
        WMSize(Message);
        break;
    case WM_MOVE:
        WMMove(Message);
        break;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(Message);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        WMMouseDown(Message);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        WMMouseUp(Message);
        break;
    case WM_MOUSEMOVE:
        WMMouseMove(Message);
        break;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        break;
    case WM_SETCURSOR:
        WMSetCursor(Message);
        break;
    case WM_CAPTURECHANGED:
        WMCaptureChanged(Message);
        break;
    case WM_THEMECHANGED:
        WMThemeChanged(Message);
        break;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        break;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        break;
    case CM_VISIBLECHANGED:
        CMVisibleChanged(Message);
        break;
    case CM_FONTCHANGED:
        CMFontChanged(Message);
        break;
    case CM_COLORCHANGED:
        CMColorChanged(Message);
        break;
    case CM_PARENTFONTCHANGED:
        CMParentFontChanged(Message);
        break;
    case CM_PARENTCOLORCHANGED:
        CMParentColorChanged(Message);
        break;
    case CM_PARENTSHOWHINTCHANGED:
        CMParentShowHintChanged(Message);
        break;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        break;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        break;
    case CM_HINTSHOW:
        CMHintShow(Message);
        break;
    default:
        DefaultHandler(Message);
        break;
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    // A wheel that nobody handled goes to the parent, as the platform does.
    if (Message.Msg == WM_MOUSEWHEEL && FParent) {
        Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
    }
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    FConstraints->Constrain(AWidth, AHeight);
    bool moved = ALeft != FLeft || ATop != FTop;
    bool sized = AWidth != FWidth || AHeight != FHeight;
    if (!moved && !sized) return;
    if (FParent && FVisible && !dynamic_cast<TWinControl*>(this)) Invalidate(); // the old place
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FParent && !FParent->FAligning) {
        TRect pr = FParent->GetClientRect();
        if (pr.Width() > 0 || pr.Height() > 0) {
            FAnchorRight = pr.Width() - (FLeft + FWidth);
            FAnchorBottom = pr.Height() - (FTop + FHeight);
        }
    }
    BoundsChanged(moved, sized);
    if (FParent && FVisible && !dynamic_cast<TWinControl*>(this)) Invalidate(); // the new place
    if (moved) Perform(WM_MOVE, 0, MakeLParam(FLeft, FTop));
    if (sized) {
        TRect client = GetClientRect();
        Perform(WM_SIZE, 0, MakeLParam(client.Width(), client.Height()));
    }
    Perform(WM_WINDOWPOSCHANGED);
    if (FParent && FAlign != alNone && !FParent->FAligning) FParent->Realign();
}

void TControl::BoundsChanged(bool, bool) {}

TRect TControl::GetClientRect() const {
    return {0, 0, FWidth, FHeight};
}

void TControl::SetClientWidth(int v) {
    SetWidth(FWidth - GetClientWidth() + v);
}
void TControl::SetClientHeight(int v) {
    SetHeight(FHeight - GetClientHeight() + v);
}

TPoint TControl::GetClientOrigin() const {
    if (!FParent) return {FLeft, FTop};
    TPoint p = FParent->GetClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
    TPoint o = GetClientOrigin();
    return {P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
    TPoint o = GetClientOrigin();
    return {P.X - o.X, P.Y - o.Y};
}

TPoint TControl::ClientToParent(const TPoint& P, TWinControl* AParent) const {
    if (!AParent) AParent = FParent;
    return AParent ? AParent->ScreenToClient(ClientToScreen(P)) : P;
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    FAlign = Value;
    if (FParent) FParent->Realign();
}

void TControl::SetAnchors(TAnchors Value) {
    FAnchors = Value;
    if (FParent) {
        TRect pr = FParent->GetClientRect();
        FAnchorRight = pr.Width() - (FLeft + FWidth);
        FAnchorBottom = pr.Height() - (FTop + FHeight);
    }
}

namespace {
// Tells assistive technology that a graphic control was shown, hidden, enabled or disabled; a
// windowed control's widget tells it itself.
void NotifyGraphicChange(TControl* Control, TAccessibleEvent Event) {
    if (!dynamic_cast<TWinControl*>(Control)) AccessibleNotify(Control, Event);
}
} // namespace

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    VisibleChanging();
    if (!Value && FParent && !dynamic_cast<TWinControl*>(this)) Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    if (Value && FParent && !dynamic_cast<TWinControl*>(this)) Invalidate();
    if (FParent) FParent->Realign();
    NotifyGraphicChange(this, Value ? aeShown : aeHidden);
}

bool TControl::IsShowing() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
    NotifyGraphicChange(this, aeStateChanged);
}

bool TControl::IsEnabledInTree() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FEnabled) return false;
    return true;
}

void TControl::SetFont(TFont* Value) {
    if (Value) FFont->Assign(*Value);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor Value) {
    if (FColor != Value) {
        FColor = Value;
        FParentColor = false;
        Perform(CM_COLORCHANGED);
    } else {
        FParentColor = false;
    }
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetText(const WideString& Value) {
    if (GetTextValue() == Value) return;
    SetTextValue(Value);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetTextValue(const WideString& Value) {
    FText = Value;
}

void TControl::SetShowHint(bool Value) {
    FParentShowHint = false;
    if (FShowHint == Value) return;
    FShowHint = Value;
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->GetControlCount(); ++i)
            w->GetControl(i)->Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (Value) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::Invalidate() {
    if (FParent && FVisible) {
        TRect r = GetBoundsRect();
        FParent->InvalidateRect(&r, !FControlStyle.Contains(csOpaque));
    }
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
    FParent->ControlZOrderChanged(this, true);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
    FParent->ControlZOrderChanged(this, false);
    Invalidate();
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled) return true;
    // Smooth wheels and touchpads send parts of a notch: they add up, one notch per 120 units.
    FWheelAccumulator += WheelDelta;
    while (std::abs(FWheelAccumulator) >= kWheelNotch) {
        if (FWheelAccumulator < 0) {
            FWheelAccumulator += kWheelNotch;
            handled = DoMouseWheelDown(Shift, MousePos);
        } else {
            FWheelAccumulator -= kWheelNotch;
            handled = DoMouseWheelUp(Shift, MousePos);
        }
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

bool TControl::CanAutoSize(int&, int&) {
    return true;
}

void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustSize();
}

void TControl::AdjustSize() {
    int w = FWidth, h = FHeight;
    if (FAutoSize && CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TControl::RequestAlign() {
    if (FParent) FParent->Realign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParent) FParent->Realign();
}

// Message handlers -----------------------------------------------------------------------------

void TControl::WMPaint(TMessage& Message) {
    DefaultHandler(Message);
}
void TControl::WMEraseBkgnd(TMessage& Message) {
    DefaultHandler(Message);
}
void TControl::WMNCPaint(TMessage& Message) {
    DefaultHandler(Message);
}
void TControl::WMSize(TMessage& Message) {
    DefaultHandler(Message);
    Resize();
}
void TControl::WMMove(TMessage& Message) {
    DefaultHandler(Message);
}
void TControl::WMWindowPosChanged(TMessage& Message) {
    DefaultHandler(Message);
}

void TControl::WMMouseDown(TMessage& Message) {
    TMouseButton button = mbLeft;
    bool dbl = false;
    switch (Message.Msg) {
    case WM_LBUTTONDBLCLK:
        dbl = true;
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        button = mbLeft;
        break;
    case WM_RBUTTONDBLCLK:
        dbl = true;
        [[fallthrough]];
    case WM_RBUTTONDOWN:
        button = mbRight;
        break;
    case WM_MBUTTONDBLCLK:
        dbl = true;
        [[fallthrough]];
    case WM_MBUTTONDOWN:
        button = mbMiddle;
        break;
    }
    TShiftState shift = KeysToShiftState(Message.WParam);
    if (dbl && !FControlStyle.Contains(csDoubleClicks)) dbl = false;
    if (dbl) shift.Include(ssDouble);
    // Capturing takes the pointer from whoever holds it (a drag box from the grid that pressed).
    if (FControlStyle.Contains(csCaptureMouse)) SetCaptureControl(this);
    if (button == mbLeft && FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    // The default handling (a native editor's own) comes first; the dispatchers run after it.
    DefaultHandler(Message);
    if (dbl && FControlStyle.Contains(csClickEvents)) DblClick();
    if (button == mbLeft) FControlState.Include(csLButtonDown);
    MouseDown(button, shift, GetXLParam(Message.LParam), GetYLParam(Message.LParam));
}

void TControl::WMMouseUp(TMessage& Message) {
    TMouseButton button = Message.Msg == WM_LBUTTONUP   ? mbLeft
                          : Message.Msg == WM_RBUTTONUP ? mbRight
                                                        : mbMiddle;
    int x = GetXLParam(Message.LParam), y = GetYLParam(Message.LParam);
    DefaultHandler(Message);
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
    if (button == mbLeft) {
        FControlState.Exclude(csLButtonDown);
        if (FControlState.Contains(csClicked)) {
            FControlState.Exclude(csClicked);
            if (PtInRect(GetClientRect(), {x, y})) Click();
        }
    }
    MouseUp(button, KeysToShiftState(Message.WParam), x, y);
}

void TControl::WMMouseMove(TMessage& Message) {
    DefaultHandler(Message);
    MouseMove(KeysToShiftState(Message.WParam), GetXLParam(Message.LParam), GetYLParam(Message.LParam));
}

void TControl::WMMouseWheel(TMessage& Message) {
    TShiftState shift = KeysToShiftState(LoWord(Message.WParam));
    int delta = static_cast<int16_t>(HiWord(Message.WParam));
    TPoint pos{GetXLParam(Message.LParam), GetYLParam(Message.LParam)};
    if (DoMouseWheel(shift, delta, pos))
        Message.Result = 1;
    else
        DefaultHandler(Message);
}

void TControl::WMSetCursor(TMessage& Message) {
    DefaultHandler(Message);
}
void TControl::WMCaptureChanged(TMessage& Message) {
    DefaultHandler(Message);
}
void TControl::WMThemeChanged(TMessage& Message) {
    DefaultHandler(Message);
    Invalidate();
}
void TControl::CMTextChanged(TMessage&) {
    Invalidate();
}
void TControl::CMEnabledChanged(TMessage&) {
    Invalidate();
}
void TControl::CMVisibleChanged(TMessage&) {}
void TControl::CMFontChanged(TMessage&) {
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->GetControlCount(); ++i)
            w->GetControl(i)->Perform(CM_PARENTFONTCHANGED);
}
void TControl::CMColorChanged(TMessage&) {
    Invalidate();
    if (auto* w = dynamic_cast<TWinControl*>(this))
        for (int i = 0; i < w->GetControlCount(); ++i)
            w->GetControl(i)->Perform(CM_PARENTCOLORCHANGED);
}
void TControl::CMParentFontChanged(TMessage&) {
    if (!FParentFont || !FParent) return;
    ++FFontChangeGuard;
    FFont->Assign(*FParent->GetFont());
    --FFontChangeGuard;
    FParentFont = true;
}
void TControl::CMParentColorChanged(TMessage&) {
    if (!FParentColor || !FParent) return;
    SetColor(FParent->GetColor());
    FParentColor = true;
}
void TControl::CMParentShowHintChanged(TMessage&) {
    if (!FParentShowHint || !FParent) return;
    SetShowHint(FParent->GetShowHint());
    FParentShowHint = true;
}
void TControl::CMMouseEnter(TMessage&) {
    FMouseInControl = true;
    if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::CMMouseLeave(TMessage&) {
    FMouseInControl = false;
    if (OnMouseLeave) OnMouseLeave(this);
}
void TControl::CMHintShow(TMessage&) {}

// ---------------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    FControlStyle.Include(csReplicatable);
}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::GetCanvas() const {
    if (FCanvas) return FCanvas;
    // Outside a paint: an unattached canvas that measures with the control's font.
    if (!FMeasureCanvas) FMeasureCanvas = std::make_unique<TCanvas>();
    FMeasureCanvas->SetFont(*FFont);
    return FMeasureCanvas.get();
}

void TGraphicControl::Invalidate() {
    TControl::Invalidate();
}

void TGraphicControl::Update() {
    TControl::Update();
}

void TGraphicControl::WMPaint(TMessage& Message) {
    if (FCanvas) Paint();
    Message.Result = 0;
}

// ---------------------------------------------------------------------------------------------
// Capture of graphic and windowed controls

TControl* GetCaptureControl() {
    return gCaptureControl;
}

void SetCaptureControlInternal(TControl* Control);
void SetCaptureControl(TControl* Control) {
    gCaptureControl = Control;
    SetCaptureControlInternal(Control);
}
