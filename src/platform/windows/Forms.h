#pragma once
// Forms, the application object, the screen and the hint window.
//
// The global Application and Screen objects are created on first use and freed when the Qt application object
// goes away, so forms and windows are always released while the window system still exists.

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/Controls.h"
#include "platform/windows/ShortCuts.h"

class TBitmap;
class THintWindow;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

// A top-level window with a caption, border and client area. Left and Top are screen coordinates.
class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Runs OnCreate once; TApplication::CreateForm calls it after construction.
    void AfterConstruction();
    // Leaves the focus (LeaveFocus) and runs OnDestroy once; the application and Release call it
    // before freeing the form (a destructor cannot, since the derived form is gone by then).
    void BeforeDestruction();

    void Show();
    void Hide();
    // Leaves the focus (LeaveFocus), so the handlers see what the focused control held, then asks
    // OnCloseQuery, then OnClose; caHide hides, caFree frees later, caNone keeps it open.
    // Closing the main form ends the application's loop.
    void Close();
    // Frees the form once the messages pending now have been handled.
    void Release();
    bool IsClosed() const { return FClosed; }

    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState GetWindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    bool GetKeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    int GetPixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    int GetTextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }
    bool GetOldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
    // The window icon; a copy is kept.
    void SetIcon(const TBitmap* Icon);
    bool HasIcon() const { return FHasIcon; }

    TWinControl* GetActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    bool IsActive() const;

    // Keyboard shortcuts of the form: pressed anywhere in it, Key clicks Target while Target is
    // showing and enabled, before the focused control sees the key (see TShortCutList).
    void AddShortCut(TShortCut Key, TControl* Target);
    // The keys that click Target, in the order added (what its accessible action names).
    std::vector<TShortCut> GetShortCutsOf(const TControl* Target) const { return FShortCuts.KeysOf(Target); }
    // Runs the shortcut; true when a target took the key.
    bool IsShortCut(TShortCut Key) { return FShortCuts.Execute(Key); }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    // Files dropped on the form (after DragAcceptFiles(true)), full paths as path texts
    // (PathToText) in the order given.
    std::function<void(TObject* Sender, const std::vector<WideString>& Files)> OnDropFiles;

    virtual bool CloseQuery();
    void SetVisible(bool Value) override;
    void CMDialogKey(TMessage& Message) override;
    // Alt plus a character focuses the FocusControl of the label with that accelerator.
    virtual void CMDialogChar(TMessage& Message);
    void WMDropFiles(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    // Internal: the window was closed by the window system (title bar button).
    void WindowCloseRequested(bool& Accept);
    // Internal: focus moved to Control inside this form. CM_EXIT goes to each control the focus
    // leaves, from the old focused control up to (not including) the nearest one that contains
    // Control; CM_ENTER then goes to each control below that one, from the outside in to
    // Control. A handler that moves the focus again ends this round.
    void FocusChanged(TWinControl* Control);
    // The focus leaves the form (it closes, hides or is about to be freed): CM_EXIT goes to the
    // focused control and each parent up to the form, as when the focus moves to a control
    // outside them, so what they hold (a grid's open edit) is stored. Focus changes during it
    // are only recorded. The control stays the active one; focused again, it and its parents
    // hear CM_ENTER. Does nothing when nothing is focused or the exit was sent already.
    void LeaveFocus();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoClose(TCloseAction& Action);
    virtual void DoShow();
    virtual void DoHide();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // After a refused close: the still focused active control hears CM_ENTER again.
    void EnterFocusAgain();
    // CM_EXIT to From and each parent up to, not including, the form or the nearest control
    // that contains To; From ends at that control. False when a handler moved the focus on.
    bool SendExits(TWinControl*& From, TWinControl* To);

    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    int FPixelsPerInch = 96;
    int FTextHeight = 13;
    bool FOldCreateOrder = false;
    bool FCreated = false;
    bool FClosed = false;
    bool FHasIcon = false;
    bool FDestroyed = false;
    std::unique_ptr<TBitmap> FIcon;
    TWinControl* FActiveControl = nullptr;
    unsigned FFocusChanges = 0;
    bool FFocusLeft = false; // the active control has heard CM_EXIT and no CM_ENTER since
    bool FLeaving = false;   // LeaveFocus is sending its exits
    // While a focus change sends its exits and enters: the control the focus is in by what was sent
    // so far. A handler that moves the focus on goes on from there, so no control hears an exit
    // without its enter, nor misses the enter of a control it lands in.
    bool FFocusWalking = false;
    TWinControl* FFocusWalk = nullptr;
    TShortCutList FShortCuts;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// The tool-tip window: a borderless topmost popup that shows one text.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    ~THintWindow() override;
    // Shows the window over the screen rectangle with the text.
    virtual void ActivateHint(const TRect& Rect, const WideString& AHint);
    virtual void ActivateHintData(const TRect& Rect, const WideString& AHint, void* AData);
    // The rectangle (origin 0, 0) that the text needs, wrapped at MaxWidth.
    virtual TRect CalcHintRect(int MaxWidth, const WideString& AHint, void* AData);
    // Hides the window and gives up its window; the object stays.
    void ReleaseHandle();
    bool IsHintShowing() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};
