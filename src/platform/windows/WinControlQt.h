#pragma once
// Private to platform code: the Qt widgets behind a windowed control.
//
// Every windowed control owns a frame widget (its whole window, non-client frame included) and a
// client widget inside it; the window's own scroll bars sit in the frame beside the client.
// Controls backed by a native editor (edit, memo, button) use that editor as both.
// A painted client keeps its pixels in an image: paint messages draw into the image, limited to
// the invalid region, and the widget only shows the image. So scrolling can move pixels, drawing
// outside a paint stays, and validation works as the component set expects.

#include <QEvent>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QScrollBar>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/CanvasQt.h"
#include "platform/graphics/Region.h"
#include "platform/runtime/ScopedChange.h"
#include "platform/windows/Controls.h"

class TWindowBridge;
class TControlCanvas;
class QMouseEvent;
class QWheelEvent;
class QKeyEvent;
class QPaintEvent;
class QInputMethodEvent;
class QDropEvent;

// A message posted to a window, delivered by the event loop.
class TPostedMessageEvent : public QEvent {
public:
    static QEvent::Type EventType();
    explicit TPostedMessageEvent(const TMessage& m) : QEvent(EventType()), Message(m) {}
    TMessage Message;
};

struct TWinControlPrivate {
    explicit TWinControlPrivate(TWinControl* control) : Control(control) {}
    TWinControl* Control;
    QPointer<QWidget> Frame;
    QPointer<QWidget> Client;
    QPointer<QScrollBar> Bars[2];
    QPointer<QWidget> SizeGrip;      // the corner between two visible bars
    TWindowBridge* Bridge = nullptr; // child of Frame
    TCreateParams Params;
    bool Native = false;
    QWidget* ParentWidget = nullptr; // where a native editor is created
    bool TopLevel = false;

    struct BarState {
        TScrollInfo Info;        // nMin, nMax, nPage, nPos
        bool Shown = false;      // wanted by the range (or DISABLENOSCROLL)
        bool ForcedShow = false; // ShowScrollBar(true)
        bool ForcedHide = false; // ShowScrollBar(false)
        bool DisableNoScroll = false;
        bool ArrowsEnabled = true;
        bool Tracking = false;
        int TrackPos = 0;
    } BarStates[2];
    bool UpdatingBars = false;
    bool AcceptFiles = false; // DragAcceptFiles

    QImage Pixels;   // client pixels of a painted window
    QRegion Invalid; // waiting for WM_PAINT
    bool EraseNeeded = false;
    bool InPaint = false;
    bool InPaintEvent = false;
    bool SettingGeometry = false;
    bool InBoundsChange = false; // SetBounds is applying new bounds
    int DispatchDepth = 0;       // Qt events being handled for this window now
    std::unique_ptr<TCanvas> PaintCanvas;
    std::map<uintptr_t, int> Timers; // id -> Qt timer id
    std::optional<TRegion> Shape;
    bool ShapeHidden = false; // hidden by an empty shape
    // The Qt event that is being turned into a message now, the widget it came to and that
    // message; null when a message came from code. A native editor's default handling of that
    // message is the editor's own handling of the event (RunNativeDefault), run at most once.
    QEvent* CurrentEvent = nullptr;
    QWidget* CurrentWidget = nullptr;
    const TMessage* CurrentMessage = nullptr;
    bool NativeRan = false;
    // Canvases bound to this window (TControlCanvas).
    std::vector<TControlCanvas*> ControlCanvases;
    // Wheel units not yet making a whole notch.
    int WheelRemainder = 0;
    // Double-click detection: the last press.
    int LastPressButton = 0;
    ulong LastPressTime = 0;
    QPoint LastPressPos;
    bool SwallowDblClick = false; // the native default ran for the current event
    bool ForwardingToNative = false;

    // Non-client margins: border (and caption of top-level forms).
    TRect NonClient() const;
    // The part of the non-client margins that the frame widget draws itself.
    TRect FrameBorder() const;
    bool BarVisible(int bar) const;
    bool BarEnabled(int bar) const;
    void ApplyShape();
    // Shows or hides the frame; an empty window shape keeps it hidden.
    void ShowFrame(bool Visible);
    void LayoutFrame();
    void UpdateBarWidgets();
    void EnsurePixels();
    // Paints the invalid region into the image now (WM_ERASEBKGND, WM_PAINT).
    void PaintInvalid();
    void AddInvalid(const QRegion& r);
};

