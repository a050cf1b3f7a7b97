// TCustomForm, THintWindow, TApplication and TScreen.
#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/runtime/CodePage.h"
#include "platform/runtime/ScopedChange.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/WinControlQt.h"

void ReleaseCursorCache();

namespace {
// Brings a top-level window to the front where the window system can.
void RaiseWindow(QWidget* w) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
}

TApplication* gApplication = nullptr;
TScreen* gScreen = nullptr;
bool gPostRoutineAdded = false;
std::unique_ptr<QApplication> gOwnedApp;

void FreeGlobals() {
    // Runs while the Qt application object is going away: forms and windows first.
    delete gApplication;
    gApplication = nullptr;
    delete gScreen;
    gScreen = nullptr;
    ReleaseCursorCache();
}

void EnsurePostRoutine() {
    if (gPostRoutineAdded || !QCoreApplication::instance()) return;
    qAddPostRoutine(FreeGlobals);
    gPostRoutineAdded = true;
}
} // namespace

TApplication* GetApplication() {
    if (!gApplication) {
        gApplication = new TApplication(nullptr);
        EnsurePostRoutine();
    }
    return gApplication;
}

TScreen* GetScreen() {
    if (!gScreen) {
        gScreen = new TScreen(nullptr);
        EnsurePostRoutine();
    }
    return gScreen;
}

// ---------------------------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    FBorderStyle = bsSizeable;
    FWidth = 320;
    FHeight = 240;
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (gScreen) gScreen->RemoveForm(this);
    if (auto* app = dynamic_cast<TApplication*>(GetOwner())) app->FormDestroyed(this);
    if (gApplication) gApplication->FormDestroyed(this);
}

void TCustomForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    DoCreate();
    if (FVisible) {
        FVisible = false;
        SetVisible(true);
    }
}

void TCustomForm::BeforeDestruction() {
    if (FDestroyed) return;
    // The focused control stores what it holds while the form is still whole.
    LeaveFocus();
    FDestroyed = true;
    DoDestroy();
}

void TCustomForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}
void TCustomForm::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}
void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    Params.WndParent = nullptr;
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    FFormStyle = Value;
    if (QWidget* f = FrameWidgetOf(this)) {
        bool shown = f->isVisible();
        f->setWindowFlag(Qt::WindowStaysOnTopHint, Value == fsStayOnTop);
        if (shown) f->show();
    }
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (QWidget* f = FrameWidgetOf(this)) {
        if (Value == wsMaximized)
            f->setWindowState(Qt::WindowMaximized);
        else if (Value == wsMinimized)
            f->setWindowState(Qt::WindowMinimized);
        else
            f->setWindowState(Qt::WindowNoState);
    }
}

namespace {
QImage IconImage(const TBitmap& icon) {
    TBitmap copy;
    copy.Assign(icon);
    copy.SetPixelFormat(pf32bit);
    QImage img(copy.GetWidth(), copy.GetHeight(), QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < copy.GetHeight(); ++y) {
        const uint8_t* row = copy.ScanLine(y);
        for (int x = 0; x < copy.GetWidth(); ++x)
            if (row[x * 4 + 3] != 0) anyAlpha = true;
    }
    for (int y = 0; y < copy.GetHeight(); ++y) {
        const uint8_t* row = copy.ScanLine(y);
        for (int x = 0; x < copy.GetWidth(); ++x) {
            const uint8_t* px = row + x * 4;
            img.setPixel(x, y, qRgba(px[2], px[1], px[0], anyAlpha ? px[3] : 255));
        }
    }
    return img;
}

// The icon at its own size and, when it has one, at twice the size for HiDPI screens.
QIcon WindowIcon(const TBitmap& icon) {
    QIcon result(QPixmap::fromImage(IconImage(icon)));
    if (const TBitmap* detail = icon.GetDetail()) result.addPixmap(QPixmap::fromImage(IconImage(*detail)));
    return result;
}
} // namespace

void TCustomForm::SetIcon(const TBitmap* Icon) {
    FHasIcon = Icon && !Icon->GetEmpty();
    if (!FHasIcon) {
        FIcon.reset();
        return;
    }
    FIcon = std::make_unique<TBitmap>();
    FIcon->Assign(Icon);
    if (QWidget* f = FrameWidgetOf(this)) f->setWindowIcon(WindowIcon(*FIcon));
}