using THintWindowClass = std::function<THintWindow*(TComponent* AOwner)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize();
    const WideString& GetTitle() const { return FTitle; }
    void SetTitle(const WideString& Value) { FTitle = Value; }

    // Creates a form owned by the application; the first one becomes the main form.
    // OnCreate runs after the form's constructor; the form shows itself when its Visible is set.
    template <typename T> void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        RegisterForm(form);
    }
    TCustomForm* GetMainForm() const { return FMainForm; }

    // Runs the message loop until the main form closes or Terminate is called.
    void Run();
    // Handles the messages pending now, then returns.
    void ProcessMessages();
    // Waits for one message and handles it (and whatever else is pending).
    void HandleMessage();
    void Terminate();
    bool GetTerminated() const { return FTerminated; }

    // Shows the exception's message in a message box with the application's title.
    void ShowException(const std::exception& E);
    // Called from a catch block: raises OnException, or shows the exception; the loop goes on.
    void HandleException(TObject* Sender);
    TExceptionEvent OnException;

    // A message box through the dialog provider; returns the button pressed (IDOK, ...).
    int MessageBox(const WideString& Text, const WideString& Caption, UINT Flags = 0);

    // Hints.
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TColor GetHintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    int GetHintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int GetHintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int GetHintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    // The factory of hint windows for the application and for controls that show their own.
    const THintWindowClass& GetHintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(THintWindowClass Value) { FHintWindowClass = std::move(Value); }
    // The application's hint window (created on first use); null before.
    THintWindow* GetHintWindow() const { return FHintWindow; }
    const WideString& GetHint() const { return FHint; }
    // Shows the hint of the control under the pointer at once (the pause is skipped).
    void ActivateHint(const TPoint& CursorPos);
    void CancelHint();
    void HideHint();
    TNotifyEvent OnHint;

    bool GetActive() const;
    // Raised when the application gains or loses the focus, after every window had WM_ACTIVATEAPP
    // (WParam 1 or 0).
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    // Internal: the application gained (true) or lost the focus, after every window had
    // WM_ACTIVATEAPP; raises OnActivate or OnDeactivate.
    void ActiveChanged(bool Active);

    // Internal: the pointer moved over Control (or left every control when null).
    void HintMouseMessage(TControl* Control, const TPoint& ScreenPos);
    // Internal: forms register and unregister here.
    void RegisterForm(TCustomForm* Form);
    void FormDestroyed(TCustomForm* Form);
    void MainFormClosed();
    void HintTimerExpired(int Which);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct Private;
    std::unique_ptr<Private> P;
    WideString FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FShowHint = true;
    TColor FHintColor = clInfoBk;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    THintWindowClass FHintWindowClass;
    THintWindow* FHintWindow = nullptr;
    TControl* FHintControl = nullptr;
    TPoint FHintPos;
    WideString FHint;
};

// Cursor handles: registered cursors are looked up by number in Screen->Cursors.
struct TCursorData;
using HCURSOR = const TCursorData*;
using HINSTANCE = void*;
inline HINSTANCE HInstance = nullptr;
// The program's cursor resources ("REVERSEDARROW", "HORZSPLIT", "COLUMNNODRAG", "VERTSPLIT",
// "INDICATORSELECT", "ROLL", "ROLLUP", "ROLLDOWN"); null for an unknown name.
HCURSOR LoadCursor(HINSTANCE Instance, const char* Name);
// The size and hot spot of a cursor, for checks.
TSize GetCursorSize(HCURSOR Cursor);
TPoint GetCursorHotSpot(HCURSOR Cursor);

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // The cursor registered under Index (stock cursors for the negative numbers).
    HCURSOR GetCursors(int Index) const;
    void SetCursors(int Index, HCURSOR Handle);
    // The screen cursor overrides every control's cursor while it is not crDefault.
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    int GetWidth() const;
    int GetHeight() const;
    int GetPixelsPerInch() const { return 96; }
    TCustomForm* GetActiveForm() const;
    TWinControl* GetActiveControl() const;
    int GetFormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* GetForm(int Index) const;

    // Internal.
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);

private:
    struct Private;
    std::unique_ptr<Private> P;
    TCursor FCursor = crDefault;
    std::vector<TCustomForm*> FForms;
};

TApplication* GetApplication();
TScreen* GetScreen();
// Application->X and Screen->X reach the global objects, created on first use.
struct TApplicationRef {
    TApplication* operator->() const { return GetApplication(); }
    operator TApplication*() const { return GetApplication(); }
};
struct TScreenRef {
    TScreen* operator->() const { return GetScreen(); }
    operator TScreen*() const { return GetScreen(); }
};
inline constexpr TApplicationRef Application{};
inline constexpr TScreenRef Screen{};

// Message box flags and results.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_APPLMODAL = 0x0;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
