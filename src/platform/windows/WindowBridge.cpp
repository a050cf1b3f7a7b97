// The Qt side of windowed controls: creating the widgets, painting the kept pixels and turning
// Qt events into window messages.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyleHints>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/runtime/FileSystem.h"
#include "platform/windows/AccessibilityQt.h"
#include "platform/windows/ControlCanvas.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TimerClock.h"
#include "platform/windows/WinControlQt.h"

namespace {
constexpr int kScrollBarSize = 17;
constexpr int kWheelDelta = 120;

// What the bridge keeps between events, for all windows.
struct TBridgeState {
    std::unordered_map<const QWidget*, TWinControl*> Widgets; // frames, clients, editor viewports
    QPointer<QWidget> GrabWidget;                             // the widget holding the pointer grab
    TWinControl* GrabControl = nullptr;                       // the window holding the capture
    TShiftState Shift;                                        // modifiers and buttons of the last input
    TShiftState PostedModifiers; // posted modifier key-downs, for the next posted key
    TPoint CursorPos;            // screen position of the last mouse event
    bool AppStateHooked = false;
    // The key event a native editor is handling as its default: one it leaves unused must not
    // travel on to the parent windows, which never get another window's keys.
    const QEvent* NativeKey = nullptr;
};

TBridgeState& State() {
    static TBridgeState state;
    return state;
}

WPARAM MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
    WPARAM k = 0;
    if (b & Qt::LeftButton) k |= MK_LBUTTON;
    if (b & Qt::RightButton) k |= MK_RBUTTON;
    if (b & Qt::MiddleButton) k |= MK_MBUTTON;
    if (m & Qt::ShiftModifier) k |= MK_SHIFT;
    if (m & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

// Whether a control (or one of its ancestors) is handling a Qt event right now; its widgets are
// then deleted later rather than from under the running handler.
bool InDispatch(TWinControlPrivate* p) {
    return p->DispatchDepth > 0;
}

std::optional<TShiftStateItem> ModifierOfKey(Word vk) {
    switch (vk) {
    case VK_SHIFT:
        return ssShift;
    case VK_CONTROL:
        return ssCtrl;
    case VK_MENU:
        return ssAlt;
    default:
        return std::nullopt;
    }
}

// The application gaining or losing the focus reaches every window, then the application.
void ApplicationStateChanged(Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive && state != Qt::ApplicationInactive) return;
    bool active = state == Qt::ApplicationActive;
    for (TWinControl* w : AllWindows())
        GuardedCall(w, [&] { w->Perform(WM_ACTIVATEAPP, active ? 1 : 0); });
    TApplication* app = Application;
    GuardedCall(app, [&] { app->ActiveChanged(active); });
}

void HookApplicationState() {
    if (State().AppStateHooked || !qApp) return;
    State().AppStateHooked = true;
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp, &ApplicationStateChanged);
}
} // namespace

QEvent::Type TPostedMessageEvent::EventType() {
    static const QEvent::Type t = QEvent::Type(QEvent::registerEventType());
    return t;
}

TWinControl* ControlOfWidget(const QWidget* w) {
    auto it = State().Widgets.find(w);
    return it == State().Widgets.end() ? nullptr : it->second;
}
std::vector<TWinControl*> AllWindows() {
    std::vector<TWinControl*> out;
    for (auto& [w, c] : State().Widgets)
        if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    return out;
}

QWidget* ClientWidgetOf(TWinControl* c) {
    return c ? c->GetWindowPrivate()->Client.data() : nullptr;
}
QWidget* FrameWidgetOf(TWinControl* c) {
    return c ? c->GetWindowPrivate()->Frame.data() : nullptr;
}

void HandleGuardedException(TObject* sender) {
    Application->HandleException(sender);
}

// ---------------------------------------------------------------------------------------------
// Shift state and keys

void NoteModifiers(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    TShiftState s;
    if (m & Qt::ShiftModifier) s.Include(ssShift);
    if (m & Qt::ControlModifier) s.Include(ssCtrl);
    if (m & Qt::AltModifier) s.Include(ssAlt);
    if (b & Qt::LeftButton) s.Include(ssLeft);
    if (b & Qt::RightButton) s.Include(ssRight);
    if (b & Qt::MiddleButton) s.Include(ssMiddle);
    State().Shift = s;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    NoteModifiers(m, b);
    return State().Shift;
}

TShiftState GetKeyShiftState() {
    const TShiftState& held = State().Shift;
    TShiftState s;
    if (held.Contains(ssShift)) s.Include(ssShift);
    if (held.Contains(ssCtrl)) s.Include(ssCtrl);
    if (held.Contains(ssAlt)) s.Include(ssAlt);
    return s;
}

int16_t GetKeyState(int vk) {
    const TShiftState& held = State().Shift;
    bool down = false;
    switch (vk) {
    case VK_SHIFT:
        down = held.Contains(ssShift);
        break;
    case VK_CONTROL:
        down = held.Contains(ssCtrl);
        break;
    case VK_MENU:
        down = held.Contains(ssAlt);
        break;
    case VK_LBUTTON:
        down = held.Contains(ssLeft);
        break;
    case VK_RBUTTON:
        down = held.Contains(ssRight);
        break;
    case VK_MBUTTON:
        down = held.Contains(ssMiddle);
        break;
    default:
        break;
    }
    return down ? int16_t(0x8000) : 0;
}