namespace {
void KeepOnWorkArea(TCustomForm* Form) {
    // Places are designed for one screen; on a smaller or scaled one (a scale factor of 2 halves
    // the room in device-independent pixels) the window moves, and shrinks if it must, so that all
    // of it can be reached.
    QPoint centre(Form->GetLeft() + Form->GetWidth() / 2, Form->GetTop() + Form->GetHeight() / 2);
    QScreen* screen = QGuiApplication::screenAt(centre);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->availableGeometry();
    int w = std::max(std::min(Form->GetWidth(), area.width()), Form->GetConstraints()->GetMinWidth());
    int h = std::max(std::min(Form->GetHeight(), area.height()), Form->GetConstraints()->GetMinHeight());
    int x = std::max(area.left(), std::min(Form->GetLeft(), area.left() + area.width() - w));
    int y = std::max(area.top(), std::min(Form->GetTop(), area.top() + area.height() - h));
    if (x != Form->GetLeft() || y != Form->GetTop() || w != Form->GetWidth() || h != Form->GetHeight())
        Form->SetBounds(x, y, w, h);
}
} // namespace

void TCustomForm::SetVisible(bool Value) {
    if (Value) {
        HandleNeeded();
        QWidget* f = FrameWidgetOf(this);
        if (f) {
            // The window system keeps the window within the size constraints.
            TRect m = GetWindowPrivate()->NonClient();
            int mw = m.Left + m.Right, mh = m.Top + m.Bottom;
            TSizeConstraints* c = GetConstraints();
            f->setMinimumSize(std::max(0, c->GetMinWidth() - mw), std::max(0, c->GetMinHeight() - mh));
            f->setMaximumSize(c->GetMaxWidth() > 0 ? std::max(0, c->GetMaxWidth() - mw) : QWIDGETSIZE_MAX,
                              c->GetMaxHeight() > 0 ? std::max(0, c->GetMaxHeight() - mh) : QWIDGETSIZE_MAX);
            if (FIcon) f->setWindowIcon(WindowIcon(*FIcon));
        }
        if (FPosition == poScreenCenter && !FVisible) {
            int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
            SetBounds((sw - FWidth) / 2, (sh - FHeight) / 2, FWidth, FHeight);
        }
        if (!FVisible && !GetParent()) KeepOnWorkArea(this);
    }
    // Hidden, the form is left: the focused control stores what it holds while it still shows.
    if (!Value && FVisible) LeaveFocus();
    bool was = FVisible;
    TCustomControl::SetVisible(Value);
    if (Value) FClosed = false;
    if (Value && !was) {
        if (QWidget* f = FrameWidgetOf(this)) {
            RaiseWindow(f);
            f->activateWindow();
        }
        DoShow();
        if (FActiveControl && FActiveControl->CanFocus()) FActiveControl->SetFocus();
    } else if (!Value && was) {
        DoHide();
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    if (QWidget* f = FrameWidgetOf(this)) RaiseWindow(f);
}

void TCustomForm::Hide() {
    SetVisible(false);
}

bool TCustomForm::CloseQuery() {
    bool can = true;
    if (OnCloseQuery) OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Close() {
    // What the focused control holds (a grid's open edit) is stored before anyone is asked.
    LeaveFocus();
    if (!CloseQuery()) {
        EnterFocusAgain();
        return;
    }
    // The application that owns the form (the global one for forms it did not create).
    TApplication* app = dynamic_cast<TApplication*>(GetOwner());
    if (!app) app = gApplication;
    bool isMain = app && app->GetMainForm() == this;
    TCloseAction action = isMain ? caFree : caHide;
    DoClose(action);
    if (action == caNone) {
        EnterFocusAgain();
        return;
    }
    if (isMain) {
        Hide();
        FClosed = true;
        app->MainFormClosed();
        return;
    }
    Hide();
    FClosed = true;
    if (action == caFree) Release();
}

void TCustomForm::Release() {
    HandleNeeded();
    QWidget* f = FrameWidgetOf(this);
    QTimer::singleShot(0, f, [this] {
        BeforeDestruction();
        delete this;
    });
}

bool TCustomForm::IsActive() const {
    QWidget* f = FrameWidgetOf(const_cast<TCustomForm*>(this));
    return f && f->isActiveWindow();
}

void TCustomForm::AddShortCut(TShortCut Key, TControl* Target) {
    FShortCuts.Add(Key, Target);
    if (Target != this) FreeNotification(Target);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove) FShortCuts.Remove(AComponent);
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control && Control != FActiveControl && IsShowing() && Control->CanFocus()) {
        Control->SetFocus();
        return;
    }
    FActiveControl = Control;
}

