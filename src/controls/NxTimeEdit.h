#pragma once
// The time edit: a time of day as text, each part (hours, minutes, seconds) stepped by the arrow
// keys or the spin buttons where the caret stands.

#include "controls/NxSpinEdit.h"

namespace NxEdit {

class TNxTimeEdit : public TNxEdit {
public:
    explicit TNxTimeEdit(TComponent* AOwner);

    // The time of the text (fraction of a day); 0 when the text is not a time.
    TDateTime GetTime() const;
    // Shows Value's time of day in TimeFormat.
    void SetTime(TDateTime Value);
    // A pattern in FormatDateTime's notation; ':' stands for TimeSeparator. Default "hh:nn:ss".
    WideString GetTimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const WideString& Value);
    WideChar GetTimeSeparator() const { return FTimeSeparator; }
    void SetTimeSeparator(WideChar Value);
    bool GetSpinButtons() const { return FSpinButtons; }
    void SetSpinButtons(bool Value);
    TNxSpinButtons* GetButtons() const { return FButtons; }

    // The part under the caret: 0 hours, 1 minutes, 2 seconds.
    int GetCaretPart() const;
    // Steps the part under the caret by Count, wrapping round midnight, and selects that part.
    void Step(int Count);

    TDateTime GetAsDateTime() const override { return GetTime(); }
    void SetAsDateTime(TDateTime Value) override { SetTime(Value); }

protected:
    void UpdateEditMargins(int& Left, int& Right) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Digits and the separator only.
    void KeyPress(WideChar& Key) override;
    void WMSize(TMessage& Message) override;

private:
    void PlaceButtons();
    TNxSpinButtons* FButtons; // owned through the component tree
    WideString FTimeFormat = u"hh:nn:ss";
    WideChar FTimeSeparator = u':';
    bool FSpinButtons = true;
};

} // namespace NxEdit
