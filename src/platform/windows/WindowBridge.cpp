// The Qt side of windowed controls: creating the widgets, painting the kept pixels and turning
// Qt events into window messages.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>
#include <unordered_map>

#include "platform/windows/Forms.h"
#include "platform/windows/WinControlQt.h"

namespace {
constexpr int kScrollBarSize = 17;
std::unordered_map<const QWidget*, TWinControl*> gWidgets;
QPointer<QWidget> gGrabWidget;
TWinControl* gGrabControl = nullptr;
TShiftState gShift;
Qt::MouseButtons gButtons;
TPoint gCursorPos;

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
bool InDispatch(TWinControlPrivate* p) { return p->DispatchDepth > 0; }
}  // namespace

QEvent::Type TPostedMessageEvent::EventType() {
    static const QEvent::Type t = QEvent::Type(QEvent::registerEventType());
    return t;
}

TWinControl* ControlOfWidget(const QWidget* w) {
    auto it = gWidgets.find(w);
    return it == gWidgets.end() ? nullptr : it->second;
}
std::vector<TWinControl*> AllWindows() {
    std::vector<TWinControl*> out;
    for (auto& [w, c] : gWidgets)
        if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    return out;
}

QWidget* ClientWidgetOf(TWinControl* c) { return c ? c->GetWindowPrivate()->Client.data() : nullptr; }
QWidget* FrameWidgetOf(TWinControl* c) { return c ? c->GetWindowPrivate()->Frame.data() : nullptr; }

void HandleGuardedException(TObject* sender) { Application->HandleException(sender); }

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
    gShift = s;
    gButtons = b;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    NoteModifiers(m, b);
    return gShift;
}

TShiftState GetKeyShiftState() {
    TShiftState s;
    if (gShift.Contains(ssShift)) s.Include(ssShift);
    if (gShift.Contains(ssCtrl)) s.Include(ssCtrl);
    if (gShift.Contains(ssAlt)) s.Include(ssAlt);
    return s;
}

int16_t GetKeyState(int vk) {
    bool down = false;
    switch (vk) {
        case VK_SHIFT: down = gShift.Contains(ssShift); break;
        case VK_CONTROL: down = gShift.Contains(ssCtrl); break;
        case VK_MENU: down = gShift.Contains(ssAlt); break;
        case VK_LBUTTON: down = gShift.Contains(ssLeft); break;
        case VK_RBUTTON: down = gShift.Contains(ssRight); break;
        case VK_MBUTTON: down = gShift.Contains(ssMiddle); break;
        default: break;
    }
    return down ? int16_t(0x8000) : 0;
}