Word VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return Word(0x41 + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return Word(0x30 + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return Word(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Asterisk:
        return VK_MULTIPLY;
    case Qt::Key_Plus:
        return VK_ADD;
    case Qt::Key_Minus:
        return VK_SUBTRACT;
    case Qt::Key_Slash:
        return VK_DIVIDE;
    default:
        return 0;
    }
}

int QtKeyFromVirtualKey(Word vk) {
    if (vk >= 0x41 && vk <= 0x5A) return Qt::Key_A + (vk - 0x41);
    if (vk >= 0x30 && vk <= 0x39) return Qt::Key_0 + (vk - 0x30);
    if (vk >= VK_F1 && vk <= VK_F1 + 23) return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
    case VK_BACK:
        return Qt::Key_Backspace;
    case VK_TAB:
        return Qt::Key_Tab;
    case VK_RETURN:
        return Qt::Key_Return;
    case VK_SHIFT:
        return Qt::Key_Shift;
    case VK_CONTROL:
        return Qt::Key_Control;
    case VK_MENU:
        return Qt::Key_Alt;
    case VK_ESCAPE:
        return Qt::Key_Escape;
    case VK_SPACE:
        return Qt::Key_Space;
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
    case VK_END:
        return Qt::Key_End;
    case VK_HOME:
        return Qt::Key_Home;
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_UP:
        return Qt::Key_Up;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_DOWN:
        return Qt::Key_Down;
    case VK_INSERT:
        return Qt::Key_Insert;
    case VK_DELETE:
        return Qt::Key_Delete;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// TWinControlPrivate

TRect TWinControlPrivate::FrameBorder() const {
    int b = 0;
    if (Params.ExStyle & WS_EX_CLIENTEDGE) b += 2;
    if (Params.ExStyle & WS_EX_STATICEDGE) b += 1;
    if (Params.Style & WS_BORDER) b += 1;
    return {b, b, b, b};
}

TRect TWinControlPrivate::NonClient() const {
    TRect r = FrameBorder();
    if (auto* form = dynamic_cast<const TCustomForm*>(Control)) {
        switch (form->GetBorderStyle()) {
        case bsNone:
            break;
        case bsToolWindow:
        case bsSizeToolWin:
            r = {r.Left + 4, r.Top + 22, r.Right + 4, r.Bottom + 4};
            break;
        case bsSingle:
        case bsDialog:
            r = {r.Left + 3, r.Top + 25, r.Right + 3, r.Bottom + 3};
            break;
        default:
            r = {r.Left + 8, r.Top + 30, r.Right + 8, r.Bottom + 8};
            break;
        }
    }
    return r;
}

bool TWinControlPrivate::BarVisible(int bar) const {
    const auto& s = BarStates[bar];
    if (s.ForcedHide) return false;
    return s.Shown || s.ForcedShow;
}

bool TWinControlPrivate::BarEnabled(int bar) const {
    const auto& s = BarStates[bar];
    bool needed = s.Info.nMax > s.Info.nMin && int(s.Info.nPage) <= s.Info.nMax - s.Info.nMin;
    return s.ArrowsEnabled && needed && Control->IsEnabledInTree();
}

void TWinControlPrivate::LayoutFrame() {
    if (!Frame || Native) return;
    TRect b = FrameBorder();
    QRect inner = Frame->rect().adjusted(b.Left, b.Top, -b.Right, -b.Bottom);
    bool v = BarVisible(SB_VERT), h = BarVisible(SB_HORZ);
    QRect client = inner;
    if (v) client.setRight(client.right() - kScrollBarSize);
    if (h) client.setBottom(client.bottom() - kScrollBarSize);
    if (client.width() < 0) client.setWidth(0);
    if (client.height() < 0) client.setHeight(0);
    if (Bars[SB_VERT]) {
        Bars[SB_VERT]->setGeometry(client.right() + 1, inner.top(), kScrollBarSize, client.height());
        Bars[SB_VERT]->setVisible(v);
    }
    if (Bars[SB_HORZ]) {
        Bars[SB_HORZ]->setGeometry(inner.left(), client.bottom() + 1, client.width(), kScrollBarSize);
        Bars[SB_HORZ]->setVisible(h);
    }
    if (SizeGrip) {
        SizeGrip->setGeometry(client.right() + 1, client.bottom() + 1, kScrollBarSize, kScrollBarSize);
        SizeGrip->setVisible(v && h);
    }
    if (Client && Client->geometry() != client) {
        bool sized = Client->size() != client.size();
        Client->setGeometry(client);
        EnsurePixels();
        Control->Realign();
        // A scroll bar came or went: the control learns its new client size.
        if (sized && !InBoundsChange)
            Control->Perform(WM_SIZE, 0, MakeLParam(client.width(), client.height()));
    }
}

void TWinControlPrivate::UpdateBarWidgets() {
    if (UpdatingBars) return;
    UpdatingBars = true;
    bool layout = false;
    for (int bar = 0; bar < 2; ++bar) {
        QScrollBar* sb = Bars[bar];
        if (!sb) continue;
        const auto& s = BarStates[bar];
        QSignalBlocker block(sb);
        int page = s.Info.nPage > 0 ? int(s.Info.nPage) : 1;
        sb->setRange(s.Info.nMin, std::max(s.Info.nMin, s.Info.nMax - page + 1));
        sb->setPageStep(page);
        sb->setSingleStep(1);
        if (!s.Tracking) sb->setValue(s.Info.nPos);
        sb->setEnabled(BarEnabled(bar));
        if (sb->isVisibleTo(Frame) != BarVisible(bar)) layout = true;
    }
    UpdatingBars = false;
    if (layout) LayoutFrame();
}

void TWinControlPrivate::EnsurePixels() {
    if (!Client || Native) return;
    QSize size = Client->size();
    // On a scaled screen the pixels are kept at the device's resolution, so text, lines and
    // pictures are drawn sharp rather than enlarged afterwards; coordinates stay logical.
    qreal ratio = Client->devicePixelRatioF();
    QSize device(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
    if (Pixels.size() == device && Pixels.devicePixelRatio() == ratio) return;
    QImage old = Pixels;
    QImage fresh(device.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(ColorToQt(Control->GetColor()));
    bool kept = !old.isNull() && old.devicePixelRatio() == ratio;
    if (kept) {
        QPainter p(&fresh);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, old);
    }
    if (!kept) old = QImage();
    Pixels = fresh;
    QRegion all(QRect(QPoint(0, 0), size));
    bool redrawAll = old.isNull() || (Params.WindowClassStyle & (CS_HREDRAW | CS_VREDRAW));
    if (redrawAll) {
        Invalid = all;
        EraseNeeded = true;
    } else {
        // Only what the new size uncovers.
        QRegion keptArea(QRect(QPoint(0, 0), old.deviceIndependentSize().toSize()));
        Invalid = Invalid.intersected(all) + (all - keptArea);
        if (!(all - keptArea).isEmpty()) EraseNeeded = true;
    }
    Client->update();
}

void TWinControlPrivate::AddInvalid(const QRegion& r) {
    if (!Client) return;
    Invalid += r;
    Client->update(r.boundingRect());
}

void TWinControlPrivate::PaintInvalid() {
    if (!Client || Native || InPaint) return;
    EnsurePixels();
    QRegion region = Invalid.intersected(QRect(QPoint(0, 0), Pixels.deviceIndependentSize().toSize()));
    Invalid = QRegion();
    if (region.isEmpty()) return;
    bool erase = EraseNeeded;
    EraseNeeded = false;
    if (!PaintCanvas) PaintCanvas = std::make_unique<TCanvas>();
    TCanvas& canvas = *PaintCanvas;
    TScopedChange inPaint(InPaint, true);
    AttachCanvas(canvas, &Pixels, &region);
    canvas.SetFont(*Control->GetFont());
    canvas.GetBrush()->SetColor(Control->GetColor());
    canvas.GetPen()->SetColor(clBlack);
    TScopedChange paintCanvas(Control->FPaintCanvas, &canvas);
    struct TUnbind {
        TWinControlPrivate* p;
        TCanvas& canvas;
        ~TUnbind() {
            DetachCanvas(canvas);
            BindControlCanvases(*p, static_cast<QImage*>(nullptr), nullptr);
        }
    } unbind{this, canvas};
    BindControlCanvases(*this, &Pixels, &region);
    if (erase) {
        Control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas));
        AttachCanvas(canvas, &Pixels, &region);
        canvas.SetFont(*Control->GetFont());
        canvas.GetBrush()->SetColor(Control->GetColor());
        BindControlCanvases(*this, &Pixels, &region);
    }
    Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&canvas));
    if (!InPaintEvent) Client->update(region.boundingRect());
}

