#pragma once
// Controls: TControl (bounds, alignment, anchors, constraints, font, color, caption, hints,
// cursor, mouse events), TWinControl (a window of its own with children, focus, tab order,
// scroll bars, timers and the window services), TCustomControl (a window with its own canvas
// and a virtual Paint) and TGraphicControl (no window; paints on its parent's canvas).
//
// Input reaches a control as window messages (Messages.h): Perform sends one through
// WindowProc, which starts as WndProc; WndProc hands each message to its virtual handler
// (WMPaint, WMKeyDown, CMMouseEnter, ...), and a handler that is not overridden ends in
// DefaultHandler. Handlers call the overridable dispatchers (MouseDown, KeyDown, Paint, ...),
// and those raise the OnX events. For a control backed by a native editor, DefaultHandler of an
// input or paint message made from a window-system event is the editor's own handling of that
// event: code after the inherited call runs after the editor's handling.
//
// Keys: Tab (without Ctrl) is a dialog key: unless WM_GETDLGCODE answers DLGC_WANTTAB or
// DLGC_WANTALLKEYS, the form moves the focus (backwards with Shift) before the control or a
// previewing form sees the key. Typed and posted keys go this way; keys sent with Perform or
// SendMessage go straight to the control. Characters composed by an input method arrive as WM_CHAR.
//
// WM_SIZE carries the new client size in LParam; it comes after SetBounds and whenever the client
// area changes because the window's own scroll bar appears or disappears.
//
// Painting follows the invalidate-then-paint model: Invalidate and InvalidateRect only mark a
// region; the paint comes later (or at once with Update) and runs Paint with the canvas clipped
// to the invalid region. A custom control keeps its client pixels, so ScrollWindowEx moves the
// pixels already painted and marks only the uncovered strip invalid, and drawing on the canvas
// outside Paint (inverted drag feedback) stays until that area is painted again.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/Component.h"
#include "platform/windows/GraphicsBase.h"
#include "platform/windows/Messages.h"

class TControl;
class TWinControl;
class TCustomForm;
class TForm;
class TAccessible;

// A window handle is the windowed control itself; null when there is none.
using HWND = TWinControl*;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TFormBorderStyle = TBorderStyle;

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoStdEvents,
    csReplicatable,
    csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csCustomPaint,
    csDestroyingHandle
};
using TControlState = TSet<TControlStateItem>;

// Cursors (TCursor): negative numbers are the stock cursors, positive ones are registered in
// Screen->Cursors.
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// Window styles read by CreateParams.
constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t WS_CHILD = 0x40000000u;
constexpr uint32_t WS_VISIBLE = 0x10000000u;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000u;
constexpr uint32_t WS_BORDER = 0x00800000u;
constexpr uint32_t WS_VSCROLL = 0x00200000u;
constexpr uint32_t WS_HSCROLL = 0x00100000u;
constexpr uint32_t WS_GROUP = 0x00020000u;
constexpr uint32_t WS_TABSTOP = 0x00010000u;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008u;
constexpr uint32_t WS_EX_TRANSPARENT = 0x00000020u;
constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080u;
constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200u;
constexpr uint32_t WS_EX_STATICEDGE = 0x00020000u;
constexpr uint32_t CS_VREDRAW = 0x0001u;
constexpr uint32_t CS_HREDRAW = 0x0002u;
constexpr uint32_t CS_DBLCLKS = 0x0008u;
constexpr uint32_t CS_SAVEBITS = 0x0800u;

struct TCreateParams {
    uint32_t Style = 0;
    uint32_t ExStyle = 0;
    uint32_t WindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
};

// Scroll bar information, as the platform's SCROLLINFO.
constexpr UINT SIF_RANGE = 0x1;
constexpr UINT SIF_PAGE = 0x2;
constexpr UINT SIF_POS = 0x4;
constexpr UINT SIF_DISABLENOSCROLL = 0x8;
constexpr UINT SIF_TRACKPOS = 0x10;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
struct TScrollInfo {
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};
constexpr UINT ESB_ENABLE_BOTH = 0;
constexpr UINT ESB_DISABLE_BOTH = 3;

// ScrollWindowEx flags.
constexpr UINT SW_SCROLLCHILDREN = 0x1;
constexpr UINT SW_INVALIDATE = 0x2;
constexpr UINT SW_ERASE = 0x4;