Word VirtualKeyFromQt(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return Word(0x41 + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return Word(0x30 + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return Word(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Alt: return VK_MENU;
        case Qt::Key_Pause: return VK_PAUSE;
        case Qt::Key_CapsLock: return VK_CAPITAL;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Asterisk: return VK_MULTIPLY;
        case Qt::Key_Plus: return VK_ADD;
        case Qt::Key_Minus: return VK_SUBTRACT;
        case Qt::Key_Slash: return VK_DIVIDE;
        default: return 0;
    }
}

int QtKeyFromVirtualKey(Word vk) {
    if (vk >= 0x41 && vk <= 0x5A) return Qt::Key_A + (vk - 0x41);
    if (vk >= 0x30 && vk <= 0x39) return Qt::Key_0 + (vk - 0x30);
    if (vk >= VK_F1 && vk <= VK_F1 + 23) return Qt::Key_F1 + (vk - VK_F1);
    switch (vk) {
        case VK_BACK: return Qt::Key_Backspace;
        case VK_TAB: return Qt::Key_Tab;
        case VK_RETURN: return Qt::Key_Return;
        case VK_SHIFT: return Qt::Key_Shift;
        case VK_CONTROL: return Qt::Key_Control;
        case VK_MENU: return Qt::Key_Alt;
        case VK_ESCAPE: return Qt::Key_Escape;
        case VK_SPACE: return Qt::Key_Space;
        case VK_PRIOR: return Qt::Key_PageUp;
        case VK_NEXT: return Qt::Key_PageDown;
        case VK_END: return Qt::Key_End;
        case VK_HOME: return Qt::Key_Home;
        case VK_LEFT: return Qt::Key_Left;
        case VK_UP: return Qt::Key_Up;
        case VK_RIGHT: return Qt::Key_Right;
        case VK_DOWN: return Qt::Key_Down;
        case VK_INSERT: return Qt::Key_Insert;
        case VK_DELETE: return Qt::Key_Delete;
        default: return 0;
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
            case bsNone: break;
            case bsToolWindow:
            case bsSizeToolWin: r = {r.Left + 4, r.Top + 22, r.Right + 4, r.Bottom + 4}; break;
            case bsSingle:
            case bsDialog: r = {r.Left + 3, r.Top + 25, r.Right + 3, r.Bottom + 3}; break;
            default: r = {r.Left + 8, r.Top + 30, r.Right + 8, r.Bottom + 8}; break;
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
        Client->setGeometry(client);
        EnsurePixels();
        Control->Realign();
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
    if (Pixels.size() == size) return;
    QImage old = Pixels;
    QImage fresh(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    fresh.fill(ColorToQt(Control->GetColor()));
    if (!old.isNull()) {
        QPainter p(&fresh);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, old);
    }
    Pixels = fresh;
    QRegion all(QRect(QPoint(0, 0), size));
    bool redrawAll = old.isNull() || (Params.WindowClassStyle & (CS_HREDRAW | CS_VREDRAW));
    if (redrawAll) {
        Invalid = all;
        EraseNeeded = true;
    } else {
        // Only what the new size uncovers.
        QRegion kept(QRect(QPoint(0, 0), old.size()));
        Invalid = Invalid.intersected(all) + (all - kept);
        if (!(all - kept).isEmpty()) EraseNeeded = true;
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
    QRegion region = Invalid.intersected(QRect(QPoint(0, 0), Pixels.size()));
    Invalid = QRegion();
    if (region.isEmpty()) return;
    bool erase = EraseNeeded;
    EraseNeeded = false;
    if (!PaintCanvas) PaintCanvas = std::make_unique<TCanvas>();
    TCanvas& canvas = *PaintCanvas;
    InPaint = true;
    AttachCanvas(canvas, &Pixels, &region);
    canvas.SetFont(*Control->GetFont());
    canvas.GetBrush()->SetColor(Control->GetColor());
    canvas.GetPen()->SetColor(clBlack);
    TCanvas* saved = Control->FPaintCanvas;
    Control->FPaintCanvas = &canvas;
    struct Restore {
        TWinControlPrivate* p;
        TCanvas* saved;
        TCanvas& canvas;
        ~Restore() {
            p->Control->FPaintCanvas = saved;
            DetachCanvas(canvas);
            p->InPaint = false;
        }
    } restore{this, saved, canvas};
    if (erase) {
        Control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas));
        AttachCanvas(canvas, &Pixels, &region);
        canvas.SetFont(*Control->GetFont());
        canvas.GetBrush()->SetColor(Control->GetColor());
    }
    Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&canvas));
    if (!InPaintEvent) Client->update(region.boundingRect());
}

void TWinControlPrivate::ApplyShape() {
    if (!Frame) return;
    if (Shape)
        Frame->setMask(RegionToQt(*Shape));
    else
        Frame->clearMask();
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
        painter.drawImage(event->rect(), P->Pixels, event->rect());
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
    gWidgets[p.Frame] = this;
    gWidgets[p.Client] = this;
    p.Client->installEventFilter(p.Bridge);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(p.Client.data())) {
        area->viewport()->installEventFilter(p.Bridge);
        gWidgets[area->viewport()] = this;
    }
    p.Client->setMouseTracking(true);
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
    if (FVisible && (!topLevel || dynamic_cast<TCustomForm*>(this) == nullptr || IsShowing())) {
        if (!topLevel || FVisible) p.Frame->setVisible(FVisible);
    }
}