void TWinControlPrivate::ApplyShape() {
    if (!Frame) return;
    // Qt takes an empty mask for no mask at all: a window shaped to nothing is hidden instead.
    bool empty = Shape && Shape->IsEmpty();
    if (Shape && !empty)
        Frame->setMask(RegionToQt(*Shape));
    else
        Frame->clearMask();
    if (empty)
        Frame->hide();
    else if (ShapeHidden && Control->GetVisible())
        Frame->show();
    ShapeHidden = empty;
}

void TWinControlPrivate::ShowFrame(bool Visible) {
    if (Frame) Frame->setVisible(Visible && !(Shape && Shape->IsEmpty()));
}

// ---------------------------------------------------------------------------------------------
// Widgets

TClientWidget::TClientWidget(TWinControlPrivate* owner, QWidget* parent) : QWidget(parent), P(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void TClientWidget::paintEvent(QPaintEvent* event) {
    if (P) {
        P->InPaintEvent = true;
        ++P->DispatchDepth;
        GuardedCall(P->Control, [&] { P->PaintInvalid(); });
        --P->DispatchDepth;
        P->InPaintEvent = false;
        QPainter painter(this);
        painter.setClipRegion(event->region());
        const QRect r = event->rect();
        const qreal ratio = P->Pixels.devicePixelRatio();
        painter.drawImage(QRectF(r), P->Pixels,
                          QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    }
}

TFrameWidget::TFrameWidget(TWinControlPrivate* owner, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), P(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFrameWidget::paintEvent(QPaintEvent*) {
    if (!P) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Behind the bars' corner and any gap.
    painter.fillRect(rect(), ColorToQt(clBtnFace));
    QRect r = rect();
    auto line = [&](int x1, int y1, int x2, int y2, TColor c) {
        painter.setPen(ColorToQt(c));
        painter.drawLine(x1, y1, x2, y2);
    };
    auto edge = [&](TColor topLeft, TColor bottomRight) {
        line(r.left(), r.top(), r.right() - 1, r.top(), topLeft);
        line(r.left(), r.top(), r.left(), r.bottom() - 1, topLeft);
        line(r.left(), r.bottom(), r.right(), r.bottom(), bottomRight);
        line(r.right(), r.top(), r.right(), r.bottom(), bottomRight);
        r.adjust(1, 1, -1, -1);
    };
    const TCreateParams& cp = P->Params;
    if (cp.Style & WS_BORDER) edge(clWindowFrame, clWindowFrame);
    if (cp.ExStyle & WS_EX_CLIENTEDGE) {
        edge(clBtnShadow, clBtnHighlight);
        edge(cl3DDkShadow, cl3DLight);
    }
    if (cp.ExStyle & WS_EX_STATICEDGE) edge(clBtnShadow, clBtnHighlight);
    // Descendants may draw over the frame on the non-client paint message.
    TCanvas canvas;
    TCanvasAttachment attach(canvas, &painter);
    TCanvas* saved = P->Control->FPaintCanvas;
    P->Control->FPaintCanvas = &canvas;
    ++P->DispatchDepth;
    GuardedCall(P->Control, [&] { P->Control->Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(&canvas)); });
    --P->DispatchDepth;
    P->Control->FPaintCanvas = saved;
}

void TFrameWidget::resizeEvent(QResizeEvent*) {
    if (!P) return;
    if (P->TopLevel && !P->SettingGeometry) {
        // The window system resized the window: the control follows.
        TRect m = P->NonClient(), b = P->FrameBorder();
        int w = width() + (m.Left - b.Left) + (m.Right - b.Right);
        int h = height() + (m.Top - b.Top) + (m.Bottom - b.Bottom);
        TWinControl* c = P->Control;
        ++P->DispatchDepth;
        GuardedCall(c, [&] { c->SetBounds(c->GetLeft(), c->GetTop(), w, h); });
        --P->DispatchDepth;
    }
    P->LayoutFrame();
}

void TFrameWidget::moveEvent(QMoveEvent*) {
    if (!P || !P->TopLevel || P->SettingGeometry) return;
    TRect m = P->NonClient(), b = P->FrameBorder();
    TWinControl* c = P->Control;
    int l = x() - (m.Left - b.Left), t = y() - (m.Top - b.Top);
    if (l != c->GetLeft() || t != c->GetTop()) {
        ++P->DispatchDepth;
        GuardedCall(c, [&] { c->SetBounds(l, t, c->GetWidth(), c->GetHeight()); });
        --P->DispatchDepth;
    }
}

void TFrameWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!P) return;
    if (auto* form = dynamic_cast<TCustomForm*>(P->Control)) {
        ++P->DispatchDepth;
        GuardedCall(form, [&] { form->Close(); });
        if (P) --P->DispatchDepth;
    }
}