// RedrawWindow flags.
constexpr UINT RDW_INVALIDATE = 0x1;
constexpr UINT RDW_ERASE = 0x4;
constexpr UINT RDW_VALIDATE = 0x8;
constexpr UINT RDW_FRAME = 0x400;
constexpr UINT RDW_NOCHILDREN = 0x40;
constexpr UINT RDW_UPDATENOW = 0x100;

// System metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
int GetSystemMetrics(int Index);

// Keeps a control's size within limits; 0 means no limit.
class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* AControl) : FControl(AControl) {}
    int GetMinWidth() const { return FMinWidth; }
    int GetMinHeight() const { return FMinHeight; }
    int GetMaxWidth() const { return FMaxWidth; }
    int GetMaxHeight() const { return FMaxHeight; }
    void SetMinWidth(int v);
    void SetMinHeight(int v);
    void SetMaxWidth(int v);
    void SetMaxHeight(int v);
    void Assign(const TPersistent* Source) override;
    // Applies the limits to a proposed size.
    void Constrain(int& Width, int& Height) const;
    TNotifyEvent OnChange;

private:
    void Changed();
    TControl* FControl;
    int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, WideChar& Key)>;
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Messages.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    void Perform(TMessage& Message) { WindowProc(Message); }
    // Replaceable, to watch or filter another control's messages; restore the saved value to unhook.
    std::function<void(TMessage&)> WindowProc;
    virtual void WndProc(TMessage& Message);
    // Where unhandled messages end: the platform's default processing.
    virtual void DefaultHandler(TMessage& Message);

    // Parent and geometry.
    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    // Applies constraints, then moves; raises OnResize and realigns children when the size changed.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect GetBoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect GetClientRect() const;
    int GetClientWidth() const { return GetClientRect().Width(); }
    int GetClientHeight() const { return GetClientRect().Height(); }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    // Screen position of the client origin.
    virtual TPoint GetClientOrigin() const;
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;
    // Client point of this control to the client coordinates of its parent.
    TPoint ClientToParent(const TPoint& P, TWinControl* AParent = nullptr) const;

    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors GetAnchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* GetConstraints() const { return FConstraints.get(); }
    void SetConstraints(const TSizeConstraints* Value) { FConstraints->Assign(Value); }

    bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent visible.
    bool IsShowing() const;
    bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    // Enabled and every parent enabled.
    bool IsEnabledInTree() const;

    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value);
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    // Caption and Text are the same string.
    WideString GetText() const { return GetTextValue(); }
    void SetText(const WideString& Value);
    WideString GetCaption() const { return GetText(); }
    void SetCaption(const WideString& Value) { SetText(Value); }

    const WideString& GetHint() const { return FHint; }
    void SetHint(const WideString& Value) { FHint = Value; }
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    TControlStyle GetControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle v) { FControlStyle = v; }
    TControlState GetControlState() const { return FControlState; }
    void SetControlState(TControlState v) { FControlState = v; }

    // Painting requests.
    virtual void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    // Invalidate and Update.
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    // The form this control sits on, or null.
    TCustomForm* GetParentForm() const;
    bool HasParent() const { return FParent != nullptr; }

    // Dispatchers, overridable.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Raises OnMouseWheel with the wheel's units; unless it is handled, the units add up and each
    // whole notch (120) calls DoMouseWheelDown or DoMouseWheelUp. True when handled.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void Resize();
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);

    bool GetAutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;

    // Message handlers; overrides call the base to keep the default behaviour.
    virtual void WMPaint(TMessage& Message);
    virtual void WMEraseBkgnd(TMessage& Message);
    virtual void WMNCPaint(TMessage& Message);
    virtual void WMSize(TMessage& Message);
    virtual void WMMove(TMessage& Message);
    virtual void WMWindowPosChanged(TMessage& Message);
    virtual void WMMouseDown(TMessage& Message); // the three buttons, single and double
    virtual void WMMouseMove(TMessage& Message);
    virtual void WMMouseUp(TMessage& Message);
    virtual void WMMouseWheel(TMessage& Message);
    virtual void WMSetCursor(TMessage& Message);
    virtual void WMCaptureChanged(TMessage& Message);
    virtual void WMThemeChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMParentShowHintChanged(TMessage& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMHintShow(TMessage& Message);

    // The effective hint switch (ParentShowHint followed up the parents).
    bool EffectiveShowHint() const { return FShowHint; }
    // What assistive technology is told about this control (Accessibility.h); the platform calls
    // it once, on the first request, and keeps the result while the control lives.
    virtual std::unique_ptr<TAccessible> CreateAccessible();

protected:
    friend class TWinControl;
    friend struct TWinControlPrivate;
    virtual WideString GetTextValue() const { return FText; }
    virtual void SetTextValue(const WideString& Value);
    // Called after the bounds changed, before OnResize; windowed controls move their window.
    virtual void BoundsChanged(bool Moved, bool Sized);
    virtual void VisibleChanging() {}
    void RequestAlign();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void AdjustSize();

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    // Distances kept for anchoring, from the parent's client size at the last alignment.
    int FAnchorRight = -1, FAnchorBottom = -1;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FVisible = true;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    TColor FColor;
    bool FParentColor = true;
    WideString FText;
    WideString FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    bool FAutoSize = false;
    bool FMouseInControl = false;
    int FFontChangeGuard = 0;
    int FWheelAccumulator = 0; // wheel units short of a whole notch
};

