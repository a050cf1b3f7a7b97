// Button edit and popup edit: the button inside the edit, and the window dropped under it.
#include "controls/NxButtonEdit.h"

#include <algorithm>

#include "platform/windows/Forms.h"

namespace NxEdit {

// ---------------------------------------------------------------------------------------------
// TNxSmallButton

TNxSmallButton::TNxSmallButton(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(false);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TNxSmallButton::SetCaption(const WideString& Value) {
    FCaption = Value;
    Invalidate();
}

void TNxSmallButton::SetDropArrow(bool Value) {
    FDropArrow = Value;
    Invalidate();
}

void TNxSmallButton::Paint() {
    TCanvas* Canvas = GetCanvas();
    const TRect Client = GetClientRect();
    Canvas->GetBrush()->SetColor(FDown ? clBtnShadow : clBtnFace);
    Canvas->FillRect(Client);
    Canvas->GetBrush()->SetColor(clBtnShadow);
    Canvas->FrameRect(Client);
    if (FDropArrow) {
        const int cx = Client.Width() / 2, cy = Client.Height() / 2;
        Canvas->GetPen()->SetColor(clBtnText);
        Canvas->GetBrush()->SetColor(clBtnText);
        Canvas->Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
        return;
    }
    TRect TextRect = Client;
    Canvas->SetFont(GetFont());
    Canvas->GetFont()->SetColor(clBtnText);
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->DrawText(FCaption, TextRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TNxSmallButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FDown = true;
    Invalidate();
    if (OnButtonDown) OnButtonDown(this);
}

void TNxSmallButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // The click itself comes from the platform, only for a release inside the button.
    FDown = false;
    Invalidate();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------------------------
// TNxCustomButtonEdit

TNxCustomButtonEdit::TNxCustomButtonEdit(TComponent* AOwner) : TNxEdit(AOwner) {
    FButton = new TNxSmallButton(this);
    FButton->SetParent(this);
    FButton->OnClick = [this](TObject*) { DoButtonClick(); };
    FButton->OnButtonDown = [this](TObject*) { DoButtonDown(); };
    PlaceButton();
}

void TNxCustomButtonEdit::SetShowButton(bool Value) {
    FShowButton = Value;
    PlaceButton();
    UpdateEditRect();
}

void TNxCustomButtonEdit::SetButtonWidth(int Value) {
    FButtonWidth = std::max(0, Value);
    PlaceButton();
    UpdateEditRect();
}

TRect TNxCustomButtonEdit::GetButtonRect() const {
    if (!FShowButton) return {};
    const TRect Client = GetClientRect();
    return {Client.Right - FButtonWidth, Client.Top, Client.Right, Client.Bottom};
}

void TNxCustomButtonEdit::DoButtonClick() {
    if (OnButtonClick) OnButtonClick(this);
}

void TNxCustomButtonEdit::DoButtonDown() {
    if (OnButtonDown) OnButtonDown(this);
}

void TNxCustomButtonEdit::UpdateEditMargins(int& Left, int& Right) {
    TNxEdit::UpdateEditMargins(Left, Right);
    if (FShowButton) Right += FButtonWidth;
}

void TNxCustomButtonEdit::KeyDown(Word& Key, TShiftState Shift) {
    TNxEdit::KeyDown(Key, Shift);
    if (Key == VK_RETURN && Shift.Contains(ssCtrl) && FShowButton) {
        Key = 0;
        DoButtonClick();
    }
}

void TNxCustomButtonEdit::WMSize(TMessage& Message) {
    TNxEdit::WMSize(Message);
    PlaceButton();
}

void TNxCustomButtonEdit::PlaceButton() {
    if (!FButton) return;
    const TRect r = GetButtonRect();
    FButton->SetVisible(FShowButton);
    if (FShowButton) FButton->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

// ---------------------------------------------------------------------------------------------
// TNxPopupControl

TNxPopupControl::TNxPopupControl(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetTabStop(false);
    SetParentColor(false);
    SetColor(clWindow);
}

void TNxPopupControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

// ---------------------------------------------------------------------------------------------
// TNxPopupEdit

TNxPopupEdit::TNxPopupEdit(TComponent* AOwner) : TNxCustomButtonEdit(AOwner) {
    GetButton()->SetDropArrow(true);
    SetButtonWidth(17);
}

TNxPopupEdit::~TNxPopupEdit() {
    // The popup is a top-level window: it must not outlive the edit on screen.
    if (FPopup) FPopup->SetVisible(false);
}

TNxPopupControl* TNxPopupEdit::GetPopup() {
    if (!FPopup) {
        FPopup = CreatePopupControl();
        FPopup->SetFont(GetFont());
        FPopup->OnPicked = [this](TObject*) {
            PopupPicked();
            if (OnSelect) OnSelect(this);
            CloseUp();
        };
    }
    return FPopup;
}

bool TNxPopupEdit::GetDroppedDown() const {
    return FPopup && FPopup->GetVisible();
}

void TNxPopupEdit::DropDown() {
    // Without a window on screen there is no place to drop to.
    if (!HandleAllocated() || !GetVisible()) return;
    TNxPopupControl* Popup = GetPopup();
    PreparePopup();
    const TSize Size = Popup->GetPopupSize(GetWidth());
    // The edit's outer top-left on the screen, from its client origin and the border around it.
    const int Border = (GetWidth() - GetClientWidth()) / 2;
    const TPoint ScreenOrigin = ClientToScreen({-Border, -Border});
    int ScreenTop = ScreenOrigin.Y + GetHeight();
    if (ScreenTop + Size.cy > Screen->GetHeight() && ScreenOrigin.Y - Size.cy >= 0)
        ScreenTop = ScreenOrigin.Y - Size.cy;
    Popup->SetBounds(ScreenOrigin.X, ScreenTop, Size.cx, Size.cy);
    Popup->HandleNeeded();
    Popup->SetVisible(true);
    Popup->BringToFront();
    Popup->Invalidate();
}

void TNxPopupEdit::CloseUp() {
    if (!GetDroppedDown()) return;
    FPopup->SetVisible(false);
    if (OnCloseUp) OnCloseUp(this);
}

void TNxPopupEdit::DoButtonClick() {
    if (GetDroppedDown())
        CloseUp();
    else
        DropDown();
    TNxCustomButtonEdit::DoButtonClick();
}

void TNxPopupEdit::KeyDown(Word& Key, TShiftState Shift) {
    // The popup's keys are handled before OnKeyDown: a grid listening there would otherwise
    // take Enter and Esc meant for the dropped list as the end of the whole edit.
    if ((Key == VK_DOWN && Shift.Contains(ssAlt)) || Key == VK_F1 + 3) {
        Key = 0;
        if (GetDroppedDown())
            CloseUp();
        else
            DropDown();
        return;
    }
    if (GetDroppedDown()) {
        if (Key == VK_ESCAPE) {
            Key = 0;
            CloseUp();
            return;
        }
        if (Key == VK_RETURN && !Shift.Contains(ssCtrl)) {
            Key = 0;
            FPopup->Accept();
            return;
        }
        if (FPopup->NavigateKey(Key, Shift)) {
            Key = 0;
            return;
        }
    }
    TNxCustomButtonEdit::KeyDown(Key, Shift);
}

void TNxPopupEdit::WMKillFocus(TMessage& Message) {
    TNxCustomButtonEdit::WMKillFocus(Message);
    CloseUp();
}

} // namespace NxEdit