// ---------------------------------------------------------------------------------------------
// Creating and destroying the window

void TWinControl::HandleNeeded() {
    TWinControlPrivate& p = *FWindow;
    if (p.Frame) return;
    if (FParent) FParent->HandleNeeded();
    TCreateParams params;
    CreateParams(params);
    p.Params = params;
    bool topLevel = !FParent || (params.Style & WS_POPUP) || dynamic_cast<TCustomForm*>(this);
    p.TopLevel = topLevel;
    QWidget* parentWidget = topLevel ? nullptr : ClientWidgetOf(FParent);
    if (IsNativeWindow()) {
        p.Native = true;
        p.ParentWidget = parentWidget;
        CreateNativeWindow();
        if (!p.Frame) p.Frame = p.Client;
    } else {
        Qt::WindowFlags flags = Qt::Widget;
        if (topLevel) {
            if (dynamic_cast<TCustomForm*>(this) && !(params.Style & WS_POPUP))
                flags = Qt::Window;
            else
                flags = Qt::ToolTip | Qt::FramelessWindowHint;
            if (params.ExStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
        }
        auto* frame = new TFrameWidget(&p, parentWidget, flags);
        if (topLevel && !(flags & Qt::Window)) frame->setAttribute(Qt::WA_ShowWithoutActivating);
        p.Frame = frame;
        p.Client = new TClientWidget(&p, frame);
        for (int bar = 0; bar < 2; ++bar) {
            auto* sb = new QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, frame);
            sb->setFocusPolicy(Qt::NoFocus);
            sb->hide();
            p.Bars[bar] = sb;
        }
        p.SizeGrip = new QWidget(frame);
        p.SizeGrip->setAutoFillBackground(true);
        p.SizeGrip->hide();
    }
    p.Bridge = new TWindowBridge(&p, p.Frame);
    for (int bar = 0; bar < 2; ++bar) {
        if (!p.Bars[bar]) continue;
        QObject::connect(p.Bars[bar].data(), &QAbstractSlider::actionTriggered, p.Bridge,
                         [b = p.Bridge, bar](int action) { b->OnBarAction(bar, action); });
        QObject::connect(p.Bars[bar].data(), &QAbstractSlider::sliderReleased, p.Bridge,
                         [b = p.Bridge, bar] { b->OnBarReleased(bar); });
    }
    HookApplicationState();
    State().Widgets[p.Frame] = this;
    State().Widgets[p.Client] = this;
    p.Client->installEventFilter(p.Bridge);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(p.Client.data())) {
        area->viewport()->installEventFilter(p.Bridge);
        State().Widgets[area->viewport()] = this;
    }
    p.Client->setMouseTracking(true);
    p.Client->setAcceptDrops(p.AcceptFiles);
    p.Client->setEnabled(FEnabled);
    if (FCursor != crDefault) p.Client->setCursor(CursorToQt(FCursor));
    if (topLevel) p.Frame->setWindowTitle(QString::fromUtf16(FText.data(), qsizetype(FText.size())));
    BoundsChanged(true, true);
    p.LayoutFrame();
    p.EnsurePixels();
    p.Invalid = QRegion(p.Client->rect());
    p.EraseNeeded = true;
    p.UpdateBarWidgets();
    p.ApplyShape();
    CreateWnd();
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
    if (FVisible && (!topLevel || dynamic_cast<TCustomForm*>(this) == nullptr || IsShowing()))
        p.ShowFrame(FVisible);
    else if (!topLevel)
        p.ShowFrame(false); // a child window not hidden explicitly would show with its parent
    BindControlCanvases(p, static_cast<QImage*>(nullptr), nullptr);
}

