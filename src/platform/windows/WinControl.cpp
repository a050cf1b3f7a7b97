// TWinControl and TCustomControl: windows with children, focus, tab order and window services.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/windows/Accessibility.h"
#include "platform/windows/ControlCanvas.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TimerClock.h"
#include "platform/windows/WinControlQt.h"

namespace {
constexpr int kScrollBarSize = 17;

int BarMaxPos(const TScrollInfo& i) {
    int page = i.nPage > 0 ? int(i.nPage) : 1;
    return std::max(i.nMin, i.nMax - page + 1);
}
} // namespace

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner)
    : TControl(AOwner), FWindow(std::make_unique<TWinControlPrivate>(this)) {
    FControlStyle.Include(csAcceptsControls);
    InstallAccessibilityBridge();
}

TWinControl::~TWinControl() {
    Destroying();
    // Children go first, so they can still reach their parent while they leave.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
    if (TCustomForm* form = GetParentForm(); form && form != this && form->GetActiveControl() == this)
        form->SetActiveControl(nullptr);
    DestroyWnd();
    ReleaseControlCanvases(*FWindow);
}

TControl* TWinControl::GetControl(int Index) const {
    if (Index < 0 || Index >= GetControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FControls[size_t(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || AControl->FParent == this) return;
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) FTabList.push_back(w);
    if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED);
    if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED);
    if (AControl->FParentShowHint) AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    TRect pr = GetClientRect();
    AControl->FAnchorRight = pr.Width() - (AControl->FLeft + AControl->FWidth);
    AControl->FAnchorBottom = pr.Height() - (AControl->FTop + AControl->FHeight);
    if (auto* w = dynamic_cast<TWinControl*>(AControl); w && HandleAllocated()) {
        if (w->HandleAllocated()) {
            // Moving an existing window to a new parent.
            w->DestroyWnd();
        }
        w->HandleNeeded();
    }
    if (AControl->FAlign != alNone) Realign();
    AControl->Invalidate();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (!AControl || AControl->FParent != this) return;
    if (!dynamic_cast<TWinControl*>(AControl)) AControl->Invalidate();
    if (FMouseControl == AControl) FMouseControl = nullptr;
    if (FCaptureControl == AControl) FCaptureControl = nullptr;
    if (GetCaptureControl() == AControl) SetCaptureControl(nullptr);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), AControl), FTabList.end());
    AControl->FParent = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(AControl); w && w->HandleAllocated() && !w->IsTopLevelWindow()) {
        // A child window cannot live without its parent window.
        w->DestroyWnd();
    }
    if (AControl->FAlign != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->FParent)
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        bool win = dynamic_cast<TWinControl*>(c) != nullptr;
        if (win && !AllowWinControls) continue;
        if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
        if (PtInRect(c->GetBoundsRect(), Pos)) return c;
    }
    return nullptr;
}

void TWinControl::ControlZOrderChanged(TControl* AControl, bool ToFront) {
    auto* w = dynamic_cast<TWinControl*>(AControl);
    if (!w || !w->HandleAllocated()) return;
    if (ToFront)
        w->FWindow->Frame->raise();
    else
        w->FWindow->Frame->lower();
}

// Alignment -----------------------------------------------------------------------------------

void TWinControl::AdjustClientRect(TRect& Rect) {
    Rect = GetClientRect();
    InflateRect(Rect, -FBorderWidth, -FBorderWidth);
}

