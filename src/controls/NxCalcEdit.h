#pragma once
// The calculator edit: a number edit whose button drops a calculator working on its value.

#include <string>

#include "controls/NxButtonEdit.h"

namespace NxEdit {

// The arithmetic of the calculator keys: digits, '.', the operators + - * /, '=' , 'C' (clear),
// '<' (erase a digit), '~' (change sign). Operators apply left to right, as on a pocket calculator;
// a division by zero shows "Error" until cleared.
class TNxCalculator {
public:
    void Press(WideChar Key);
    WideString GetDisplay() const { return FDisplay; }
    double GetValue() const;
    // Starts over from Value, as if it had been typed.
    void SetValue(double Value);
    bool GetError() const { return FError; }

private:
    void Apply();
    WideString FDisplay = u"0";
    double FAccumulator = 0;
    WideChar FOperator = 0;
    bool FNewEntry = true;
    bool FError = false;
};

class TNxCalcPopup : public TNxPopupControl {
public:
    explicit TNxCalcPopup(TComponent* AOwner);
    static constexpr int KeyColumns = 4;
    static constexpr int KeyRows = 5;

    TNxCalculator& GetCalculator() { return FCalculator; }
    // The key caption at a grid position (row-major), and its character for Press.
    static WideString KeyCaption(int Index);
    static WideChar KeyChar(int Index);
    // Client coordinates: the display line, then the keys.
    TRect GetDisplayRect() const;
    TRect GetKeyRect(int Index) const;
    int KeyAtPos(int X, int Y) const;
    // A key pressed on the calculator; '=' with AutoClose picks the value.
    void PressKey(WideChar Key);
    bool GetAutoClose() const { return FAutoClose; }
    void SetAutoClose(bool Value) { FAutoClose = Value; }

    TSize GetPopupSize(int EditWidth) const override;
    void Accept() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int KeyHeight() const;
    TNxCalculator FCalculator;
    bool FAutoClose = true;
};

class TNxCalcEdit : public TNxPopupEdit {
public:
    explicit TNxCalcEdit(TComponent* AOwner);

    // The number of the text, 0 when it is none. Writing clamps to Min..Max when Max > Min.
    double GetValue() const;
    void SetValue(double Value);
    double GetMax() const { return FMax; }
    void SetMax(double Value) { FMax = Value; }
    double GetMin() const { return FMin; }
    void SetMin(double Value) { FMin = Value; }
    // '=' on the calculator writes the value and closes it.
    bool GetAutoClose() const { return FAutoClose; }
    void SetAutoClose(bool Value) { FAutoClose = Value; }
    TNxCalcPopup* GetCalcPopup() { return static_cast<TNxCalcPopup*>(GetPopup()); }
    // The text becomes the value it stands for, within the limits (0 when it is no number).
    void ApplyEditing() override { SetValue(GetValue()); }

protected:
    TNxPopupControl* CreatePopupControl() override;
    void PreparePopup() override;
    void PopupPicked() override;
    // While the calculator is open the typed keys work it; closed, only number characters pass.
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(WideChar& Key) override;

private:
    double FMax = 0;
    double FMin = 0;
    bool FAutoClose = true;
};

} // namespace NxEdit