// Receives the Qt events of a control's widgets and turns them into messages: one handler per
// kind of event, each returning whether Qt's own handling is to be skipped.
class TWindowBridge : public QObject {
public:
    TWindowBridge(TWinControlPrivate* owner, QObject* parent) : QObject(parent), P(owner) {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void OnBarAction(int bar, int action);
    void OnBarReleased(int bar);
    // Sends a message to the control. Source and widget name the Qt event it was made from (then
    // a native editor's default handling runs that event). False when the control's window went
    // away in a handler: nothing of this bridge may be touched then.
    struct TDispatched {
        bool Alive = false;
        bool NativeRan = false;
    };
    TDispatched Dispatch(TMessage& m, QEvent* source = nullptr, QWidget* widget = nullptr);
    // A mouse message at a client point; native: the event may be handed to the editor.
    bool DeliverMouse(UINT msg, QMouseEvent* me, QPoint clientPt, QWidget* widget);
    // A key message posted to this window, through the same dialog-key check as typed keys.
    void DeliverPostedKey(TMessage m);
    TWinControlPrivate* P;

protected:
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    bool OnPaint(QWidget* widget, QPaintEvent* pe);
    bool OnMouse(QWidget* widget, QMouseEvent* me);
    bool OnWheel(QWidget* widget, QWheelEvent* we);
    bool OnKey(QWidget* widget, QKeyEvent* ke);
    bool OnInputMethod(QWidget* widget, QInputMethodEvent* ie);
    bool OnFocus(QEvent* event);
    bool OnEnterLeave(QEvent* event);
    // Local files dragged over or dropped on a window that accepts them.
    bool OnDrop(QDropEvent* event);
    // The message of a mouse event (0: none); Swallow when it repeats a press already reported.
    UINT MouseMessageOf(QMouseEvent* me, bool& Swallow);
    // The cursor and the hint follow the control under the pointer.
    void FollowPointer(QPoint clientPt);
    // Tab, unless the control asks for it, goes to the form before the control sees it; true
    // when the form took it (or the control went away).
    bool TakenAsDialogKey(Word vk);
    // A key pressed with its modifiers that is one of the form's shortcuts runs it before the
    // control sees the key; true when a shortcut took it.
    bool TakenAsShortCut(Word vk);
};

// A native editor's default handling of the message made from the current Qt event: the editor
// handles that event now. False when the message is not that one or the editor already had it.
bool RunNativeDefault(TWinControlPrivate& p, const TMessage& m);
// Binds the window's control canvases to what is painted now (a paint), or back to the kept
// pixels (custom controls) or to nothing (native editors) when surface is null.
void BindControlCanvases(TWinControlPrivate& p, QImage* image, const QRegion* limit);
void BindControlCanvases(TWinControlPrivate& p, QPainter* painter);

// The painted client area: shows the kept pixels.
class TClientWidget : public QWidget {
public:
    TClientWidget(TWinControlPrivate* owner, QWidget* parent);
    TWinControlPrivate* P;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The frame: paints the non-client border.
class TFrameWidget : public QWidget {
public:
    TFrameWidget(TWinControlPrivate* owner, QWidget* parent, Qt::WindowFlags flags);
    TWinControlPrivate* P;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// Every control that has a window now.
std::vector<TWinControl*> AllWindows();

// The windowed control that owns a widget (frame, client or native editor), or null.
TWinControl* ControlOfWidget(const QWidget* w);
QWidget* ClientWidgetOf(TWinControl* c);
QWidget* FrameWidgetOf(TWinControl* c);

// Shift state and virtual keys from Qt.
TShiftState ShiftFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b);
Word VirtualKeyFromQt(int key);
int QtKeyFromVirtualKey(Word vk);
// Records the modifiers of the last input event (for GetKeyState).
void NoteModifiers(Qt::KeyboardModifiers m, Qt::MouseButtons b);

// Runs f; an exception is shown by the application and does not reach Qt.
template <typename F> void GuardedCall(TObject* sender, F&& f);
void HandleGuardedException(TObject* sender);
template <typename F> void GuardedCall(TObject* sender, F&& f) {
    try {
        f();
    } catch (...) {
        HandleGuardedException(sender);
    }
}

// The Qt cursor for a control cursor number (stock or registered).
class QCursor;
QCursor CursorToQt(TCursor cursor);