void TWinControl::Realign() {
    // While a form description is read, aligning waits for Loaded.
    if (FAlignLevel > 0 || FAligning || IsLoading()) return;
    TRect r;
    AdjustClientRect(r);
    AlignControls(nullptr, r);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    TScopedChange aligning(FAligning, true);
    {
        auto place = [&](TAlign align) {
            std::vector<TControl*> list;
            for (TControl* c : FControls)
                if (c->FAlign == align && c->FVisible) list.push_back(c);
            auto key = [align](TControl* c) {
                switch (align) {
                case alTop:
                    return c->FTop;
                case alBottom:
                    return -(c->FTop + c->FHeight);
                case alLeft:
                    return c->FLeft;
                case alRight:
                    return -(c->FLeft + c->FWidth);
                default:
                    return 0;
                }
            };
            std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
                int ka = key(a), kb = key(b);
                if (ka != kb) return ka < kb;
                // The control being moved goes first among equals.
                return a == AControl && b != AControl;
            });
            for (TControl* c : list) {
                switch (align) {
                case alTop:
                    c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->FHeight);
                    Rect.Top += c->FHeight;
                    break;
                case alBottom:
                    c->SetBounds(Rect.Left, Rect.Bottom - c->FHeight, Rect.Width(), c->FHeight);
                    Rect.Bottom -= c->FHeight;
                    break;
                case alLeft:
                    c->SetBounds(Rect.Left, Rect.Top, c->FWidth, Rect.Height());
                    Rect.Left += c->FWidth;
                    break;
                case alRight:
                    c->SetBounds(Rect.Right - c->FWidth, Rect.Top, c->FWidth, Rect.Height());
                    Rect.Right -= c->FWidth;
                    break;
                case alClient:
                    c->SetBounds(Rect.Left, Rect.Top, std::max(0, Rect.Width()), std::max(0, Rect.Height()));
                    break;
                default:
                    break;
                }
            }
        };
        place(alTop);
        place(alBottom);
        place(alLeft);
        place(alRight);
        place(alClient);
        // Anchored controls keep their distances to the anchored edges of the client area.
        TRect pr = GetClientRect();
        for (TControl* c : FControls) {
            if (c->FAlign != alNone || c->FAnchorRight < -100000) continue;
            TAnchors a = c->FAnchors;
            int l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
            if (a.Contains(akRight)) {
                if (a.Contains(akLeft))
                    w = pr.Width() - c->FAnchorRight - l;
                else
                    l = pr.Width() - c->FAnchorRight - w;
            }
            if (a.Contains(akBottom)) {
                if (a.Contains(akTop))
                    h = pr.Height() - c->FAnchorBottom - t;
                else
                    t = pr.Height() - c->FAnchorBottom - h;
            }
            if (l != c->FLeft || t != c->FTop || w != c->FWidth || h != c->FHeight) c->SetBounds(l, t, w, h);
        }
    }
}

// Focus and tab order -------------------------------------------------------------------------

int TWinControl::GetTabOrder() const {
    if (!FParent) return -1;
    auto& l = FParent->FTabList;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) return;
    auto& l = FParent->FTabList;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    if (Value < 0) Value = 0;
    if (Value > int(l.size())) Value = int(l.size());
    l.insert(l.begin() + Value, this);
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm();
    if (form && form != this && !form->IsShowing()) {
        form->SetActiveControl(this);
        return;
    }
    HandleNeeded();
    QWidget* w = FWindow->Client;
    if (!w) return;
    if (QWidget* top = w->window(); top && !top->isActiveWindow()) top->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
    // The window system may deliver the focus change later; the form learns it now.
    if (form && w->hasFocus()) form->FocusChanged(this);
}

