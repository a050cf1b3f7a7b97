#pragma once
// Edits with a button at their right: the button edit, and the popup edit whose button drops a
// window under the edit (the base of the combo box, date, color and calculator editors).

#include <functional>

#include "controls/NxEdit.h"

namespace NxEdit {

// A small owner-drawn button placed inside an edit; it never takes the focus.
class TNxSmallButton : public TCustomControl {
public:
    explicit TNxSmallButton(TComponent* AOwner);
    WideString GetCaption() const { return FCaption; }
    void SetCaption(const WideString& Value);
    // Draws a drop-down arrow instead of the caption.
    bool GetDropArrow() const { return FDropArrow; }
    void SetDropArrow(bool Value);
    bool GetDown() const { return FDown; }
    // Raised on the press, before the release.
    TNotifyEvent OnButtonDown;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    WideString FCaption = u"...";
    bool FDropArrow = false;
    bool FDown = false;
};

class TNxCustomButtonEdit : public TNxEdit {
public:
    explicit TNxCustomButtonEdit(TComponent* AOwner);

    bool GetShowButton() const { return FShowButton; }
    void SetShowButton(bool Value);
    int GetButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    WideString GetButtonCaption() const { return FButton->GetCaption(); }
    void SetButtonCaption(const WideString& Value) { FButton->SetCaption(Value); }
    TNxSmallButton* GetButton() const { return FButton; }
    // The button's rectangle in client coordinates; empty while the button is hidden.
    TRect GetButtonRect() const;

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnButtonDown;

    // Raises OnButtonClick; the button's click and Ctrl+Enter end here.
    virtual void DoButtonClick();
    virtual void DoButtonDown();

protected:
    void UpdateEditMargins(int& Left, int& Right) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMSize(TMessage& Message) override;
    void PlaceButton();

private:
    TNxSmallButton* FButton; // owned through the component tree
    bool FShowButton = true;
    int FButtonWidth = 18;
};

class TNxButtonEdit : public TNxCustomButtonEdit {
public:
    explicit TNxButtonEdit(TComponent* AOwner) : TNxCustomButtonEdit(AOwner) {}
};

// A borderless window without parent that drops under an edit. Keys stay with the edit, which
// forwards the navigation keys; clicks reach the popup's own MouseDown.
class TNxPopupControl : public TCustomControl {
public:
    explicit TNxPopupControl(TComponent* AOwner);
    // The size the popup wants for the edit it drops from.
    virtual TSize GetPopupSize(int EditWidth) const { return {EditWidth, 120}; }
    // Moves the highlight; returns whether the key was used.
    virtual bool NavigateKey(Word /*Key*/, TShiftState /*Shift*/) { return false; }
    // Called when Enter is pressed in the edit while the popup is open.
    virtual void Accept() {}
    // Raised when the popup has taken a value the edit should show.
    std::function<void(TObject* Sender)> OnPicked;

protected:
    void CreateParams(TCreateParams& Params) override;
};

class TNxPopupEdit : public TNxCustomButtonEdit {
public:
    explicit TNxPopupEdit(TComponent* AOwner);
    ~TNxPopupEdit() override;

    // The popup of this edit, created on first use by CreatePopupControl.
    TNxPopupControl* GetPopup();
    bool GetDroppedDown() const;
    // Places the popup under the edit (above it when the screen ends below) and shows it; does
    // nothing while the edit has no window.
    void DropDown();
    // Hides the popup; raises OnCloseUp when it was open.
    void CloseUp();

    TNotifyEvent OnCloseUp;
    TNotifyEvent OnSelect;

    void DoButtonClick() override;

protected:
    virtual TNxPopupControl* CreatePopupControl() = 0;
    // Called before every drop so the popup shows the edit's current value.
    virtual void PreparePopup() {}
    // The popup has picked a value: the edit takes it, raises OnSelect and closes.
    virtual void PopupPicked() {}
    // Alt+Down and F4 drop or close; Up, Down, PageUp, PageDown go to an open popup; Enter
    // accepts and Escape closes it.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMKillFocus(TMessage& Message) override;

private:
    TNxPopupControl* FPopup = nullptr; // owned through the component tree
};

} // namespace NxEdit