void TWinControl::DestroyWnd() {
    TWinControlPrivate& p = *FWindow;
    if (!p.Frame) return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyWnd();
    TBridgeState& state = State();
    if (state.GrabControl == this) {
        if (state.GrabWidget) state.GrabWidget->releaseMouse();
        state.GrabWidget = nullptr;
        state.GrabControl = nullptr;
    }
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
    if (p.Native) FText = GetTextValue(); // the editor's text outlives its window
    for (auto it = state.Widgets.begin(); it != state.Widgets.end();)
        if (it->second == this)
            it = state.Widgets.erase(it);
        else
            ++it;
    if (p.Bridge) {
        for (auto& [id, qt] : p.Timers) {
            if (qt) p.Bridge->killTimer(qt);
            StopManualTimer(this, id);
        }
        p.Bridge->P = nullptr;
        p.Bridge->removeEventFilter(p.Bridge);
    }
    p.Timers.clear();
    if (auto* cw = dynamic_cast<TClientWidget*>(p.Client.data())) cw->P = nullptr;
    if (auto* fw = dynamic_cast<TFrameWidget*>(p.Frame.data())) fw->P = nullptr;
    // Nothing the editor signals from now on may reach the control, which is going away.
    ForgetAccessibleWidget(p.Client);
    if (p.Client) QObject::disconnect(p.Client, nullptr, nullptr, nullptr);
    QWidget* frame = p.Frame;
    frame->hide();
    bool busy = false;
    for (TWinControl* c = this; c && !busy; c = c->GetParent())
        busy = InDispatch(c->GetWindowPrivate());
    if (busy || p.DispatchDepth > 0)
        frame->deleteLater();
    else
        delete frame;
    p.Frame = nullptr;
    p.Client = nullptr;
    p.Bars[0] = p.Bars[1] = nullptr;
    p.SizeGrip = nullptr;
    p.Bridge = nullptr;
    p.Native = false;
    p.Invalid = QRegion();
    p.Pixels = QImage();
    BindControlCanvases(p, static_cast<QImage*>(nullptr), nullptr);
}

// ---------------------------------------------------------------------------------------------
// TWindowBridge: Qt events become messages

bool TWindowBridge::eventFilter(QObject* watched, QEvent* event) {
    if (!P || P->ForwardingToNative) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    switch (event->type()) {
    case QEvent::Paint:
        return OnPaint(widget, static_cast<QPaintEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return OnMouse(widget, static_cast<QMouseEvent*>(event));
    case QEvent::Wheel:
        return OnWheel(widget, static_cast<QWheelEvent*>(event));
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (event == State().NativeKey) {
            event->accept();
            return true;
        }
        return OnKey(widget, static_cast<QKeyEvent*>(event));
    case QEvent::InputMethod:
        return OnInputMethod(widget, static_cast<QInputMethodEvent*>(event));
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        return OnFocus(event);
    case QEvent::Enter:
    case QEvent::Leave:
        return OnEnterLeave(event);
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return OnDrop(static_cast<QDropEvent*>(event));
    default:
        return false;
    }
}

TWindowBridge::TDispatched TWindowBridge::Dispatch(TMessage& m, QEvent* source, QWidget* widget) {
    QPointer<TWindowBridge> self(this);
    TWinControlPrivate* p = P;
    TWinControl* c = p->Control;
    ++p->DispatchDepth;
    QEvent* outerEvent = std::exchange(p->CurrentEvent, source);
    QWidget* outerWidget = std::exchange(p->CurrentWidget, widget);
    const TMessage* outerMessage = std::exchange(p->CurrentMessage, source ? &m : nullptr);
    bool outerRan = std::exchange(p->NativeRan, false);
    GuardedCall(c, [&] { c->Perform(m); });
    if (!self || !self->P) return {};
    TDispatched d{true, p->NativeRan};
    p->CurrentEvent = outerEvent;
    p->CurrentWidget = outerWidget;
    p->CurrentMessage = outerMessage;
    p->NativeRan = outerRan;
    --p->DispatchDepth;
    return d;
}

bool RunNativeDefault(TWinControlPrivate& p, const TMessage& m) {
    if (!p.Client || !p.CurrentEvent || p.CurrentMessage != &m || p.NativeRan) return false;
    QEvent* ev = p.CurrentEvent;
    QWidget* target = p.CurrentWidget ? p.CurrentWidget : p.Client.data();
    switch (ev->type()) {
    case QEvent::Paint: {
        // The editor paints the window now; what the control draws in its paint message is laid
        // over it afterwards (OnPaint).
        p.NativeRan = true;
        TScopedChange forwarding(p.ForwardingToNative, true);
        static_cast<QObject*>(target)->event(ev);
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(ev);
        // A character key is typed by the character's default handling, not the key's.
        if (m.Msg == WM_KEYDOWN && !ke->text().isEmpty()) return false;
        p.NativeRan = true;
        // A wanted Tab types into a multi-line editor; a single-line one would hand it to Qt's
        // own focus chain instead, so it does not get it.
        bool tab = ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab;
        if (tab && !qobject_cast<QAbstractScrollArea*>(p.Client.data())) return true;
        TScopedChange forwarding(p.ForwardingToNative, true);
        TScopedChange native(State().NativeKey, static_cast<const QEvent*>(ev));
        if (m.Msg == WM_CHAR && !ke->text().isEmpty() && char16_t(m.WParam) != ke->text().at(0).unicode()) {
            // The handler changed the character: the editor gets the new one.
            QKeyEvent replaced(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(char16_t(m.WParam))));
            QCoreApplication::sendEvent(target, &replaced);
        } else {
            QCoreApplication::sendEvent(target, ev);
        }
        return true;
    }
    default: {
        p.NativeRan = true;
        TScopedChange forwarding(p.ForwardingToNative, true);
        QCoreApplication::sendEvent(target, ev);
        return true;
    }
    }
}