bool TWinControl::Focused() const {
    return FWindow->Client && FWindow->Client->hasFocus();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[size_t(i)] == CurControl) start = i;
    if (start < 0) start = GoForward ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[size_t(i)];
        if (c == CurControl && k < n - 1) continue;
        if (!c->CanFocus()) continue;
        if (CheckTabStop && !c->FTabStop) continue;
        if (CheckParent && c->FParent != this) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, false)) c->SetFocus();
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(WideChar& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

// Messages ------------------------------------------------------------------------------------

void TWinControl::WndProc(TMessage& Message) {
    UINT m = Message.Msg;
    if (m >= WM_MOUSEMOVE && m <= WM_MBUTTONDBLCLK) {
        TPoint pos{GetXLParam(Message.LParam), GetYLParam(Message.LParam)};
        // Graphic children get the mouse messages that land on them (or that they captured).
        TControl* target = nullptr;
        TControl* cap = GetCaptureControl();
        if (cap && cap->FParent == this && !dynamic_cast<TWinControl*>(cap))
            target = cap;
        else if (cap != this)
            target = ControlAtPos(pos, false);
        if (m == WM_MOUSEMOVE) {
            TControl* over = (cap && cap != this && cap->FParent == this) ? cap : ControlAtPos(pos, false);
            if (over != FMouseControl) {
                TControl* old = FMouseControl;
                FMouseControl = over;
                if (old) old->Perform(CM_MOUSELEAVE);
                if (over) over->Perform(CM_MOUSEENTER);
            }
        }
        if (target) {
            Message.Result =
                target->Perform(m, Message.WParam, MakeLParam(pos.X - target->FLeft, pos.Y - target->FTop));
            return;
        }
    }
    switch (m) {
    case WM_KEYDOWN:
        WMKeyDown(Message);
        return;
    case WM_KEYUP:
        WMKeyUp(Message);
        return;
    case WM_CHAR:
        WMChar(Message);
        return;
    case WM_SETFOCUS:
        WMSetFocus(Message);
        return;
    case WM_KILLFOCUS:
        WMKillFocus(Message);
        return;
    case WM_DROPFILES:
        WMDropFiles(Message);
        return;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case WM_HSCROLL:
        WMHScroll(Message);
        return;
    case WM_VSCROLL:
        WMVScroll(Message);
        return;
    case WM_GETDLGCODE:
        WMGetDlgCode(Message);
        return;
    case CM_ENTER:
        CMEnter(Message);
        return;
    case CM_EXIT:
        CMExit(Message);
        return;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        return;
    case CM_MOUSELEAVE:
        if (FMouseControl) {
            TControl* old = FMouseControl;
            FMouseControl = nullptr;
            old->Perform(CM_MOUSELEAVE);
        }
        break;
    case CM_ENABLEDCHANGED:
        if (FWindow->Client) FWindow->Client->setEnabled(FEnabled);
        break;
    case CM_CURSORCHANGED:
        if (FWindow->Client) {
            if (FCursor == crDefault && FWindow->Native)
                FWindow->Client->unsetCursor();
            else
                FWindow->Client->setCursor(CursorToQt(FCursor));
        }
        break;
    default:
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    // A native editor's default handling of input and paint messages is the editor's own.
    if (FWindow->Native && RunNativeDefault(*FWindow, Message)) return;
    TControl::DefaultHandler(Message);
}

namespace {
// A key goes to the parent form first when it previews keys, then to the control; a handler
// that clears the key swallows it.
template <typename Handle>
bool KeySwallowed(TWinControl* self, TCustomForm* form, TMessage& Message, Handle handle) {
    if ((form && form != self && form->GetKeyPreview() && handle(form)) || handle(self)) {
        Message.Result = 1;
        return true;
    }
    return false;
}
} // namespace

void TWinControl::WMKeyDown(TMessage& Message) {
    Word key = Word(Message.WParam);
    const TShiftState shift = GetKeyShiftState();
    if (KeySwallowed(this, GetParentForm(), Message, [&](TWinControl* c) {
            c->KeyDown(key, shift);
            return key == 0;
        }))
        return;
    Message.WParam = key;
    DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
    Word key = Word(Message.WParam);
    const TShiftState shift = GetKeyShiftState();
    if (KeySwallowed(this, GetParentForm(), Message, [&](TWinControl* c) {
            c->KeyUp(key, shift);
            return key == 0;
        }))
        return;
    Message.WParam = key;
    DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
    WideChar ch = WideChar(Message.WParam);
    if (KeySwallowed(this, GetParentForm(), Message, [&](TWinControl* c) {
            c->KeyPress(ch);
            return ch == 0;
        }))
        return;
    Message.WParam = ch;
    DefaultHandler(Message);
}

void TWinControl::WMSetFocus(TMessage& Message) {
    if (TCustomForm* form = GetParentForm()) form->FocusChanged(this);
    DefaultHandler(Message);
}
void TWinControl::WMKillFocus(TMessage& Message) {
    DefaultHandler(Message);
}
void TWinControl::WMDropFiles(TMessage& Message) {
    DefaultHandler(Message);
}

void TWinControl::DragAcceptFiles(bool Accept) {
    FWindow->AcceptFiles = Accept;
    if (FWindow->Client) FWindow->Client->setAcceptDrops(Accept);
}

bool TWinControl::GetAcceptFiles() const {
    return FWindow->AcceptFiles;
}
void TWinControl::WMTimer(TMessage& Message) {
    DefaultHandler(Message);
}
void TWinControl::WMHScroll(TMessage& Message) {
    DefaultHandler(Message);
}
void TWinControl::WMVScroll(TMessage& Message) {
    DefaultHandler(Message);
}
void TWinControl::WMGetDlgCode(TMessage& Message) {
    DefaultHandler(Message);
}
void TWinControl::CMEnter(TMessage&) {
    DoEnter();
}
void TWinControl::CMExit(TMessage&) {
    DoExit();
}
void TWinControl::CMDialogKey(TMessage& Message) {
    DefaultHandler(Message);
}

void TWinControl::WMPaint(TMessage& Message) {
    // A paint message may bring a canvas of its own (a child painting its parent behind it);
    // Paint then draws on that one.
    auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
    if (!canvas) canvas = FPaintCanvas;
    if (!canvas) return;
    TScopedChange paintCanvas(FPaintCanvas, canvas);
    // A native editor paints itself first; graphic children and descendants' drawing go over it.
    if (FWindow->Native) DefaultHandler(Message);
    PaintWindow(canvas);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
    if (!canvas) return;
    canvas->GetBrush()->SetColor(FColor);
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(GetClientRect());
    Message.Result = 1;
}

void TWinControl::PaintWindow(TCanvas* Canvas) {
    PaintControls(Canvas);
}

void TWinControl::PaintControls(TCanvas* Canvas) {
    for (TControl* c : FControls) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->FVisible) continue;
        TRect b = g->GetBoundsRect();
        if (!Canvas->RectVisible(b)) continue;
        int level = Canvas->SaveDC();
        TPoint org = Canvas->GetWindowOrg();
        Canvas->SetWindowOrg(org.X - b.Left, org.Y - b.Top);
        Canvas->IntersectClipRect({0, 0, b.Width(), b.Height()});
        Canvas->GetFont()->Assign(*g->FFont);
        Canvas->GetBrush()->SetColor(g->FColor);
        struct TRestoreDC {
            TCanvas* Canvas;
            int Level;
            ~TRestoreDC() { Canvas->RestoreDC(Level); }
        } restoreDC{Canvas, level};
        TScopedChange childCanvas(g->FCanvas, Canvas);
        g->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Canvas));
    }
}

