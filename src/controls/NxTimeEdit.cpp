// The time edit.
#include "controls/NxTimeEdit.h"

#include <algorithm>
#include <cmath>

#include "platform/runtime/SysUtils.h"

namespace NxEdit {

namespace {
constexpr int SecondsPerDay = 24 * 60 * 60;
constexpr int PartSeconds[3] = {3600, 60, 1};
} // namespace

TNxTimeEdit::TNxTimeEdit(TComponent* AOwner) : TNxEdit(AOwner) {
    FButtons = new TNxSpinButtons(this);
    FButtons->SetParent(this);
    FButtons->OnSpin = [this](TNxSpinDirection Direction) {
        Step(Direction == TNxSpinDirection::Up ? 1 : -1);
    };
    PlaceButtons();
    SetTime(0);
}

TDateTime TNxTimeEdit::GetTime() const {
    const WideString Text = GetText();
    int Parts[3] = {0, 0, 0};
    int Index = 0;
    bool Digits = false;
    for (WideChar c : Text) {
        if (c == FTimeSeparator) {
            if (!Digits || ++Index > 2) return 0;
            Digits = false;
        } else if (c >= u'0' && c <= u'9') {
            Parts[Index] = Parts[Index] * 10 + (c - u'0');
            if (Parts[Index] > 99) return 0;
            Digits = true;
        } else if (c != u' ') {
            return 0;
        }
    }
    if (Parts[0] > 23 || Parts[1] > 59 || Parts[2] > 59) return 0;
    return TDateTime((Parts[0] * 3600 + Parts[1] * 60 + Parts[2]) / double(SecondsPerDay));
}

void TNxTimeEdit::SetTime(TDateTime Value) {
    TFormatSettings Settings = DefaultFormatSettings();
    Settings.TimeSeparator = FTimeSeparator;
    SetText(FormatDateTime(FTimeFormat, TimeOf(Value), Settings));
}

void TNxTimeEdit::SetTimeFormat(const WideString& Value) {
    const TDateTime Time = GetTime();
    FTimeFormat = Value;
    SetTime(Time);
}

void TNxTimeEdit::SetTimeSeparator(WideChar Value) {
    const TDateTime Time = GetTime();
    FTimeSeparator = Value;
    SetTime(Time);
}

void TNxTimeEdit::SetSpinButtons(bool Value) {
    FSpinButtons = Value;
    PlaceButtons();
    UpdateEditRect();
}

int TNxTimeEdit::GetCaretPart() const {
    const WideString Text = GetText();
    const int Caret = std::min(GetSelStart(), int(Text.size()));
    return std::min(2, int(std::count(Text.begin(), Text.begin() + Caret, FTimeSeparator)));
}

void TNxTimeEdit::Step(int Count) {
    if (GetReadOnly()) return;
    const int Part = GetCaretPart();
    const int Seconds = int(std::lround(double(GetTime()) * SecondsPerDay));
    const int Moved = ((Seconds + Count * PartSeconds[Part]) % SecondsPerDay + SecondsPerDay) % SecondsPerDay;
    SetTime(TDateTime(Moved / double(SecondsPerDay)));
    // Select the stepped part again so further steps change the same one.
    const WideString Text = GetText();
    size_t Start = 0;
    for (int i = 0; i < Part && Start != WideString::npos; ++i) {
        Start = Text.find(FTimeSeparator, Start);
        if (Start != WideString::npos) ++Start;
    }
    if (Start == WideString::npos) Start = Text.size();
    const size_t End = std::min(Text.find(FTimeSeparator, Start), Text.size());
    SetSelStart(int(Start));
    SetSelLength(int(End - Start));
}

void TNxTimeEdit::UpdateEditMargins(int& Left, int& Right) {
    TNxEdit::UpdateEditMargins(Left, Right);
    if (FSpinButtons) Right += SpinButtonsWidth;
}

void TNxTimeEdit::KeyDown(Word& Key, TShiftState Shift) {
    TNxEdit::KeyDown(Key, Shift);
    if (Key != VK_UP && Key != VK_DOWN) return;
    const int Count = Key == VK_UP ? 1 : -1;
    Key = 0;
    Step(Count);
}

void TNxTimeEdit::KeyPress(WideChar& Key) {
    TNxEdit::KeyPress(Key);
    if (Key >= 32 && !(Key >= u'0' && Key <= u'9') && Key != FTimeSeparator) Key = 0;
}

void TNxTimeEdit::WMSize(TMessage& Message) {
    TNxEdit::WMSize(Message);
    PlaceButtons();
}

void TNxTimeEdit::PlaceButtons() {
    if (!FButtons) return;
    FButtons->PlaceIn(GetClientRect(), FSpinButtons);
}

} // namespace NxEdit