bool TWindowBridge::OnPaint(QWidget* widget, QPaintEvent* pe) {
    // Painted windows show their kept pixels (TClientWidget); a native editor's paint message
    // runs here, the editor's own painting being its default handling. What the control draws
    // goes to a transparent layer shown over the editor's pixels: the editor cannot paint under a
    // painter that is already open on its widget.
    TWinControlPrivate* p = P;
    if (!p->Native || widget != p->Client) return false;
    TWinControl* c = p->Control;
    QPointer<TWindowBridge> self(this);
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QRegion region = pe->region();
    {
        TCanvas canvas;
        TCanvasAttachment attach(canvas, &image, &region);
        canvas.SetFont(*c->GetFont());
        canvas.GetBrush()->SetColor(c->GetColor());
        TCanvas* saved = std::exchange(c->FPaintCanvas, &canvas);
        BindControlCanvases(*p, &image, &region);
        TMessage m{WM_PAINT, 0, 0, 0};
        if (!Dispatch(m, pe, widget).Alive) return true;
        c->FPaintCanvas = saved;
    }
    QPainter painter(widget);
    painter.setClipRegion(region);
    painter.drawImage(0, 0, image);
    // Then the control may draw over its frame.
    TCanvas canvas;
    TCanvasAttachment attach(canvas, &painter);
    TCanvas* saved = std::exchange(c->FPaintCanvas, &canvas);
    BindControlCanvases(*p, &painter);
    TMessage m{WM_NCPAINT, reinterpret_cast<WPARAM>(&canvas), 0, 0};
    if (!Dispatch(m).Alive) return true;
    c->FPaintCanvas = saved;
    BindControlCanvases(*p, static_cast<QImage*>(nullptr), nullptr);
    return true;
}

UINT TWindowBridge::MouseMessageOf(QMouseEvent* me, bool& Swallow) {
    TWinControlPrivate* p = P;
    Swallow = false;
    bool dbl = false;
    if (me->type() == QEvent::MouseButtonDblClick) {
        // Qt reports the second press of a double click twice (press, then double click); the
        // platform reports it once, as the double click.
        if (p->SwallowDblClick) {
            p->SwallowDblClick = false;
            Swallow = true;
            return 0;
        }
        dbl = true;
    } else if (me->type() == QEvent::MouseButtonPress) {
        p->SwallowDblClick = false;
        QPoint gp = me->globalPosition().toPoint();
        bool near = std::abs(gp.x() - p->LastPressPos.x()) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                    std::abs(gp.y() - p->LastPressPos.y()) <= GetSystemMetrics(SM_CYDOUBLECLK);
        if (p->LastPressButton == int(me->button()) && near &&
            me->timestamp() - p->LastPressTime <
                ulong(QGuiApplication::styleHints()->mouseDoubleClickInterval())) {
            dbl = true;
            p->SwallowDblClick = true;
            p->LastPressButton = 0;
        } else {
            p->LastPressButton = int(me->button());
            p->LastPressTime = me->timestamp();
            p->LastPressPos = gp;
        }
    }
    if (dbl && !(p->Params.WindowClassStyle & CS_DBLCLKS)) dbl = false;
    switch (me->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        switch (me->button()) {
        case Qt::LeftButton:
            return dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        case Qt::RightButton:
            return dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
        case Qt::MiddleButton:
            return dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
        default:
            return 0;
        }
    case QEvent::MouseButtonRelease:
        switch (me->button()) {
        case Qt::LeftButton:
            return WM_LBUTTONUP;
        case Qt::RightButton:
            return WM_RBUTTONUP;
        case Qt::MiddleButton:
            return WM_MBUTTONUP;
        default:
            return 0;
        }
    default:
        return WM_MOUSEMOVE;
    }
}

bool TWindowBridge::OnMouse(QWidget* widget, QMouseEvent* me) {
    TWinControlPrivate* p = P;
    NoteModifiers(me->modifiers(), me->buttons());
    QPoint g = me->globalPosition().toPoint();
    State().CursorPos = {g.x(), g.y()};
    bool swallow = false;
    UINT msg = MouseMessageOf(me, swallow);
    if (swallow) return !p->Native;
    if (msg == 0) return false;
    if (msg != WM_MOUSEMOVE && msg != WM_LBUTTONUP && msg != WM_RBUTTONUP && msg != WM_MBUTTONUP)
        Application->CancelHint();
    // The window holding the capture gets the pointer wherever it is, whichever widget Qt's own
    // grab chose.
    TWinControl* holder = State().GrabControl;
    if (holder && holder != p->Control) {
        TWinControlPrivate* hp = holder->GetWindowPrivate();
        if (hp->Bridge && hp->Client)
            return hp->Bridge->DeliverMouse(msg, me, hp->Client->mapFromGlobal(g), nullptr);
    }
    QPoint pt = me->position().toPoint();
    if (widget != p->Client) pt = widget->mapTo(p->Client, pt);
    return DeliverMouse(msg, me, pt, widget);
}

bool TWindowBridge::DeliverMouse(UINT msg, QMouseEvent* me, QPoint clientPt, QWidget* widget) {
    TMessage m{msg, MouseKeys(me->buttons(), me->modifiers()), MakeLParam(clientPt.x(), clientPt.y()), 0};
    // A native editor gets the event as the message's default handling, after the handlers
    // that run before it and before those that run after it.
    if (!Dispatch(m, widget ? me : nullptr, widget).Alive) return true;
    if (msg == WM_MOUSEMOVE) FollowPointer(clientPt);
    return true;
}

void TWindowBridge::FollowPointer(QPoint clientPt) {
    TWinControlPrivate* p = P;
    TWinControl* c = p->Control;
    TControl* under = c->ControlAtPos({clientPt.x(), clientPt.y()}, true);
    if (!under) under = c;
    TCursor cur = under->GetCursor();
    if (cur == crDefault && p->Native)
        p->Client->unsetCursor();
    else
        p->Client->setCursor(CursorToQt(cur));
    GuardedCall(c, [&] { Application->HintMouseMessage(under, State().CursorPos); });
}