void TWinControl::DestroyWnd() {
    TWinControlPrivate& p = *FWindow;
    if (!p.Frame) return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyWnd();
    if (gGrabControl == this) {
        if (gGrabWidget) gGrabWidget->releaseMouse();
        gGrabWidget = nullptr;
        gGrabControl = nullptr;
    }
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
    for (auto it = gWidgets.begin(); it != gWidgets.end();)
        if (it->second == this)
            it = gWidgets.erase(it);
        else
            ++it;
    if (p.Bridge) {
        for (auto& [id, qt] : p.Timers) p.Bridge->killTimer(qt);
        p.Bridge->P = nullptr;
        p.Bridge->removeEventFilter(p.Bridge);
    }
    p.Timers.clear();
    if (auto* cw = dynamic_cast<TClientWidget*>(p.Client.data())) cw->P = nullptr;
    if (auto* fw = dynamic_cast<TFrameWidget*>(p.Frame.data())) fw->P = nullptr;
    // Nothing the editor signals from now on may reach the control, which is going away.
    if (p.Client) QObject::disconnect(p.Client, nullptr, nullptr, nullptr);
    QWidget* frame = p.Frame;
    frame->hide();
    bool busy = false;
    for (TWinControl* c = this; c && !busy; c = c->GetParent()) busy = InDispatch(c->GetWindowPrivate());
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
}

// ---------------------------------------------------------------------------------------------
// TWindowBridge: Qt events become messages