void TCustomForm::FocusChanged(TWinControl* Control) {
    if ((Control == FActiveControl && !FFocusLeft) || Control == this) return;
    // After the form was left, the active control has heard its exit already.
    TWinControl* Old = FFocusWalking ? FFocusWalk : FFocusLeft ? nullptr : FActiveControl;
    FActiveControl = Control;
    // Windows torn down pass the focus around, and so do the exits of a form being left: nobody
    // is told of it any more.
    if (IsDestroying() || FLeaving) return;
    FFocusLeft = false;
    const unsigned Change = ++FFocusChanges;
    const TScopedChange Walking(FFocusWalking, true);
    FFocusWalk = Old;
    // A handler that moved the focus on has told everyone already.
    if (!SendExits(FFocusWalk, Control) || !Control) return;
    TWinControl* const Common = FFocusWalk;
    std::vector<TWinControl*> Entered;
    for (TWinControl* c = Control; c && c != this && c != Common; c = c->GetParent())
        Entered.push_back(c);
    for (auto It = Entered.rbegin(); It != Entered.rend(); ++It) {
        FFocusWalk = *It;
        (*It)->Perform(CM_ENTER);
        if (Change != FFocusChanges) return;
    }
}

void TCustomForm::LeaveFocus() {
    if (!FActiveControl || FFocusLeft || FLeaving || IsDestroying()) return;
    TScopedChange Leaving(FLeaving, true);
    FFocusLeft = true;
    TWinControl* From = FActiveControl;
    SendExits(From, nullptr);
}

bool TCustomForm::SendExits(TWinControl*& From, TWinControl* To) {
    const unsigned Change = FFocusChanges;
    // Only the controls the focus really leaves hear it: a control whose own child takes the
    // focus keeps it in that sense, so a grid is not told it lost the focus to its own editor.
    while (From && From != this && !(To && From->ContainsControl(To))) {
        // An exit may give a borrowed child back to its owner: the walk goes on from the parent
        // it had.
        TWinControl* const Leaving = From;
        From = Leaving->GetParent();
        if (!Leaving->IsDestroying()) Leaving->Perform(CM_EXIT);
        if (Change != FFocusChanges) return false;
    }
    return true;
}

void TCustomForm::EnterFocusAgain() {
    if (FFocusLeft && FActiveControl && FActiveControl->Focused()) FocusChanged(FActiveControl);
}

void TCustomForm::WindowCloseRequested(bool& Accept) {
    Close();
    Accept = FClosed;
}

void TCustomForm::WMDropFiles(TMessage& Message) {
    const auto* Files = reinterpret_cast<const std::vector<WideString>*>(Message.WParam);
    if (Files && OnDropFiles) OnDropFiles(this, *Files);
}

void TCustomForm::CMDialogChar(TMessage& Message) {
    std::vector<TControl*> all;
    std::function<void(TWinControl*)> collect = [&](TWinControl* w) {
        for (int i = 0; i < w->GetControlCount(); ++i) {
            TControl* c = w->GetControl(i);
            all.push_back(c);
            if (auto* cw = dynamic_cast<TWinControl*>(c)) collect(cw);
        }
    };
    collect(this);
    WideChar key = WideChar(Message.WParam);
    for (TControl* c : all) {
        auto* label = dynamic_cast<TCustomLabel*>(c);
        if (!label || !label->IsShowing() || label->GetAccelChar() != key) continue;
        if (TWinControl* target = label->GetFocusControl(); target && target->CanFocus()) {
            target->SetFocus();
            Message.Result = 1;
            return;
        }
    }
}

void TCustomForm::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        CMDialogChar(Message);
        return;
    }
    TCustomControl::WndProc(Message);
}

void TCustomForm::CMDialogKey(TMessage& Message) {
    if (Message.WParam == VK_TAB) {
        SelectNext(FActiveControl, !GetKeyShiftState().Contains(ssShift), true);
        Message.Result = 1;
        return;
    }
    TCustomControl::CMDialogKey(Message);
}

// ---------------------------------------------------------------------------------------------
// THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    FColor = gApplication ? gApplication->GetHintColor() : clInfoBk;
    FParentColor = false;
    FParentFont = false;
    FFont->SetName("Tahoma");
    FFont->SetColor(clInfoText);
    FParentFont = false;
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClassStyle |= CS_SAVEBITS;
}

void THintWindow::ActivateHint(const TRect& Rect, const WideString& AHint) {
    SetCaption(AHint);
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    HandleNeeded();
    Invalidate();
    FVisible = false;
    SetVisible(true);
    if (QWidget* f = FrameWidgetOf(this)) RaiseWindow(f);
}