// A control without a window: it paints on its parent's canvas during the parent's paint, and
// its parent hands it the mouse messages that land on it.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    // Valid during Paint: the parent's canvas with the origin moved to this control.
    TCanvas* GetCanvas() const;
    void Invalidate() override;
    void Update() override;

protected:
    virtual void Paint() {}
    void WMPaint(TMessage& Message) override;

private:
    friend class TWinControl;
    TCanvas* FCanvas = nullptr;
    mutable std::unique_ptr<TCanvas> FMeasureCanvas;
};

struct TWinControlPrivate;

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // Children.
    int GetControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* GetControl(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The visible child at a client point (graphic controls too when AllowDisabled / windowed as asked).
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false) const;

    // Alignment of children.
    virtual void AdjustClientRect(TRect& Rect);
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    virtual void AlignControls(TControl* AControl, TRect& Rect);

    // Focus and tab order.
    int GetTabOrder() const;
    void SetTabOrder(int Value);
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    // Whether files dragged from the desktop may be dropped here; a drop sends WM_DROPFILES.
    void DragAcceptFiles(bool Accept);
    bool GetAcceptFiles() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    // Tab order of the children that can take focus, in order.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    // The window.
    bool HandleAllocated() const;
    void HandleNeeded();
    HWND GetHandle();
    // Applies changed creation parameters (styles, border) to the window, keeping its content. A
    // native editor gets a new editor built from CreateParams, CreateNativeWindow and CreateWnd,
    // with its text (and focus) carried over; so does one moved to another parent.
    void RecreateWnd();

    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    bool GetCtl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    bool GetParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
    bool GetDoubleBuffered() const { return true; }

    TRect GetClientRect() const override;
    TPoint GetClientOrigin() const override;

    // Window services.
    void InvalidateRect(const TRect* R, bool Erase = false);
    void ValidateRect(const TRect* R);
    // The part of the client area still waiting to be painted, as its bounding rectangle.
    TRect GetUpdateRect() const;
    bool HasPendingPaint() const;
    void RedrawWindow(const TRect* R, UINT Flags);
    // Moves the client pixels by (DX, DY) inside Clip (the whole client when null); with
    // SW_INVALIDATE the uncovered part is invalidated. Children do not move.
    void ScrollWindowEx(int DX, int DY, const TRect* Scroll, const TRect* Clip, UINT Flags);
    int SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw);
    bool GetScrollInfo(int Bar, TScrollInfo& Info) const;
    int GetScrollPos(int Bar) const;
    bool ShowScrollBar(int Bar, bool Show);
    bool EnableScrollBar(int Bar, UINT Arrows);
    bool IsScrollBarVisible(int Bar) const;
    bool IsScrollBarEnabled(int Bar) const;
    // Millisecond timers by id: WM_TIMER with WParam = id. Setting an existing id restarts it.
    // While a TManualTimerClock exists, new timers run on that clock (TimerClock.h).
    bool SetTimer(uintptr_t Id, UINT Milliseconds);
    bool KillTimer(uintptr_t Id);
    bool IsTimerActive(uintptr_t Id) const;
    // Shapes the window (popups: polygon or ellipse regions); null restores the rectangle. An empty
    // region hides the window (GetVisible stays true) until a non-empty shape is set.
    void SetWindowRgn(const TRegion* Region, bool Redraw = true);
    // The window's shape, null when it is a plain rectangle.
    const TRegion* GetWindowRgn() const;
    // Top-level windows only: keeps the window above the others.
    bool IsTopLevelWindow() const;

    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void SetVisible(bool Value) override;
    void SetEnabled(bool Value) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(WideChar& Key);
    virtual void DoEnter();
    virtual void DoExit();

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    virtual void WMKeyDown(TMessage& Message);
    virtual void WMKeyUp(TMessage& Message);
    virtual void WMChar(TMessage& Message);
    virtual void WMSetFocus(TMessage& Message);
    virtual void WMKillFocus(TMessage& Message);
    // Files dropped on the window (after DragAcceptFiles(true)); nothing here.
    virtual void WMDropFiles(TMessage& Message);
    virtual void WMTimer(TMessage& Message);
    virtual void WMHScroll(TMessage& Message);
    virtual void WMVScroll(TMessage& Message);
    virtual void WMGetDlgCode(TMessage& Message);
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    virtual void CMDialogKey(TMessage& Message);
    void WMPaint(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;

    // Valid inside a paint: the canvas over the client area, clipped to the invalid region.
    // During WM_NCPAINT: a canvas over the whole window (window coordinates).
    TCanvas* GetPaintCanvas() const;
    // The platform side of the window (opaque outside the platform layer).
    TWinControlPrivate* GetWindowPrivate() const { return FWindow.get(); }

protected:
    friend struct TWinControlPrivate;
    friend class TWindowBridge;
    friend class TFrameWidget;
    friend class TClientWidget;
    friend class TGraphicControl;
    friend class TControl;
    virtual void CreateParams(TCreateParams& Params);
    // Runs after the window exists.
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Controls backed by a native editor return true; they paint themselves.
    virtual bool IsNativeWindow() const { return false; }
    // Paints the window's own content (custom controls call Paint here) and then the graphic children.
    virtual void PaintWindow(TCanvas* Canvas);
    void PaintControls(TCanvas* Canvas);
    // Restacks a windowed child after BringToFront / SendToBack.
    void ControlZOrderChanged(TControl* AControl, bool ToFront);
    // Native editors create their widgets here (they set the frame and client of FWindow).
    virtual void CreateNativeWindow() {}
    void BoundsChanged(bool Moved, bool Sized) override;
    void SetTextValue(const WideString& Value) override;
    void Loaded() override;

    std::unique_ptr<TWinControlPrivate> FWindow;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    TBorderStyle FBorderStyle = bsNone;
    int FBorderWidth = 0;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    int FAlignLevel = 0;
    bool FAligning = false;
    TControl* FMouseControl = nullptr;   // graphic child under the pointer
    TControl* FCaptureControl = nullptr; // graphic child holding the pointer during a press
    TCanvas* FPaintCanvas = nullptr;
};