TCanvas* TWinControl::GetPaintCanvas() const {
    return FPaintCanvas;
}

void TWinControl::SetTextValue(const WideString& Value) {
    TControl::SetTextValue(Value);
    if (FWindow->TopLevel && FWindow->Frame)
        FWindow->Frame->setWindowTitle(QString::fromUtf16(Value.data(), qsizetype(Value.size())));
}

// The window --------------------------------------------------------------------------------

bool TWinControl::HandleAllocated() const {
    return FWindow->Frame != nullptr;
}

HWND TWinControl::GetHandle() {
    HandleNeeded();
    return this;
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Style = WS_CHILD | WS_CLIPCHILDREN;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.ExStyle = 0;
    if (FBorderStyle != bsNone) {
        if (FCtl3D)
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent;
}

void TWinControl::CreateWnd() {}

void TWinControl::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TWinControl::SetBorderWidth(int Value) {
    if (FBorderWidth == Value) return;
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

TRect TWinControl::GetClientRect() const {
    const TWinControlPrivate& p = *FWindow;
    if (p.Client) {
        QSize s = p.Client->size();
        return {0, 0, s.width(), s.height()};
    }
    TRect nc = p.NonClient();
    return {0, 0, std::max(0, FWidth - nc.Left - nc.Right), std::max(0, FHeight - nc.Top - nc.Bottom)};
}

TPoint TWinControl::GetClientOrigin() const {
    const TWinControlPrivate& p = *FWindow;
    if (p.Client && (p.TopLevel || (FParent && FParent->HandleAllocated()))) {
        QPoint g = p.Client->mapToGlobal(QPoint(0, 0));
        return {g.x(), g.y()};
    }
    TRect nc = p.NonClient();
    TPoint o = FParent ? FParent->GetClientOrigin() : TPoint{0, 0};
    return {o.X + FLeft + nc.Left, o.Y + FTop + nc.Top};
}

bool TWinControl::IsTopLevelWindow() const {
    return FWindow->TopLevel;
}

void TWinControl::BoundsChanged(bool, bool Sized) {
    TWinControlPrivate& p = *FWindow;
    // SetBounds reports the new client size itself once the bounds are applied.
    TScopedChange changing(p.InBoundsChange, true);
    if (p.Frame) {
        QRect g;
        if (p.TopLevel) {
            TRect m = p.NonClient();
            TRect b = p.FrameBorder();
            // The window manager draws a form's caption and border; the frame widget holds the rest.
            g = QRect(FLeft + m.Left - b.Left, FTop + m.Top - b.Top,
                      std::max(0, FWidth - (m.Left - b.Left) - (m.Right - b.Right)),
                      std::max(0, FHeight - (m.Top - b.Top) - (m.Bottom - b.Bottom)));
        } else {
            g = QRect(FLeft, FTop, FWidth, FHeight);
        }
        if (p.Frame->geometry() != g) {
            p.SettingGeometry = true;
            p.Frame->setGeometry(g);
            p.SettingGeometry = false;
        }
        p.LayoutFrame();
    }
    if (Sized) Realign();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TWinControl::SetParent(TWinControl* AParent) {
    TControl::SetParent(AParent);
}

void TWinControl::SetVisible(bool Value) {
    if (Value && FWindow->TopLevel) HandleNeeded();
    TControl::SetVisible(Value);
    if (Value && !FWindow->Frame && FParent && FParent->HandleAllocated()) HandleNeeded();
    FWindow->ShowFrame(Value);
}

void TWinControl::SetEnabled(bool Value) {
    TControl::SetEnabled(Value);
}

void TWinControl::RecreateWnd() {
    TWinControlPrivate& p = *FWindow;
    if (!p.Frame) return;
    if (p.Native) {
        // The editor's state lives in its window: a new one is made from the control's properties
        // (CreateParams, CreateNativeWindow, CreateWnd), with the text carried over.
        bool focused = Focused();
        DestroyWnd();
        HandleNeeded();
        if (focused) SetFocus();
        return;
    }
    TCreateParams params;
    CreateParams(params);
    p.Params = params;
    BoundsChanged(false, false);
    p.LayoutFrame();
    p.Frame->update();
    p.AddInvalid(QRegion(p.Client ? p.Client->rect() : QRect()));
}

// Painting requests ---------------------------------------------------------------------------

void TWinControl::Invalidate() {
    InvalidateRect(nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::InvalidateRect(const TRect* R, bool Erase) {
    TWinControlPrivate& p = *FWindow;
    if (!p.Client || p.Native) {
        if (p.Client) p.Client->update();
        return;
    }
    QRect all = p.Client->rect();
    QRegion r = R ? QRegion(RectToQt(*R)).intersected(all) : QRegion(all);
    if (r.isEmpty()) return;
    if (Erase) p.EraseNeeded = true;
    p.AddInvalid(r);
}

void TWinControl::ValidateRect(const TRect* R) {
    TWinControlPrivate& p = *FWindow;
    if (!p.Client) return;
    if (!R)
        p.Invalid = QRegion();
    else
        p.Invalid -= QRegion(RectToQt(*R));
}

TRect TWinControl::GetUpdateRect() const {
    return RectFromQt(FWindow->Invalid.boundingRect());
}

bool TWinControl::HasPendingPaint() const {
    return !FWindow->Invalid.isEmpty();
}

void TWinControl::Update() {
    TWinControlPrivate& p = *FWindow;
    if (p.Client && !p.Native && !p.Invalid.isEmpty() && p.Client->isVisible()) p.PaintInvalid();
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::RedrawWindow(const TRect* R, UINT Flags) {
    TWinControlPrivate& p = *FWindow;
    if (!p.Frame) return;
    if (Flags & RDW_INVALIDATE) InvalidateRect(R, Flags & RDW_ERASE);
    if (Flags & RDW_VALIDATE) ValidateRect(R);
    if (Flags & RDW_FRAME) p.Frame->update();
    if (!(Flags & RDW_NOCHILDREN) && (Flags & RDW_INVALIDATE))
        for (TWinControl* c : FTabList)
            c->RedrawWindow(nullptr, Flags);
    if (Flags & RDW_UPDATENOW) Update();
}

void TWinControl::ScrollWindowEx(int DX, int DY, const TRect* Scroll, const TRect* Clip, UINT Flags) {
    TWinControlPrivate& p = *FWindow;
    if (!p.Client || p.Native || (DX == 0 && DY == 0)) return;
    p.EnsurePixels();
    QRect area = p.Client->rect();
    if (Scroll) area &= RectToQt(*Scroll);
    if (Clip) area &= RectToQt(*Clip);
    if (area.isEmpty()) return;
    // A shift as wide as the area or wider moves every pixel out of it (and must not overflow).
    const bool within = std::abs(int64_t(DX)) < area.width() && std::abs(int64_t(DY)) < area.height();
    QRect dest = within ? area.translated(DX, DY) & area : QRect();
    // At a fractional scale a logical pixel is no whole number of device pixels: repaint instead.
    const qreal ratio = p.Pixels.devicePixelRatio();
    const int whole = int(ratio);
    if (whole != ratio) dest = QRect();
    if (!dest.isEmpty()) {
        QRect src = dest.translated(-DX, -DY);
        QImage copy = p.Pixels.copy(QRect(src.topLeft() * whole, src.size() * whole));
        copy.setDevicePixelRatio(ratio);
        QPainter painter(&p.Pixels);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(dest.topLeft(), copy);
    }
    // What was waiting to be painted inside the area moves with the pixels.
    QRegion inside = p.Invalid.intersected(area);
    p.Invalid -= inside;
    if (within) p.Invalid += inside.translated(DX, DY).intersected(area);
    if (Flags & SW_INVALIDATE) {
        if (Flags & SW_ERASE) p.EraseNeeded = true;
        p.Invalid += QRegion(area) - QRegion(dest);
    }
    p.Client->update(area);
}

int TWinControl::SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw) {
    if (Bar != SB_HORZ && Bar != SB_VERT) return 0;
    auto& s = FWindow->BarStates[Bar];
    if (Info.fMask & SIF_RANGE) {
        s.Info.nMin = Info.nMin;
        s.Info.nMax = Info.nMax;
    }
    if (Info.fMask & SIF_PAGE) {
        int range = s.Info.nMax - s.Info.nMin + 1;
        s.Info.nPage = std::min<UINT>(Info.nPage, UINT(std::max(0, range)));
    }
    if (Info.fMask & SIF_POS) s.Info.nPos = Info.nPos;
    s.Info.nPos = std::clamp(s.Info.nPos, s.Info.nMin, BarMaxPos(s.Info));
    s.DisableNoScroll = (Info.fMask & SIF_DISABLENOSCROLL) != 0;
    if (Info.fMask & (SIF_RANGE | SIF_PAGE)) {
        bool needed = s.Info.nMax > s.Info.nMin && int(s.Info.nPage) <= s.Info.nMax - s.Info.nMin;
        s.Shown = needed || s.DisableNoScroll;
        s.ForcedHide = false;
        s.ForcedShow = false;
    }
    if (Redraw || true) FWindow->UpdateBarWidgets();
    return s.Info.nPos;
}

bool TWinControl::GetScrollInfo(int Bar, TScrollInfo& Info) const {
    if (Bar != SB_HORZ && Bar != SB_VERT) return false;
    const auto& s = FWindow->BarStates[Bar];
    UINT mask = Info.fMask;
    if (mask & SIF_RANGE) {
        Info.nMin = s.Info.nMin;
        Info.nMax = s.Info.nMax;
    }
    if (mask & SIF_PAGE) Info.nPage = s.Info.nPage;
    if (mask & SIF_POS) Info.nPos = s.Info.nPos;
    if (mask & SIF_TRACKPOS) Info.nTrackPos = s.Tracking ? s.TrackPos : s.Info.nPos;
    return true;
}

int TWinControl::GetScrollPos(int Bar) const {
    if (Bar != SB_HORZ && Bar != SB_VERT) return 0;
    return FWindow->BarStates[Bar].Info.nPos;
}

bool TWinControl::ShowScrollBar(int Bar, bool Show) {
    auto apply = [&](int b) {
        auto& s = FWindow->BarStates[b];
        s.ForcedShow = Show;
        s.ForcedHide = !Show;
    };
    if (Bar == SB_BOTH) {
        apply(SB_HORZ);
        apply(SB_VERT);
    } else if (Bar == SB_HORZ || Bar == SB_VERT) {
        apply(Bar);
    } else {
        return false;
    }
    FWindow->UpdateBarWidgets();
    return true;
}

bool TWinControl::EnableScrollBar(int Bar, UINT Arrows) {
    auto apply = [&](int b) { FWindow->BarStates[b].ArrowsEnabled = Arrows != ESB_DISABLE_BOTH; };
    if (Bar == SB_BOTH) {
        apply(SB_HORZ);
        apply(SB_VERT);
    } else if (Bar == SB_HORZ || Bar == SB_VERT) {
        apply(Bar);
    } else {
        return false;
    }
    FWindow->UpdateBarWidgets();
    return true;
}

bool TWinControl::IsScrollBarVisible(int Bar) const {
    if (Bar != SB_HORZ && Bar != SB_VERT) return false;
    return FWindow->BarVisible(Bar);
}

bool TWinControl::IsScrollBarEnabled(int Bar) const {
    if (Bar != SB_HORZ && Bar != SB_VERT) return false;
    return FWindow->BarEnabled(Bar);
}

bool TWinControl::SetTimer(uintptr_t Id, UINT Milliseconds) {
    HandleNeeded();
    TWinControlPrivate& p = *FWindow;
    if (!p.Bridge) return false;
    if (auto it = p.Timers.find(Id); it != p.Timers.end()) {
        if (it->second) p.Bridge->killTimer(it->second);
        StopManualTimer(this, Id);
        p.Timers.erase(it);
    }
    if (ManualTimerClockActive()) {
        // No Qt timer: the test's clock fires it.
        QPointer<TWindowBridge> bridge = p.Bridge;
        StartManualTimer(this, Id, Milliseconds, [bridge, Id] {
            TMessage m{WM_TIMER, Id, 0, 0};
            if (bridge && bridge->P) bridge->Dispatch(m);
        });
        p.Timers[Id] = 0;
        return true;
    }
    int qt = p.Bridge->startTimer(int(std::max<UINT>(Milliseconds, 1)), Qt::PreciseTimer);
    if (qt == 0) return false;
    p.Timers[Id] = qt;
    return true;
}

bool TWinControl::KillTimer(uintptr_t Id) {
    TWinControlPrivate& p = *FWindow;
    auto it = p.Timers.find(Id);
    if (it == p.Timers.end()) return false;
    if (p.Bridge && it->second) p.Bridge->killTimer(it->second);
    StopManualTimer(this, Id);
    p.Timers.erase(it);
    return true;
}

bool TWinControl::IsTimerActive(uintptr_t Id) const {
    return FWindow->Timers.count(Id) != 0;
}

void TWinControl::SetWindowRgn(const TRegion* Region, bool Redraw) {
    TWinControlPrivate& p = *FWindow;
    if (Region)
        p.Shape = *Region;
    else
        p.Shape.reset();
    p.ApplyShape();
    if (Redraw && p.Frame) p.Frame->update();
}

const TRegion* TWinControl::GetWindowRgn() const {
    return FWindow->Shape ? &*FWindow->Shape : nullptr;
}

// ---------------------------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::GetCanvas() {
    if (FPaintCanvas) return FPaintCanvas;
    if (!FOutsideCanvas) {
        // Starts with the control's font and then keeps what it is given (measuring with other fonts).
        FOutsideCanvas = std::make_unique<TCanvas>();
        FOutsideCanvas->SetFont(*FFont);
    }
    TWinControlPrivate& p = *FWindow;
    if (p.Client && !p.Native) {
        p.EnsurePixels();
        if (!FOutsideCanvas->HandleAllocated()) {
            QPointer<QWidget> client = p.Client;
            TCanvasSurfaceHooks hooks;
            hooks.AfterChange = [client] {
                if (client) client->update();
            };
            AttachCanvas(*FOutsideCanvas, &p.Pixels, nullptr, std::move(hooks));
        }
    }
    return FOutsideCanvas.get();
}

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(TCanvas* Canvas) {
    Paint();
    PaintControls(Canvas);
}
