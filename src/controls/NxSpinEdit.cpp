// Spin buttons, number edit and spin edit.
#include "controls/NxSpinEdit.h"

#include <algorithm>
#include <cmath>

#include "platform/runtime/SysUtils.h"

namespace NxEdit {

namespace {
constexpr uintptr_t RepeatTimer = 1;
}

// ---------------------------------------------------------------------------------------------
// TNxSpinButtons

TNxSpinButtons::TNxSpinButtons(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(false);
    SetParentColor(false);
    SetColor(clBtnFace);
}

TRect TNxSpinButtons::GetUpRect() const {
    const TRect Client = GetClientRect();
    return {Client.Left, Client.Top, Client.Right, Client.Top + Client.Height() / 2};
}

TRect TNxSpinButtons::GetDownRect() const {
    const TRect Client = GetClientRect();
    return {Client.Left, GetUpRect().Bottom, Client.Right, Client.Bottom};
}

void TNxSpinButtons::PlaceIn(const TRect& EditClient, bool Show) {
    SetVisible(Show);
    if (Show) SetBounds(EditClient.Right - SpinButtonsWidth, 0, SpinButtonsWidth, EditClient.Height());
}

void TNxSpinButtons::PaintArrow(TCanvas* Canvas, const TRect& Rect, bool Up, bool Down) {
    Canvas->GetBrush()->SetColor(Down ? clBtnShadow : clBtnFace);
    Canvas->FillRect(Rect);
    Canvas->GetBrush()->SetColor(clBtnShadow);
    Canvas->FrameRect(Rect);
    const int cx = (Rect.Left + Rect.Right) / 2, cy = (Rect.Top + Rect.Bottom) / 2;
    Canvas->GetPen()->SetColor(clBtnText);
    Canvas->GetBrush()->SetColor(clBtnText);
    if (Up)
        Canvas->Polygon({TPoint{cx - 3, cy + 1}, TPoint{cx + 3, cy + 1}, TPoint{cx, cy - 2}});
    else
        Canvas->Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
}

void TNxSpinButtons::Paint() {
    TCanvas* Canvas = GetCanvas();
    PaintArrow(Canvas, GetUpRect(), true, FPressed && FDirection == TNxSpinDirection::Up);
    PaintArrow(Canvas, GetDownRect(), false, FPressed && FDirection == TNxSpinDirection::Down);
}

void TNxSpinButtons::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FPressed = true;
    FDirection = PtInRect(GetUpRect(), {X, Y}) ? TNxSpinDirection::Up : TNxSpinDirection::Down;
    Invalidate();
    SetTimer(RepeatTimer, StartDelay);
    if (OnSpin) OnSpin(FDirection);
}

void TNxSpinButtons::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FPressed = false;
    KillTimer(RepeatTimer);
    Invalidate();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TNxSpinButtons::WMTimer(TMessage& Message) {
    if (Message.WParam != RepeatTimer) return TCustomControl::WMTimer(Message);
    if (!FPressed) {
        KillTimer(RepeatTimer);
        return;
    }
    // After the start delay the steps come at the shorter repeat interval.
    SetTimer(RepeatTimer, RepeatInterval);
    if (OnSpin) OnSpin(FDirection);
}

// ---------------------------------------------------------------------------------------------
// TNxCustomNumberEdit

TNxCustomNumberEdit::TNxCustomNumberEdit(TComponent* AOwner) : TNxEdit(AOwner) {
    SetText(u"0");
}

double TNxCustomNumberEdit::GetValue() const {
    return StrToFloatDef(GetText(), 0);
}

void TNxCustomNumberEdit::SetValue(double Value) {
    SetText(FormatValue(Clamp(Value)));
}

void TNxCustomNumberEdit::SetPrecision(int Value) {
    FPrecision = std::max(0, Value);
    SetValue(GetValue());
}

double TNxCustomNumberEdit::Clamp(double Value) const {
    if (FMax > FMin) return std::clamp(Value, FMin, FMax);
    return Value;
}

WideString TNxCustomNumberEdit::FormatValue(double Value) const {
    if (FPrecision > 0) return FloatToStrF(Value, ffFixed, 15, FPrecision);
    // Repeated steps of a fraction leave binary noise; 12 significant digits hide it.
    return FloatToStrF(Value, ffGeneral, 12, 0);
}

void TNxCustomNumberEdit::KeyPress(WideChar& Key) {
    TNxEdit::KeyPress(Key);
    if (Key < 32) return; // control characters: backspace, paste, undo
    const WideChar Separator = DefaultFormatSettings().DecimalSeparator;
    const WideString Text = GetText();
    const WideString Selected = GetSelText();
    auto Has = [&](WideChar c) {
        return Text.find(c) != WideString::npos && Selected.find(c) == WideString::npos;
    };
    const bool Digit = Key >= u'0' && Key <= u'9';
    const bool Sign = (Key == u'-' || Key == u'+') && GetSelStart() == 0 && !Has(u'-') && !Has(u'+');
    const bool Point = Key == Separator && !Has(Separator);
    if (!Digit && !Sign && !Point) Key = 0;
}

// ---------------------------------------------------------------------------------------------
// TNxSpinEdit

TNxSpinEdit::TNxSpinEdit(TComponent* AOwner) : TNxCustomNumberEdit(AOwner) {
    FButtons = new TNxSpinButtons(this);
    FButtons->SetParent(this);
    FButtons->OnSpin = [this](TNxSpinDirection Direction) {
        Step(Direction == TNxSpinDirection::Up ? 1 : -1);
    };
    PlaceButtons();
}

void TNxSpinEdit::SetSpinButtons(bool Value) {
    FSpinButtons = Value;
    PlaceButtons();
    UpdateEditRect();
}

void TNxSpinEdit::Step(int Count) {
    if (GetReadOnly()) return;
    SetValue(GetValue() + Count * FIncrement);
    SetSelStart(int(GetText().size()));
    if (OnSpin) OnSpin(this);
}

void TNxSpinEdit::UpdateEditMargins(int& Left, int& Right) {
    TNxCustomNumberEdit::UpdateEditMargins(Left, Right);
    if (FSpinButtons) Right += SpinButtonsWidth;
}

void TNxSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
    // The step keys are the edit's own and never reach OnKeyDown: a grid listening there would
    // take Page Up and Page Down as a move to another row, ending the edit.
    int Count = 0;
    switch (Key) {
    case VK_UP:
        Count = 1;
        break;
    case VK_DOWN:
        Count = -1;
        break;
    case VK_PRIOR:
        Count = 10;
        break;
    case VK_NEXT:
        Count = -10;
        break;
    default:
        TNxCustomNumberEdit::KeyDown(Key, Shift);
        return;
    }
    Key = 0;
    Step(Count);
}

void TNxSpinEdit::WMSize(TMessage& Message) {
    TNxCustomNumberEdit::WMSize(Message);
    PlaceButtons();
}

void TNxSpinEdit::PlaceButtons() {
    if (!FButtons) return;
    FButtons->PlaceIn(GetClientRect(), FSpinButtons);
}

} // namespace NxEdit
