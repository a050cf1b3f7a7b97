#pragma once
// Number edits: the spin buttons, the number edit with limits and precision, and the spin edit
// that steps its value by Increment with the buttons and the arrow keys.

#include <functional>

#include "controls/NxEdit.h"

namespace NxEdit {

enum class TNxSpinDirection { Up, Down };

// Two stacked buttons. A press steps once; held, it steps again after StartDelay and then every
// RepeatInterval until released.
class TNxSpinButtons : public TCustomControl {
public:
    explicit TNxSpinButtons(TComponent* AOwner);
    static constexpr UINT StartDelay = 400;
    static constexpr UINT RepeatInterval = 60;
    // The up button covers the upper half, the down button the rest (client coordinates).
    TRect GetUpRect() const;
    TRect GetDownRect() const;
    // Shows the buttons at the right edge of an edit's client area, or hides them.
    void PlaceIn(const TRect& EditClient, bool Show);
    std::function<void(TNxSpinDirection)> OnSpin;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMTimer(TMessage& Message) override;

private:
    void PaintArrow(TCanvas* Canvas, const TRect& Rect, bool Up, bool Down);
    bool FPressed = false;
    TNxSpinDirection FDirection = TNxSpinDirection::Up;
};

// A numeric edit: typing takes digits, one sign and one decimal separator; Value reads the text
// (0 when it is not a number) and writing it clamps to Min..Max (when Max > Min) and shows the
// value with Precision decimals (shortest form with 0).
class TNxCustomNumberEdit : public TNxEdit {
public:
    explicit TNxCustomNumberEdit(TComponent* AOwner);
    double GetValue() const;
    void SetValue(double Value);
    double GetMax() const { return FMax; }
    void SetMax(double Value) { FMax = Value; }
    double GetMin() const { return FMin; }
    void SetMin(double Value) { FMin = Value; }
    int GetPrecision() const { return FPrecision; }
    void SetPrecision(int Value);
    // The value in the box's text form.
    WideString FormatValue(double Value) const;
    double Clamp(double Value) const;
    // The text becomes the value it stands for, within the limits: an empty or half-typed
    // number ("-", ".") is 0, so a cell is never handed text that is no number.
    void ApplyEditing() override { SetValue(GetValue()); }

protected:
    void KeyPress(WideChar& Key) override;

private:
    double FMax = 0;
    double FMin = 0;
    int FPrecision = 0;
};

class TNxNumberEdit : public TNxCustomNumberEdit {
public:
    explicit TNxNumberEdit(TComponent* AOwner) : TNxCustomNumberEdit(AOwner) {}
};

class TNxSpinEdit : public TNxCustomNumberEdit {
public:
    explicit TNxSpinEdit(TComponent* AOwner);
    double GetIncrement() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    bool GetSpinButtons() const { return FSpinButtons; }
    void SetSpinButtons(bool Value);
    TNxSpinButtons* GetButtons() const { return FButtons; }
    // Raised after every step.
    TNotifyEvent OnSpin;
    // Adds Count increments (negative: takes them away), clamped, selects nothing and raises OnSpin.
    void Step(int Count);

protected:
    void UpdateEditMargins(int& Left, int& Right) override;
    // Up and Down step once, PageUp and PageDown ten times.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void WMSize(TMessage& Message) override;

private:
    void PlaceButtons();
    TNxSpinButtons* FButtons; // owned through the component tree
    double FIncrement = 1;
    bool FSpinButtons = true;
};

// The spin buttons' width inside an edit.
constexpr int SpinButtonsWidth = 15;

} // namespace NxEdit