// A windowed control with a canvas of its own and a virtual Paint.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    // Inside Paint: clipped to the invalid region. Elsewhere: draws straight onto the kept client
    // pixels (for transient inverted feedback), shown at the next refresh of the screen.
    TCanvas* GetCanvas();

protected:
    virtual void Paint();
    void PaintWindow(TCanvas* Canvas) override;

private:
    std::unique_ptr<TCanvas> FOutsideCanvas;
};

// Window functions.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Queued; delivered by the message loop, dropped when the window is gone.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
HWND SetCapture(HWND Wnd);
bool ReleaseCapture();
HWND GetCapture();
HWND GetFocus();
HWND SetFocus(HWND Wnd);
TPoint GetCursorPos();
// Moves the pointer (tests and drags).
void SetCursorPos(int X, int Y);
// The control holding the pointer capture, graphic controls included.
TControl* GetCaptureControl();
// Takes the capture, also from another window that holds it (which gets WM_CAPTURECHANGED); the
// moves and the release then reach the new holder wherever the pointer is, whichever widget the
// press went to. A press on a control with csCaptureMouse captures this way.
void SetCaptureControl(TControl* Control);
// The windowed control whose window is at a screen point, or null.
TWinControl* FindVCLWindow(const TPoint& Pos);
TWinControl* FindControl(HWND Handle);