bool TWindowBridge::eventFilter(QObject* watched, QEvent* event) {
    if (!P || P->ForwardingToNative) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    TWinControl* c = P->Control;
    QPointer<TWindowBridge> self(this);
    TWinControlPrivate* p = P;
    bool consumed = false;
    auto dispatch = [&](TMessage& m) {
        ++p->DispatchDepth;
        p->CurrentEvent = event;
        GuardedCall(c, [&] { c->Perform(m); });
        if (self && self->P) {
            p->CurrentEvent = nullptr;
            --p->DispatchDepth;
        }
    };
    auto clientPos = [&](QPointF local) {
        QPoint pt = local.toPoint();
        if (widget != p->Client) pt = widget->mapTo(p->Client, pt);
        return pt;
    };
    switch (event->type()) {
        case QEvent::Paint: {
            // A native editor paints itself first; then the control may draw over its frame.
            if (!p->Native || widget != p->Client) return false;
            static_cast<QObject*>(widget)->event(event);
            QPainter painter(widget);
            TCanvas canvas;
            TCanvasAttachment attach(canvas, &painter);
            TCanvas* saved = c->FPaintCanvas;
            c->FPaintCanvas = &canvas;
            TMessage m{WM_NCPAINT, reinterpret_cast<WPARAM>(&canvas), 0, 0};
            dispatch(m);
            if (self && self->P) c->FPaintCanvas = saved;
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            NoteModifiers(me->modifiers(), me->buttons());
            QPoint g = me->globalPosition().toPoint();
            gCursorPos = {g.x(), g.y()};
            QPoint pt = clientPos(me->position());
            UINT msg = WM_MOUSEMOVE;
            bool dbl = false;
            if (event->type() == QEvent::MouseButtonDblClick) {
                // Qt reports the second press of a double click twice (press, then double click);
                // the platform reports it once, as the double click.
                if (p->SwallowDblClick) {
                    p->SwallowDblClick = false;
                    return !p->Native;
                }
                dbl = true;
            } else if (event->type() == QEvent::MouseButtonPress) {
                p->SwallowDblClick = false;
                QPoint gp = me->globalPosition().toPoint();
                bool near = std::abs(gp.x() - p->LastPressPos.x()) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                            std::abs(gp.y() - p->LastPressPos.y()) <= GetSystemMetrics(SM_CYDOUBLECLK);
                if (p->LastPressButton == int(me->button()) && near &&
                    me->timestamp() - p->LastPressTime < ulong(QGuiApplication::styleHints()->mouseDoubleClickInterval())) {
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
            if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
                switch (me->button()) {
                    case Qt::LeftButton: msg = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN; break;
                    case Qt::RightButton: msg = dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN; break;
                    case Qt::MiddleButton: msg = dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN; break;
                    default: return false;
                }
                Application->CancelHint();
            } else if (event->type() == QEvent::MouseButtonRelease) {
                switch (me->button()) {
                    case Qt::LeftButton: msg = WM_LBUTTONUP; break;
                    case Qt::RightButton: msg = WM_RBUTTONUP; break;
                    case Qt::MiddleButton: msg = WM_MBUTTONUP; break;
                    default: return false;
                }
            }
            TMessage m{msg, MouseKeys(me->buttons(), me->modifiers()), MakeLParam(pt.x(), pt.y()), 0};
            dispatch(m);
            if (!self || !self->P) return true;
            if (msg == WM_MOUSEMOVE) {
                // The cursor and the hint follow the control under the pointer.
                TControl* under = c->ControlAtPos({pt.x(), pt.y()}, true);
                if (!under) under = c;
                TCursor cur = under->GetCursor();
                if (cur == crDefault && p->Native)
                    p->Client->unsetCursor();
                else
                    p->Client->setCursor(CursorToQt(cur));
                GuardedCall(c, [&] { Application->HintMouseMessage(under, {g.x(), g.y()}); });
            }
            consumed = !p->Native;
            break;
        }
        case QEvent::Wheel: {
            auto* we = static_cast<QWheelEvent*>(event);
            NoteModifiers(we->modifiers(), we->buttons());
            int delta = we->angleDelta().y();
            if (delta == 0) return !p->Native;
            QPoint g = we->globalPosition().toPoint();
            TMessage m{WM_MOUSEWHEEL, MakeWParam(uint16_t(MouseKeys(we->buttons(), we->modifiers())), uint16_t(int16_t(delta))),
                       MakeLParam(g.x(), g.y()), 0};
            dispatch(m);
            consumed = !p->Native || m.Result != 0;
            break;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(event);
            NoteModifiers(ke->modifiers(), QApplication::mouseButtons());
            Word vk = VirtualKeyFromQt(ke->key());
            bool press = event->type() == QEvent::KeyPress;
            TMessage m{press ? WM_KEYDOWN : WM_KEYUP, vk, 0, 0};
            if (vk != 0) {
                if (vk == VK_TAB && press && p->Native) {
                    // Tab moves between controls unless the editor asks for it.
                    TMessage code{WM_GETDLGCODE, 0, 0, 0};
                    dispatch(code);
                    if (!self || !self->P) return true;
                    dispatch(m);
                    if (!self || !self->P) return true;
                    if (m.Result == 0 && !(code.Result & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) &&
                        !(ke->modifiers() & Qt::ControlModifier)) {
                        if (TCustomForm* form = c->GetParentForm()) {
                            GuardedCall(c, [&] { form->Perform(CM_DIALOGKEY, VK_TAB); });
                        }
                        return true;
                    }
                } else {
                    dispatch(m);
                }
                if (!self || !self->P) return true;
                if (m.Result != 0) return true;  // a handler cleared the key
            }
            if (press && (ke->modifiers() & Qt::AltModifier) && vk >= 0x30 && vk <= 0x5A) {
                // Alt plus a character: the form looks for the label that has it as accelerator.
                if (TCustomForm* form = c->GetParentForm()) {
                    LRESULT handled = 0;
                    GuardedCall(c, [&] { handled = form->Perform(CM_DIALOGCHAR, vk); });
                    if (handled) return true;
                }
            }
            if (press && !ke->text().isEmpty()) {
                QString text = ke->text();
                WideChar ch = WideChar(text.at(0).unicode());
                TMessage cm{WM_CHAR, ch, 0, 0};
                dispatch(cm);
                if (!self || !self->P) return true;
                if (cm.Result != 0) return true;
                if (p->Native && WideChar(cm.WParam) != ch) {
                    // The handler changed the character: the editor gets the new one.
                    QString nt(QChar(char16_t(cm.WParam)));
                    QKeyEvent replaced(QEvent::KeyPress, 0, Qt::NoModifier, nt);
                    p->ForwardingToNative = true;
                    QCoreApplication::sendEvent(p->Client, &replaced);
                    p->ForwardingToNative = false;
                    return true;
                }
            }
            consumed = !p->Native;
            break;
        }
        case QEvent::FocusIn: {
            TMessage m{WM_SETFOCUS, 0, 0, 0};
            dispatch(m);
            return false;
        }
        case QEvent::FocusOut: {
            TMessage m{WM_KILLFOCUS, 0, 0, 0};
            dispatch(m);
            return false;
        }
        case QEvent::Enter: {
            TMessage m{CM_MOUSEENTER, 0, 0, 0};
            dispatch(m);
            return false;
        }
        case QEvent::Leave: {
            TMessage m{CM_MOUSELEAVE, 0, 0, 0};
            dispatch(m);
            if (self && self->P) GuardedCall(c, [&] { Application->HintMouseMessage(nullptr, gCursorPos); });
            return false;
        }
        default: return false;
    }
    return consumed;
}

void TWindowBridge::timerEvent(QTimerEvent* event) {
    if (!P) return;
    for (auto& [id, qt] : P->Timers) {
        if (qt == event->timerId()) {
            TWinControl* c = P->Control;
            uintptr_t timerId = id;
            QPointer<TWindowBridge> self(this);
            TWinControlPrivate* p = P;
            ++p->DispatchDepth;
            GuardedCall(c, [&] { c->Perform(WM_TIMER, timerId); });
            if (self && self->P) --p->DispatchDepth;
            return;
        }
    }
}

void TWindowBridge::customEvent(QEvent* event) {
    if (!P || event->type() != TPostedMessageEvent::EventType()) return;
    TMessage m = static_cast<TPostedMessageEvent*>(event)->Message;
    TWinControl* c = P->Control;
    QPointer<TWindowBridge> self(this);
    TWinControlPrivate* p = P;
    ++p->DispatchDepth;
    GuardedCall(c, [&] { c->Perform(m.Msg, m.WParam, m.LParam); });
    if (self && self->P) --p->DispatchDepth;
}

void TWindowBridge::OnBarAction(int bar, int action) {
    if (!P || !P->Bars[bar]) return;
    QScrollBar* sb = P->Bars[bar];
    auto& s = P->BarStates[bar];
    int code = -1;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
        case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
        case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
        case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
        case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
        case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
        case QAbstractSlider::SliderMove:
            code = SB_THUMBTRACK;
            s.Tracking = true;
            s.TrackPos = sb->sliderPosition();
            break;
        default: return;
    }
    TWinControl* c = P->Control;
    QPointer<TWindowBridge> self(this);
    TWinControlPrivate* p = P;
    UINT msg = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    int pos = code == SB_THUMBTRACK ? s.TrackPos : s.Info.nPos;
    ++p->DispatchDepth;
    GuardedCall(c, [&] { c->Perform(msg, MakeWParam(uint16_t(code), uint16_t(pos)), 0); });
    if (code != SB_THUMBTRACK && self && self->P)
        GuardedCall(c, [&] { c->Perform(msg, MakeWParam(SB_ENDSCROLL, 0), 0); });
    if (!self || !self->P) return;
    --p->DispatchDepth;
    // The bar shows what the control made of the request, not what Qt computed.
    if (QScrollBar* b = p->Bars[bar]; b && !p->BarStates[bar].Tracking) b->setSliderPosition(p->BarStates[bar].Info.nPos);
}

