// The calculator, its drop-down and the calculator edit.
#include "controls/NxCalcEdit.h"

#include <algorithm>

#include "platform/runtime/SysUtils.h"

namespace NxEdit {

namespace {
const TFormatSettings& Invariant() {
    static const TFormatSettings Settings = TFormatSettings::Invariant();
    return Settings;
}
WideString Shortest(double Value) {
    return FloatToStrF(Value, ffGeneral, 15, 0, Invariant());
}

constexpr const char16_t* KeyCaptions[] = {u"C", u"\u2190", u"\u00B1", u"/", u"7", u"8", u"9",
                                           u"*", u"4",      u"5",      u"6", u"-", u"1", u"2",
                                           u"3", u"+",      u"0",      u".", u"=", u"OK"};
constexpr WideChar KeyChars[] = {u'C', u'<', u'~', u'/', u'7', u'8', u'9', u'*', u'4', u'5',
                                 u'6', u'-', u'1', u'2', u'3', u'+', u'0', u'.', u'=', u'\r'};
} // namespace

// ---------------------------------------------------------------------------------------------
// TNxCalculator

double TNxCalculator::GetValue() const {
    if (FError) return 0;
    return StrToFloatDef(FDisplay, 0, Invariant());
}

void TNxCalculator::SetValue(double Value) {
    FDisplay = Shortest(Value);
    FAccumulator = 0;
    FOperator = 0;
    FNewEntry = true;
    FError = false;
}

void TNxCalculator::Apply() {
    const double Operand = GetValue();
    switch (FOperator) {
    case u'+':
        FAccumulator += Operand;
        break;
    case u'-':
        FAccumulator -= Operand;
        break;
    case u'*':
        FAccumulator *= Operand;
        break;
    case u'/':
        if (Operand == 0) {
            FError = true;
            FDisplay = u"Error";
            return;
        }
        FAccumulator /= Operand;
        break;
    default:
        FAccumulator = Operand;
    }
    FDisplay = Shortest(FAccumulator);
}

void TNxCalculator::Press(WideChar Key) {
    if (Key == u'C' || Key == u'c') return SetValue(0);
    if (FError) return; // only clearing leaves an error
    if (Key >= u'0' && Key <= u'9') {
        if (FNewEntry || FDisplay == u"0") FDisplay.clear();
        if (FDisplay.size() < 15) FDisplay += Key;
        FNewEntry = false;
    } else if (Key == u'.' || Key == u',') {
        if (FNewEntry) FDisplay = u"0";
        if (FDisplay.find(u'.') == WideString::npos) FDisplay += u'.';
        FNewEntry = false;
    } else if (Key == u'<') {
        if (FNewEntry) return;
        FDisplay.pop_back();
        if (FDisplay.empty() || FDisplay == u"-") FDisplay = u"0";
    } else if (Key == u'~') {
        if (FDisplay == u"0") return;
        FDisplay = FDisplay[0] == u'-' ? FDisplay.substr(1) : u"-" + FDisplay;
    } else if (Key == u'+' || Key == u'-' || Key == u'*' || Key == u'/') {
        // A second operator in a row only replaces the first.
        if (!FNewEntry || !FOperator) Apply();
        FOperator = Key;
        FNewEntry = true;
    } else if (Key == u'=' || Key == u'\r') {
        Apply();
        FOperator = 0;
        FNewEntry = true;
    }
}

// ---------------------------------------------------------------------------------------------
// TNxCalcPopup

TNxCalcPopup::TNxCalcPopup(TComponent* AOwner) : TNxPopupControl(AOwner) {}

WideString TNxCalcPopup::KeyCaption(int Index) {
    return KeyCaptions[Index];
}
WideChar TNxCalcPopup::KeyChar(int Index) {
    return KeyChars[Index];
}

int TNxCalcPopup::KeyHeight() const {
    TCanvas* Canvas = const_cast<TNxCalcPopup*>(this)->GetCanvas();
    Canvas->SetFont(GetFont());
    return Canvas->TextHeight(WideString(u"8")) + 8;
}

TRect TNxCalcPopup::GetDisplayRect() const {
    return {3, 3, GetClientWidth() - 3, 3 + KeyHeight()};
}

TRect TNxCalcPopup::GetKeyRect(int Index) const {
    const int w = (GetClientWidth() - 6) / KeyColumns, h = KeyHeight();
    const int Left = 3 + (Index % KeyColumns) * w,
              Top = GetDisplayRect().Bottom + 4 + (Index / KeyColumns) * h;
    return {Left + 1, Top + 1, Left + w - 1, Top + h - 1};
}

int TNxCalcPopup::KeyAtPos(int X, int Y) const {
    for (int i = 0; i < KeyColumns * KeyRows; ++i)
        if (PtInRect(GetKeyRect(i), {X, Y})) return i;
    return -1;
}

void TNxCalcPopup::PressKey(WideChar Key) {
    if (Key == u'\r') return Accept();
    FCalculator.Press(Key);
    Invalidate();
    if (Key == u'=' && FAutoClose && !FCalculator.GetError() && OnPicked) OnPicked(this);
}

TSize TNxCalcPopup::GetPopupSize(int EditWidth) const {
    const int h = KeyHeight();
    return {std::max(EditWidth, KeyColumns * 34 + 8), 3 + h + 4 + KeyRows * h + 3 + 2};
}

void TNxCalcPopup::Accept() {
    FCalculator.Press(u'=');
    Invalidate();
    if (!FCalculator.GetError() && OnPicked) OnPicked(this);
}

void TNxCalcPopup::Paint() {
    TCanvas* Canvas = GetCanvas();
    Canvas->SetFont(GetFont());
    Canvas->GetBrush()->SetColor(clBtnFace);
    Canvas->FillRect(GetClientRect());
    TRect Display = GetDisplayRect();
    Canvas->GetBrush()->SetColor(clWindow);
    Canvas->FillRect(Display);
    Canvas->GetBrush()->SetColor(clBtnShadow);
    Canvas->FrameRect(Display);
    Canvas->GetBrush()->SetStyle(bsClear);
    TRect DisplayText = Display;
    DisplayText.Right -= 4;
    Canvas->DrawText(FCalculator.GetDisplay(), DisplayText,
                     DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    for (int i = 0; i < KeyColumns * KeyRows; ++i) {
        TRect r = GetKeyRect(i);
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(clWindow);
        Canvas->FillRect(r);
        Canvas->GetBrush()->SetColor(clBtnShadow);
        Canvas->FrameRect(r);
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->DrawText(KeyCaption(i), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void TNxCalcPopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TNxPopupControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const int Index = KeyAtPos(X, Y);
    if (Index >= 0) PressKey(KeyChar(Index));
}

// ---------------------------------------------------------------------------------------------
// TNxCalcEdit

TNxCalcEdit::TNxCalcEdit(TComponent* AOwner) : TNxPopupEdit(AOwner) {
    SetText(u"0");
}

double TNxCalcEdit::GetValue() const {
    return StrToFloatDef(GetText(), 0);
}

void TNxCalcEdit::SetValue(double Value) {
    if (FMax > FMin) Value = std::clamp(Value, FMin, FMax);
    SetText(FloatToStrF(Value, ffGeneral, 15, 0));
}

TNxPopupControl* TNxCalcEdit::CreatePopupControl() {
    return new TNxCalcPopup(this);
}

void TNxCalcEdit::PreparePopup() {
    GetCalcPopup()->SetAutoClose(FAutoClose);
    GetCalcPopup()->GetCalculator().SetValue(GetValue());
}

void TNxCalcEdit::PopupPicked() {
    SetValue(GetCalcPopup()->GetCalculator().GetValue());
    SetModified(true);
    SelectAll();
}

void TNxCalcEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (GetDroppedDown() && (Key == VK_BACK || Key == VK_DELETE)) {
        Key = 0;
        GetCalcPopup()->PressKey(u'<');
        return;
    }
    TNxPopupEdit::KeyDown(Key, Shift);
}

void TNxCalcEdit::KeyPress(WideChar& Key) {
    TNxPopupEdit::KeyPress(Key);
    if (Key == 0) return;
    if (GetDroppedDown()) {
        const WideChar Typed = Key;
        Key = 0;
        GetCalcPopup()->PressKey(Typed == DefaultFormatSettings().DecimalSeparator ? u'.' : Typed);
        return;
    }
    if (Key < 32) return;
    const bool Number =
        (Key >= u'0' && Key <= u'9') || Key == u'-' || Key == DefaultFormatSettings().DecimalSeparator;
    if (!Number) Key = 0;
}

} // namespace NxEdit