void THintWindow::ActivateHintData(const TRect& Rect, const WideString& AHint, void*) {
    ActivateHint(Rect, AHint);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const WideString& AHint, void*) {
    TRect r{0, 0, MaxWidth, 0};
    TCanvas* c = GetCanvas();
    c->SetFont(*FFont);
    c->DrawText(AHint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ReleaseHandle() {
    FVisible = false;
    DestroyWnd();
}

bool THintWindow::IsHintShowing() const {
    QWidget* f = FrameWidgetOf(const_cast<THintWindow*>(this));
    return f && f->isVisible();
}

void THintWindow::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    c->GetBrush()->SetColor(FColor);
    c->FillRect(r);
    r.Left += 2;
    r.Top += 2;
    c->SetFont(*FFont);
    c->GetBrush()->SetStyle(bsClear);
    WideString text = GetCaption();
    c->DrawText(text, r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// ---------------------------------------------------------------------------------------------
// TApplication

struct TApplication::Private {
    QEventLoop* Loop = nullptr;
    std::unique_ptr<QTimer> ShowTimer;
    std::unique_ptr<QTimer> HideTimer;
    int ShowingDepth = 0;
};

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), P(std::make_unique<Private>()) {
    FHintWindowClass = [](TComponent* owner) { return new THintWindow(owner); };
}

TApplication::~TApplication() {
    Destroying();
    // Forms and the hint window belong to the application; they go while Qt is still there.
    P->ShowTimer.reset();
    P->HideTimer.reset();
    for (int i = GetComponentCount() - 1; i >= 0; --i)
        if (auto* f = dynamic_cast<TCustomForm*>(GetComponent(i))) f->BeforeDestruction();
    DestroyComponents();
}

void TApplication::Initialize() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "quillmar";
        static char* argv[] = {name, nullptr};
        gOwnedApp = std::make_unique<QApplication>(argc, argv);
        // Qt's own globals, made while the application object was built, go before static
        // destructors registered earlier: the application object must go first.
        std::atexit([] { gOwnedApp.reset(); });
    }
    EnsurePostRoutine();
}

void TApplication::RegisterForm(TCustomForm* Form) {
    if (!FMainForm) {
        FMainForm = Form;
        FreeNotification(Form);
    }
    Form->AfterConstruction();
}

void TApplication::FormDestroyed(TCustomForm* Form) {
    if (FMainForm == Form) FMainForm = nullptr;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FMainForm) FMainForm = nullptr;
    if (AComponent == FHintControl) FHintControl = nullptr;
    if (AComponent == FHintWindow) FHintWindow = nullptr;
}

void TApplication::Run() {
    Initialize();
    FTerminated = false;
    if (FMainForm) {
        GuardedCall(this, [&] { FMainForm->Show(); });
    }
    if (!FMainForm || FMainForm->IsClosed()) return;
    QEventLoop loop;
    P->Loop = &loop;
    while (!FTerminated) {
        loop.exec();
        if (!FMainForm || FMainForm->IsClosed()) FTerminated = true;
    }
    P->Loop = nullptr;
}

void TApplication::ProcessMessages() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TApplication::Terminate() {
    FTerminated = true;
    if (P->Loop) P->Loop->quit();
}

void TApplication::MainFormClosed() {
    Terminate();
}

void TApplication::ShowException(const std::exception& E) {
    std::string msg = E.what();
    // The platform ends a message with a full stop.
    if (!msg.empty() && uint8_t(msg.back()) > uint8_t('.')) msg += '.';
    MessageBox(Utf8ToWide(msg), FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(TObject* Sender) {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            if (OnException)
                OnException(Sender, e);
            else
                ShowException(e);
        } catch (...) {
            Exception e("");
            if (OnException)
                OnException(Sender, e);
            else
                ShowException(e);
        }
    } catch (...) {
        // Showing the error failed as well; the loop must go on regardless.
    }
}

int TApplication::MessageBox(const WideString& Text, const WideString& Caption, UINT Flags) {
    CancelHint();
    return GetDialogProvider().MessageBox(Text, Caption.empty() ? FTitle : Caption, Flags);
}

void TApplication::SetShowHint(bool Value) {
    FShowHint = Value;
    if (!Value) CancelHint();
}

bool TApplication::GetActive() const {
    return QApplication::activeWindow() != nullptr;
}

void TApplication::ActiveChanged(bool Active) {
    if (!Active) CancelHint();
    TNotifyEvent& handler = Active ? OnActivate : OnDeactivate;
    if (handler) handler(this);
}