void TWindowBridge::OnBarReleased(int bar) {
    if (!P) return;
    auto& s = P->BarStates[bar];
    if (!s.Tracking) return;
    TWinControl* c = P->Control;
    QPointer<TWindowBridge> self(this);
    TWinControlPrivate* p = P;
    UINT msg = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    int pos = s.TrackPos;
    ++p->DispatchDepth;
    GuardedCall(c, [&] { c->Perform(msg, MakeWParam(SB_THUMBPOSITION, uint16_t(pos)), 0); });
    if (self && self->P) p->BarStates[bar].Tracking = false;
    if (self && self->P) GuardedCall(c, [&] { c->Perform(msg, MakeWParam(SB_ENDSCROLL, 0), 0); });
    if (!self || !self->P) return;
    --p->DispatchDepth;
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
    if (win == gGrabControl && gGrabWidget) return;
    TWinControl* old = gGrabControl;
    if (gGrabWidget) gGrabWidget->releaseMouse();
    gGrabWidget = nullptr;
    gGrabControl = nullptr;
    if (win) {
        win->HandleNeeded();
        QWidget* w = win->GetWindowPrivate()->Client;
        if (w && w->isVisible()) {
            // Offscreen has no pointer grab; Qt's implicit grab during a press still applies.
            if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->grabMouse();
            gGrabWidget = w;
        }
        gGrabControl = win;
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

HWND GetCapture() { return gGrabControl; }

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

TPoint GetCursorPos() { return gCursorPos; }

void SetCursorPos(int X, int Y) {
    gCursorPos = {X, Y};
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

TWinControl* FindControl(HWND Handle) { return Handle; }

int GetSystemMetrics(int Index) {
    switch (Index) {
        case SM_CXVSCROLL:
        case SM_CYHSCROLL: return kScrollBarSize;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK: return 4;
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            QScreen* s = QGuiApplication::primaryScreen();
            if (!s) return 0;
            return Index == SM_CXSCREEN ? s->geometry().width() : s->geometry().height();
        }
        default: return 0;
    }
}