bool TWindowBridge::OnWheel(QWidget*, QWheelEvent* we) {
    TWinControlPrivate* p = P;
    NoteModifiers(we->modifiers(), we->buttons());
    int delta = we->angleDelta().y();
    if (delta == 0) return !p->Native;
    QPoint g = we->globalPosition().toPoint();
    TMessage m{WM_MOUSEWHEEL,
               MakeWParam(uint16_t(MouseKeys(we->buttons(), we->modifiers())), uint16_t(int16_t(delta))),
               MakeLParam(g.x(), g.y()), 0};
    if (!Dispatch(m).Alive) return true;
    return !p->Native || m.Result != 0;
}

bool TWindowBridge::TakenAsDialogKey(Word vk) {
    if (vk != VK_TAB || GetKeyShiftState().Contains(ssCtrl)) return false;
    TMessage code{WM_GETDLGCODE, 0, 0, 0};
    if (!Dispatch(code).Alive) return true;
    if (code.Result & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
    TWinControl* c = P->Control;
    TCustomForm* form = c->GetParentForm();
    if (!form) return false;
    LRESULT taken = 0;
    GuardedCall(c, [&] { taken = form->Perform(CM_DIALOGKEY, vk); });
    return taken != 0;
}

bool TWindowBridge::TakenAsShortCut(Word vk) {
    TWinControl* c = P->Control;
    TCustomForm* form = c->GetParentForm();
    TShortCut key = ShortCut(vk, GetKeyShiftState());
    if (!form || key == scNone) return false;
    bool taken = false;
    GuardedCall(c, [&] { taken = form->IsShortCut(key); });
    return taken;
}

bool TWindowBridge::OnKey(QWidget* widget, QKeyEvent* ke) {
    TWinControlPrivate* p = P;
    QPointer<TWindowBridge> self(this);
    NoteModifiers(ke->modifiers(), QApplication::mouseButtons());
    Word vk = VirtualKeyFromQt(ke->key());
    bool press = ke->type() == QEvent::KeyPress;
    bool reached = false; // a message went to the control
    if (vk != 0) {
        if (press && TakenAsShortCut(vk)) return true;
        if (!self || !self->P) return true;
        if (press && TakenAsDialogKey(vk)) return true;
        if (!self || !self->P) return true;
        TMessage m{press ? WM_KEYDOWN : WM_KEYUP, vk, 0, 0};
        if (!Dispatch(m, ke, widget).Alive) return true;
        if (m.Result != 0) return true; // a handler cleared the key
        reached = true;
    }
    if (press && (ke->modifiers() & Qt::AltModifier) && vk >= 0x30 && vk <= 0x5A) {
        // Alt plus a character: the form looks for the label that has it as accelerator.
        if (TCustomForm* form = p->Control->GetParentForm()) {
            LRESULT handled = 0;
            GuardedCall(p->Control, [&] { handled = form->Perform(CM_DIALOGCHAR, vk); });
            if (handled) return true;
            if (!self || !self->P) return true;
        }
    }
    if (press && !ke->text().isEmpty()) {
        TMessage cm{WM_CHAR, WideChar(ke->text().at(0).unicode()), 0, 0};
        if (!Dispatch(cm, ke, widget).Alive) return true;
        reached = true;
    }
    // A key that made no message is left to Qt (a native editor's own keys).
    return reached || !p->Native;
}

bool TWindowBridge::OnInputMethod(QWidget*, QInputMethodEvent* ie) {
    // Native editors compose for themselves; others get the composed characters as typed ones.
    if (P->Native) return false;
    const QString text = ie->commitString();
    for (QChar ch : text) {
        TMessage cm{WM_CHAR, WideChar(ch.unicode()), 0, 0};
        if (!Dispatch(cm).Alive) return true;
    }
    ie->accept();
    return true;
}

void TWindowBridge::DeliverPostedKey(TMessage m) {
    TBridgeState& state = State();
    Word vk = Word(m.WParam);
    if (auto mod = ModifierOfKey(vk)) {
        // A posted modifier holds for the next posted key, as SelectPrevControl's Shift does.
        if (m.Msg == WM_KEYDOWN)
            state.PostedModifiers.Include(*mod);
        else
            state.PostedModifiers.Exclude(*mod);
        Dispatch(m);
        return;
    }
    TShiftState held = state.Shift;
    for (TShiftStateItem i : {ssShift, ssCtrl, ssAlt})
        if (state.PostedModifiers.Contains(i)) held.Include(i);
    state.PostedModifiers = TShiftState();
    TScopedChange shift(state.Shift, held);
    if (m.Msg == WM_KEYDOWN && TakenAsDialogKey(vk)) return;
    if (!P) return;
    Dispatch(m);
}

bool TWindowBridge::OnFocus(QEvent* event) {
    TMessage m{event->type() == QEvent::FocusIn ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, 0};
    Dispatch(m);
    return false;
}

bool TWindowBridge::OnEnterLeave(QEvent* event) {
    bool enter = event->type() == QEvent::Enter;
    TMessage m{enter ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0, 0};
    if (!Dispatch(m).Alive) return false;
    if (!enter) GuardedCall(P->Control, [&] { Application->HintMouseMessage(nullptr, State().CursorPos); });
    return false;
}

bool TWindowBridge::OnDrop(QDropEvent* event) {
    if (!P->AcceptFiles || !event->mimeData() || !event->mimeData()->hasUrls()) return false;
    std::vector<WideString> files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        // The URL's percent-encoded path holds the name's own bytes, which a decoded string may not.
        const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        files.push_back(PathToText(std::string_view(path.constData(), size_t(path.size()))));
    }
    if (files.empty()) return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (event->type() != QEvent::Drop) return true;
    TMessage m{WM_DROPFILES, reinterpret_cast<WPARAM>(&files), 0, 0};
    Dispatch(m);
    return true;
}