void TApplication::HintMouseMessage(TControl* Control, const TPoint& ScreenPos) {
    TControl* hc = Control;
    if (!FShowHint || !hc || hc->GetHint().empty() || !hc->GetShowHint()) {
        if (FHintControl) CancelHint();
        return;
    }
    if (hc == FHintControl) return;
    bool showing = FHintWindow && FHintWindow->IsHintShowing();
    if (FHintControl) RemoveFreeNotification(FHintControl);
    FHintControl = hc;
    FreeNotification(hc);
    FHintPos = ScreenPos;
    if (!P->ShowTimer) {
        P->ShowTimer = std::make_unique<QTimer>();
        P->ShowTimer->setSingleShot(true);
        QObject::connect(P->ShowTimer.get(), &QTimer::timeout, [this] { HintTimerExpired(0); });
    }
    if (P->HideTimer) P->HideTimer->stop();
    P->ShowTimer->start(showing ? FHintShortPause : FHintPause);
}

void TApplication::HintTimerExpired(int Which) {
    GuardedCall(this, [&] {
        if (Which == 1) {
            HideHint();
            return;
        }
        if (!FHintControl) return;
        if (!FHintWindow) {
            FHintWindow = FHintWindowClass(this);
            FreeNotification(FHintWindow);
        }
        FHint = FHintControl->GetHint();
        FHintWindow->SetColor(FHintColor);
        TRect r = FHintWindow->CalcHintRect(std::max(100, GetSystemMetrics(SM_CXSCREEN) / 2), FHint, nullptr);
        TPoint p = GetCursorPos();
        OffsetRect(r, p.X, p.Y + 20);
        FHintWindow->ActivateHint(r, FHint);
        if (OnHint) OnHint(this);
        if (!P->HideTimer) {
            P->HideTimer = std::make_unique<QTimer>();
            P->HideTimer->setSingleShot(true);
            QObject::connect(P->HideTimer.get(), &QTimer::timeout, [this] { HintTimerExpired(1); });
        }
        P->HideTimer->start(FHintHidePause);
    });
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
    TWinControl* w = FindVCLWindow(CursorPos);
    if (!w) return;
    TPoint local = w->ScreenToClient(CursorPos);
    TControl* c = w->ControlAtPos(local, true);
    if (!c) c = w;
    CancelHint();
    HintMouseMessage(c, CursorPos);
    if (P->ShowTimer && P->ShowTimer->isActive()) {
        P->ShowTimer->stop();
        HintTimerExpired(0);
    }
}

void TApplication::CancelHint() {
    if (P->ShowTimer) P->ShowTimer->stop();
    if (P->HideTimer) P->HideTimer->stop();
    HideHint();
    if (FHintControl) RemoveFreeNotification(FHintControl);
    FHintControl = nullptr;
}

void TApplication::HideHint() {
    if (FHintWindow && FHintWindow->IsHintShowing()) FHintWindow->ReleaseHandle();
}

// ---------------------------------------------------------------------------------------------
// TScreen

struct TScreen::Private {
    std::map<int, HCURSOR> Cursors;
    bool OverrideActive = false;
};

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner), P(std::make_unique<Private>()) {}

TScreen::~TScreen() {
    if (P->OverrideActive && QGuiApplication::instance()) QGuiApplication::restoreOverrideCursor();
}

HCURSOR StockCursor(int Index);

HCURSOR TScreen::GetCursors(int Index) const {
    auto it = P->Cursors.find(Index);
    if (it != P->Cursors.end()) return it->second;
    return StockCursor(Index);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
    if (Handle)
        P->Cursors[Index] = Handle;
    else
        P->Cursors.erase(Index);
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    FCursor = Value;
    if (!QGuiApplication::instance()) return;
    if (Value == crDefault) {
        if (P->OverrideActive) QGuiApplication::restoreOverrideCursor();
        P->OverrideActive = false;
    } else if (P->OverrideActive) {
        QGuiApplication::changeOverrideCursor(CursorToQt(Value));
    } else {
        QGuiApplication::setOverrideCursor(CursorToQt(Value));
        P->OverrideActive = true;
    }
}

int TScreen::GetWidth() const {
    return GetSystemMetrics(SM_CXSCREEN);
}
int TScreen::GetHeight() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

TCustomForm* TScreen::GetActiveForm() const {
    QWidget* w = QApplication::activeWindow();
    return w ? dynamic_cast<TCustomForm*>(ControlOfWidget(w)) : nullptr;
}

TWinControl* TScreen::GetActiveControl() const {
    return GetFocus();
}

TCustomForm* TScreen::GetForm(int Index) const {
    if (Index < 0 || Index >= GetFormCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FForms[size_t(Index)];
}

void TScreen::AddForm(TCustomForm* Form) {
    FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
}