void TWindowBridge::timerEvent(QTimerEvent* event) {
    if (!P) return;
    for (auto& [id, qt] : P->Timers) {
        if (qt == event->timerId()) {
            TMessage m{WM_TIMER, id, 0, 0};
            Dispatch(m);
            return;
        }
    }
}

void TWindowBridge::customEvent(QEvent* event) {
    if (!P || event->type() != TPostedMessageEvent::EventType()) return;
    TMessage m = static_cast<TPostedMessageEvent*>(event)->Message;
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP) {
        DeliverPostedKey(m);
        return;
    }
    Dispatch(m);
}

void TWindowBridge::OnBarAction(int bar, int action) {
    if (!P || !P->Bars[bar]) return;
    QScrollBar* sb = P->Bars[bar];
    auto& s = P->BarStates[bar];
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = SB_TOP;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = SB_BOTTOM;
        break;
    case QAbstractSlider::SliderMove:
        code = SB_THUMBTRACK;
        s.Tracking = true;
        s.TrackPos = sb->sliderPosition();
        break;
    default:
        return;
    }
    TWinControlPrivate* p = P;
    UINT msg = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    int pos = code == SB_THUMBTRACK ? s.TrackPos : s.Info.nPos;
    TMessage request{msg, MakeWParam(uint16_t(code), uint16_t(pos)), 0, 0};
    if (!Dispatch(request).Alive) return;
    if (code != SB_THUMBTRACK) {
        TMessage end{msg, MakeWParam(SB_ENDSCROLL, 0), 0, 0};
        if (!Dispatch(end).Alive) return;
    }
    // The bar shows what the control made of the request, not what Qt computed.
    if (QScrollBar* b = p->Bars[bar]; b && !p->BarStates[bar].Tracking)
        b->setSliderPosition(p->BarStates[bar].Info.nPos);
}

void TWindowBridge::OnBarReleased(int bar) {
    if (!P) return;
    auto& s = P->BarStates[bar];
    if (!s.Tracking) return;
    TWinControlPrivate* p = P;
    UINT msg = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    TMessage position{msg, MakeWParam(SB_THUMBPOSITION, uint16_t(s.TrackPos)), 0, 0};
    if (!Dispatch(position).Alive) return;
    p->BarStates[bar].Tracking = false;
    TMessage end{msg, MakeWParam(SB_ENDSCROLL, 0), 0, 0};
    if (!Dispatch(end).Alive) return;
    p->UpdateBarWidgets();
}

// ---------------------------------------------------------------------------------------------
// Window functions

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Wnd ? Wnd->Perform(Msg, WParam, LParam) : 0;
}

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Wnd) return false;
    Wnd->HandleNeeded();
    TWindowBridge* b = Wnd->GetWindowPrivate()->Bridge;
    if (!b) return false;
    QCoreApplication::postEvent(b, new TPostedMessageEvent(TMessage{Msg, WParam, LParam, 0}));
    return true;
}

void SetCaptureControlInternal(TControl* Control) {
    TWinControl* win = nullptr;
    if (Control) {
        win = dynamic_cast<TWinControl*>(Control);
        if (!win) win = Control->GetParent();
    }
    TBridgeState& state = State();
    if (win == state.GrabControl && state.GrabWidget) return;
    TWinControl* old = state.GrabControl;
    if (state.GrabWidget) state.GrabWidget->releaseMouse();
    state.GrabWidget = nullptr;
    state.GrabControl = nullptr;
    if (win) {
        win->HandleNeeded();
        QWidget* w = win->GetWindowPrivate()->Client;
        if (w && w->isVisible()) {
            // Offscreen has no pointer grab; the bridge hands the pointer to the holder itself.
            if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->grabMouse();
            state.GrabWidget = w;
        }
        state.GrabControl = win;
    }
    if (old && old != win) old->Perform(WM_CAPTURECHANGED);
}

HWND SetCapture(HWND Wnd) {
    HWND old = GetCapture();
    SetCaptureControl(Wnd);
    return old;
}

bool ReleaseCapture() {
    SetCaptureControl(nullptr);
    return true;
}

HWND GetCapture() {
    return State().GrabControl;
}

HWND GetFocus() {
    QWidget* w = QApplication::focusWidget();
    while (w) {
        if (TWinControl* c = ControlOfWidget(w)) return c;
        w = w->parentWidget();
    }
    return nullptr;
}

HWND SetFocus(HWND Wnd) {
    HWND old = GetFocus();
    if (Wnd) Wnd->SetFocus();
    return old;
}

TPoint GetCursorPos() {
    return State().CursorPos;
}

void SetCursorPos(int X, int Y) {
    State().CursorPos = {X, Y};
    QCursor::setPos(X, Y);
}

TWinControl* FindVCLWindow(const TPoint& Pos) {
    QWidget* w = QApplication::widgetAt(QPoint(Pos.X, Pos.Y));
    while (w) {
        if (TWinControl* c = ControlOfWidget(w)) return c;
        w = w->parentWidget();
    }
    return nullptr;
}

TWinControl* FindControl(HWND Handle) {
    return Handle;
}

int GetSystemMetrics(int Index) {
    switch (Index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return kScrollBarSize;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        QScreen* s = QGuiApplication::primaryScreen();
        if (!s) return 0;
        return Index == SM_CXSCREEN ? s->geometry().width() : s->geometry().height();
    }
    default:
        return 0;
    }
}
